// A label (QLabel) with a control ID: text the program can show, hide or dim
// (the demo device's notice). It sends nothing and has no value.
#include <QLabel>

#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class Label final : public NoText<NoOwnAttributes<NoValue<SendsNothing<KindFor<QLabel>>>>> {
public:
  QWidget *create(QWidget *) const override { return nullptr; } // Qt's own

  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }
};

} // namespace

const ControlKind &LabelKind() {
  static const Label kind;
  return kind;
}

} // namespace rt
