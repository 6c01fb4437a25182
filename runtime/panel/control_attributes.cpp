// Control attributes: dimming, visibility, command-button colour, numeric range, graph
// x gain.
#include <QAbstractButton>

#include <cmath>
#include <limits>

#include "runtime/controls/graph.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/numeric_control.h"
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

namespace {

// A stylesheet colour keeps working under every widget style (a palette
// colour does not); the text stays black or white, whichever reads better.
void PaintButton(QWidget *button, int rgb) {
  // Every parameter change paints the send button, mostly the colour it has:
  // a new style sheet would only repolish and repaint it.
  if (button->property("cmdButtonColor") == QVariant(rgb))
    return;
  button->setProperty("cmdButtonColor", rgb);
  const QColor fill = QColor::fromRgb(QRgb(0xFF000000u | unsigned(rgb)));
  const QColor text = fill.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
  button->setStyleSheet(
      QStringLiteral("QPushButton { background-color: %1; color: %2;"
                     " border: 1px solid %3; border-radius: 4px; padding: 4px 14px; }"
                     " QPushButton:hover { background-color: %4; }"
                     " QPushButton:pressed { background-color: %3; }"
                     " QPushButton:focus { border: 2px solid palette(highlight); }"
                     " QPushButton:disabled { background-color: #d8d8d8; color: #808080;"
                     " border-color: #b0b0b0; }")
          .arg(fill.name(), text.name(), fill.darker(140).name(), fill.lighter(110).name()));
}

// 0 when `attribute` is one this control has, UIE_BAD_ATTRIBUTE otherwise.
int Applies(const rt::ControlEntry &c, int attribute) {
  switch (attribute) {
  case ATTR_DIMMED:
  case ATTR_VISIBLE: return 0;
  case ATTR_CMD_BUTTON_COLOR:
    return c.kind == rt::ControlKind::CommandButton ? 0 : UIE_BAD_ATTRIBUTE;
  case ATTR_MAX_VALUE:
  case ATTR_MIN_VALUE:
    return c.kind == rt::ControlKind::Numeric || c.kind == rt::ControlKind::Meter
               ? 0
               : UIE_BAD_ATTRIBUTE;
  case ATTR_XAXIS_GAIN: return c.kind == rt::ControlKind::Graph ? 0 : UIE_BAD_ATTRIBUTE;
  default: return UIE_BAD_ATTRIBUTE;
  }
}

void SetDimmed(const rt::ControlEntry &c, bool dimmed) {
  c.widget->setEnabled(!dimmed);
  for (const QPointer<QWidget> &label : c.labels)
    if (label)
      label->setEnabled(!dimmed);
}

void SetLimit(const rt::ControlEntry &c, int attribute, int value) {
  const bool max = attribute == ATTR_MAX_VALUE;
  if (c.kind == rt::ControlKind::Numeric) {
    auto *n = static_cast<NumericControl *>(c.widget.data());
    max ? n->setMaximumQuietly(value) : n->setMinimumQuietly(value);
  } else {
    auto *m = static_cast<Meter *>(c.widget.data());
    max ? m->setMaximum(value) : m->setMinimum(value);
  }
}

int SetGain(const rt::ControlEntry &c, double gain) {
  return static_cast<Graph *>(c.widget.data())->setXGain(gain) ? 0 : UIE_BAD_VALUE;
}

// The control and whether it has the attribute: 0, or the UIE_ code.
const rt::ControlEntry *Target(int panel, int control, int attribute, int *result) {
  const rt::ControlEntry *c = rt::FindControl(panel, control, result);
  if (c)
    *result = Applies(*c, attribute);
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
  case ATTR_CMD_BUTTON_COLOR:
    if (value < 0 || value > 0xFFFFFF)
      return UIE_BAD_VALUE;
    PaintButton(c->widget, value);
    return 0;
  case ATTR_MAX_VALUE:
  case ATTR_MIN_VALUE: SetLimit(*c, attribute, value); return 0;
  default: // ATTR_XAXIS_GAIN
    return SetGain(*c, double(value));
  }
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
  int result = 0;
  const rt::ControlEntry *c = Target(panel, control, attribute, &result);
  if (!c)
    return result;
  if (attribute == ATTR_XAXIS_GAIN)
    return SetGain(*c, value);
  // Every other attribute is an integer: a whole number in range passes on.
  if (!std::isfinite(value) || value != std::trunc(value) ||
      value < double(std::numeric_limits<int>::min()) ||
      value > double(std::numeric_limits<int>::max()))
    return UIE_BAD_VALUE;
  return SetCtrlAttribute(panel, control, attribute, static_cast<int>(value));
}
