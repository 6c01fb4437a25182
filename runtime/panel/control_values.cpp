// Reading and setting control values (32-bit integers) and text boxes.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "runtime/controls/led.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/numeric_control.h"
#include "runtime/controls/port_selector.h"
#include "runtime/controls/ring_control.h"
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

int GetCtrlVal(int panel, int control, int *value) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  if (!value)
    return UIE_BAD_VALUE;
  QWidget *w = c->widget;
  switch (c->kind) {
  case rt::ControlKind::Numeric: *value = static_cast<NumericControl *>(w)->value(); return 0;
  case rt::ControlKind::Ring:
    return static_cast<RingControl *>(w)->currentValue(value) ? 0 : UIE_BAD_VALUE;
  case rt::ControlKind::PortSelector:
    *value = static_cast<PortSelector *>(w)->currentPort(); // 0: no port to choose from
    return 0;
  case rt::ControlKind::Led: *value = static_cast<Led *>(w)->isOn() ? 1 : 0; return 0;
  case rt::ControlKind::Meter: *value = static_cast<Meter *>(w)->value(); return 0;
  default: return UIE_BAD_ATTRIBUTE; // no integer value
  }
}

int SetCtrlVal(int panel, int control, int value) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  QWidget *w = c->widget;
  switch (c->kind) {
  case rt::ControlKind::Numeric: static_cast<NumericControl *>(w)->setValueQuietly(value); return 0;
  case rt::ControlKind::Ring:
    return static_cast<RingControl *>(w)->selectValue(value) ? 0 : UIE_BAD_VALUE;
  case rt::ControlKind::PortSelector:
    return static_cast<PortSelector *>(w)->selectPort(value) ? 0 : UIE_BAD_VALUE;
  case rt::ControlKind::Led: static_cast<Led *>(w)->setOn(value != 0); return 0;
  case rt::ControlKind::Meter: {
    // Each value set is a reading: the meter is live again.
    auto *meter = static_cast<Meter *>(w);
    meter->setValue(value);
    meter->noteReading();
    return 0;
  }
  default: return UIE_BAD_ATTRIBUTE;
  }
}

int ResetTextBox(int panel, int control, const char *text) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  const QString content = QString::fromUtf8(text ? text : "");
  QWidget *w = c->widget;
  if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
    plain->setPlainText(content);
  else if (auto *rich = qobject_cast<QTextEdit *>(w))
    rich->setPlainText(content);
  else if (auto *line = qobject_cast<QLineEdit *>(w))
    line->setText(content);
  else
    return UIE_BAD_ATTRIBUTE;
  return 0;
}
