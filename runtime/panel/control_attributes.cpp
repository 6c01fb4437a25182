// Control attributes. Dimming (with the labels that name the control) and
// visibility belong to every control; the rest (a command button's colour, a
// numeric range, a graph's x gain) to the kinds that take them
// (control_kind.h).
#include <QWidget>

#include <cmath>
#include <limits>

#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

namespace {

bool EveryControlTakes(int attribute) {
  return attribute == ATTR_DIMMED || attribute == ATTR_VISIBLE;
}

// The one attribute whose value is not a whole number.
bool IsRealAttribute(int attribute) {
  return attribute == ATTR_XAXIS_GAIN;
}

void SetDimmed(const rt::ControlEntry &c, bool dimmed) {
  c.widget->setEnabled(!dimmed);
  for (const QPointer<QWidget> &label : c.labels)
    if (label)
      label->setEnabled(!dimmed);
}

// The control when it has the attribute; nullptr with *result set to the
// UIE_ code otherwise.
const rt::ControlEntry *Target(int panel, int control, int attribute, int *result) {
  const rt::ControlEntry *c = rt::FindControl(panel, control, result);
  if (c && !EveryControlTakes(attribute) && !c->kind->takes(attribute))
    *result = UIE_BAD_ATTRIBUTE;
  return *result == 0 ? c : nullptr;
}

} // namespace

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
  int result = 0;
  const rt::ControlEntry *c = Target(panel, control, attribute, &result);
  if (!c)
    return result;
  switch (attribute) {
  case ATTR_DIMMED: SetDimmed(*c, value != 0); return 0;
  case ATTR_VISIBLE: c->widget->setVisible(value != 0); return 0;
  }
  return c->kind->setAttribute(c->widget, attribute, double(value));
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
  int result = 0;
  const rt::ControlEntry *c = Target(panel, control, attribute, &result);
  if (!c)
    return result;
  if (IsRealAttribute(attribute))
    return c->kind->setAttribute(c->widget, attribute, value);
  // Every other attribute is an integer: a whole number in range passes on.
  if (!std::isfinite(value) || value != std::trunc(value) ||
      value < double(std::numeric_limits<int>::min()) ||
      value > double(std::numeric_limits<int>::max()))
    return UIE_BAD_VALUE;
  return SetCtrlAttribute(panel, control, attribute, static_cast<int>(value));
}
