// A label (QLabel) with a control ID: text the program can show, hide or dim
// (the demo device's notice). It sends nothing and has no value.
#include <QLabel>

#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class Label final : public KindFor<QLabel> {
public:
  QWidget *create(QWidget *) const override { return nullptr; } // Qt's own

  bool sends(int) const override { return false; }
  void bind(ControlEntry &, PanelEntry &, RaiseEvent) const override {}
  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }

  int value(const QWidget *, int *) const override { return UIE_BAD_ATTRIBUTE; }
  int setValue(QWidget *, int) const override { return UIE_BAD_ATTRIBUTE; }
  bool takes(int) const override { return false; }
  int setAttribute(QWidget *, int, double) const override { return UIE_BAD_ATTRIBUTE; }
  int resetText(QWidget *, const QString &) const override { return UIE_BAD_ATTRIBUTE; }
};

} // namespace

const ControlKind &LabelKind() {
  static const Label kind;
  return kind;
}

} // namespace rt
