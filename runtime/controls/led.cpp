#include "runtime/controls/led.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

Led::Led(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
}

void Led::setOn(bool on) {
  if (on_ == on)
    return;
  on_ = on;
  describeState();
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
  update();
}

void Led::click() {
  if (isEnabled())
    emit leftClicked();
}

void Led::setOnText(const QString &text) {
  onText_ = text;
  describeState();
}

void Led::setOffText(const QString &text) {
  offText_ = text;
  describeState();
}

void Led::describeState() {
  const QString state = on_ ? onText_ : offText_;
  setAccessibleDescription(state);
  setToolTip(state);
}

QSize Led::sizeHint() const {
  const int side = fontMetrics().height() + 8;
  return {side, side};
}

QSize Led::minimumSizeHint() const {
  return {12, 12};
}

void Led::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = qMin(width(), height()) - 4.0;
  if (side <= 0)
    return;
  const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);

  QColor base = on_ ? QColor(0x20, 0xd0, 0x30) : QColor(0x50, 0x50, 0x50);
  if (!isEnabled())
    base = on_ ? QColor(0x90, 0xc0, 0x98) : QColor(0xa0, 0xa0, 0xa0);
  QRadialGradient gradient(lamp.center() - QPointF(side / 6.0, side / 6.0), side / 1.6);
  gradient.setColorAt(0.0, base.lighter(on_ ? 160 : 130));
  gradient.setColorAt(1.0, base.darker(on_ ? 120 : 140));
  painter.setBrush(gradient);
  painter.setPen(QPen(base.darker(200), 1.0));
  painter.drawEllipse(lamp);

  if (hasFocus()) {
    QPen focus(palette().color(QPalette::Highlight), 1.5, Qt::DashLine);
    painter.setPen(focus);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(lamp.adjusted(-1.5, -1.5, 1.5, 1.5));
  }
}

void Led::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    event->accept();
    emit leftClicked();
    return;
  }
  QWidget::mousePressEvent(event);
}

void Led::keyPressEvent(QKeyEvent *event) {
  switch (event->key()) {
  case Qt::Key_Space:
  case Qt::Key_Return:
  case Qt::Key_Enter:
    event->accept();
    if (!event->isAutoRepeat())
      emit leftClicked();
    return;
  default: QWidget::keyPressEvent(event);
  }
}
