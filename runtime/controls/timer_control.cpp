#include "runtime/controls/timer_control.h"

TimerControl::TimerControl(QWidget *parent) : QWidget(parent) {
  timer_.setInterval(500);
  timer_.setTimerType(Qt::CoarseTimer);
  connect(&timer_, &QTimer::timeout, this, &TimerControl::tick);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  hide();
}

void TimerControl::setInterval(int milliseconds) {
  timer_.setInterval(qMax(1, milliseconds));
}

void TimerControl::start() {
  if (!timer_.isActive())
    timer_.start();
}

void TimerControl::stop() {
  timer_.stop();
}

void TimerControl::tick() {
  if (isEnabled())
    emit ticked();
}
