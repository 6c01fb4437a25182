// A log view (LogView, the link view): rows the program gives it (PutLogRow),
// kept within its bounds and drawn from the event loop. It sends nothing and
// has no value.
#include "runtime/controls/log_view.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class Log final : public KindFor<LogView> {
public:
  QWidget *create(QWidget *parent) const override { return new LogView(parent); }

  bool sends(int) const override { return false; }
  void bind(ControlEntry &, PanelEntry &, RaiseEvent) const override {}
  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }

  int value(const QWidget *, int *) const override { return UIE_BAD_ATTRIBUTE; }
  int setValue(QWidget *, int) const override { return UIE_BAD_ATTRIBUTE; }
  bool takes(int) const override { return false; }
  int setAttribute(QWidget *, int, double) const override { return UIE_BAD_ATTRIBUTE; }
  int resetText(QWidget *, const QString &) const override { return UIE_BAD_ATTRIBUTE; }

  int putRow(QWidget *widget, const LogRow &row) const override {
    Of(widget).put(row);
    return 0;
  }
};

} // namespace

const ControlKind &LogViewKind() {
  static const Log kind;
  return kind;
}

} // namespace rt
