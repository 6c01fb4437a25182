// A log view (LogView, the link view): rows the program gives it (PutLogRow),
// kept within its bounds and drawn from the event loop. It sends nothing and
// has no value.
#include "runtime/controls/log_view.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class Log final : public NoText<NoOwnAttributes<NoValue<SendsNothing<KindFor<LogView>>>>> {
public:
  QWidget *create(QWidget *parent) const override { return new LogView(parent); }

  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }

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
