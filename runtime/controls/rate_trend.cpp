#include "runtime/controls/rate_trend.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "runtime/controls/device_pixels.h"
#include "runtime/controls/meter.h"
#include "runtime/core/clock.h"

RateTrend::RateTrend(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  scroll_.setInterval(1000);
  connect(&scroll_, &QTimer::timeout, this, [this] {
    dropOld(rt::CurrentClock().Now());
    if (samples_.empty())
      scroll_.stop();
    update();
  });
  describe();
}

void RateTrend::follow(Meter *meter) {
  if (meter_)
    disconnect(meter_, nullptr, this, nullptr);
  meter_ = meter;
  if (meter)
    connect(meter, &Meter::reading, this, &RateTrend::addSample);
}

void RateTrend::setSeconds(int seconds) {
  seconds_ = std::max(1, seconds);
  update();
}

void RateTrend::addSample(int value) {
  const double now = rt::CurrentClock().Now();
  samples_.push_back({now, value});
  if (int(samples_.size()) > kMaxSamples)
    samples_.pop_front();
  dropOld(now);
  // Readings that come every second move the trace themselves; the timer
  // only fires once they stop.
  scroll_.start();
  describe();
  update();
}

void RateTrend::dropOld(double now) {
  // One sample older than the window stays: the trace enters from the left.
  while (samples_.size() > 1 && samples_[1].at < now - seconds_)
    samples_.pop_front();
  if (samples_.size() == 1 && samples_.front().at < now - seconds_)
    samples_.clear();
}

int RateTrend::windowMinimum() const {
  int v = samples_.empty() ? 0 : samples_.front().value;
  for (const Sample &s : samples_)
    v = std::min(v, s.value);
  return v;
}

int RateTrend::windowMaximum() const {
  int v = samples_.empty() ? 0 : samples_.front().value;
  for (const Sample &s : samples_)
    v = std::max(v, s.value);
  return v;
}

void RateTrend::describe() {
  if (samples_.empty()) {
    setAccessibleDescription(QStringLiteral("最近 %1 秒没有转速报告").arg(seconds_));
    return;
  }
  setAccessibleDescription(QStringLiteral("最近 %1 秒的转速：最低 %2，最高 %3，最新 %4 r/min")
                               .arg(seconds_)
                               .arg(windowMinimum())
                               .arg(windowMaximum())
                               .arg(samples_.back().value));
}

QSize RateTrend::sizeHint() const {
  return {200, 110};
}
QSize RateTrend::minimumSizeHint() const {
  return {120, 80};
}

RateTrend::Frame RateTrend::layOut() const {
  Frame f;
  f.font = font();
  if (f.font.pointSizeF() > 0)
    f.font.setPointSizeF(std::max(6.0, f.font.pointSizeF() * 0.8));
  const QFontMetricsF metrics(f.font);
  // The scale is the meter's; without one, the values seen.
  f.lo = meter_ ? std::min(meter_->minimum(), meter_->maximum()) : windowMinimum();
  f.hi = meter_ ? std::max(meter_->minimum(), meter_->maximum()) : windowMaximum();
  if (f.hi <= f.lo)
    f.hi = f.lo + 1.0;
  f.left = std::max(metrics.horizontalAdvance(QString::number(qRound64(f.lo))),
                    metrics.horizontalAdvance(QString::number(qRound64(f.hi)))) +
           8.0;
  f.plot = QRectF(f.left, metrics.height() / 2.0 + 2.0, width() - f.left - 8.0,
                  height() - metrics.height() * 2.0 - 4.0);
  return f;
}

void RateTrend::paintBackground(QPainter &painter, const Frame &f, qreal ratio) const {
  const QPalette &pal = palette();
  const QColor ink =
      pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
  const QFontMetricsF metrics(f.font);
  painter.setFont(f.font);
  if (hasFocus()) {
    painter.setPen(QPen(pal.color(QPalette::Highlight), 1.5, Qt::DashLine));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.0, 1.0, -1.0, -1.0), 4.0, 4.0);
  }
  // Frame, a grid line every 10 s, and the labels; the lines on whole
  // device pixels.
  const DevicePixels pixels(ratio);
  const QRectF &plot = f.plot;
  painter.setPen(pixels.hairline(pal.color(QPalette::Mid)));
  painter.setBrush(pal.color(QPalette::Base));
  painter.drawRect(pixels.snap(plot));
  painter.setPen(ink);
  painter.drawText(QRectF(0, plot.top() - metrics.height() / 2.0, f.left - 4.0, metrics.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(qRound64(f.hi)));
  painter.drawText(
      QRectF(0, plot.bottom() - metrics.height() / 2.0, f.left - 4.0, metrics.height()),
      Qt::AlignRight | Qt::AlignVCenter, QString::number(qRound64(f.lo)));
  for (int s = 0; s <= seconds_; s += 10) {
    const double x = plot.right() - plot.width() * s / seconds_;
    if (s > 0 && s < seconds_) {
      painter.setPen(pixels.hairline(pal.color(QPalette::Midlight), Qt::DotLine));
      const qreal at = pixels.snap(x);
      painter.drawLine(QPointF(at, pixels.snap(plot.top())),
                       QPointF(at, pixels.snap(plot.bottom())));
    }
    if (s % 30 == 0 || s == seconds_) {
      painter.setPen(ink);
      const QString label = s == 0 ? QStringLiteral("0 s") : QStringLiteral("-%1").arg(s);
      const double w = metrics.horizontalAdvance(label);
      const double at = std::clamp(x - w / 2.0, plot.left() - f.left / 2.0, plot.right() - w);
      painter.drawText(QPointF(at, plot.bottom() + metrics.ascent() + 2.0), label);
    }
  }
}

void RateTrend::paintEvent(QPaintEvent *) {
  const Frame f = layOut();
  if (f.plot.width() < 20.0 || f.plot.height() < 10.0)
    return;
  // The frame, grid and labels change only with the size, the scale or the
  // focus: they are drawn once into a pixmap, and each reading draws the trace.
  const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                          .arg(width())
                          .arg(height())
                          .arg(f.lo)
                          .arg(f.hi)
                          .arg(hasFocus())
                          .arg(isEnabled())
                          .arg(devicePixelRatioF());
  if (key != backgroundKey_) {
    // Every device pixel of the widget, at the screen's ratio.
    const qreal ratio = devicePixelRatioF();
    background_ = QPixmap(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
    background_.setDevicePixelRatio(ratio);
    background_.fill(Qt::transparent);
    QPainter p(&background_);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackground(p, f, ratio);
    backgroundKey_ = key;
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
  if (samples_.empty())
    return;
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF &plot = f.plot;
  const double now = std::max(rt::CurrentClock().Now(), samples_.back().at);
  // Readings that fall on one pixel column are drawn as the first one's place
  // and the column's extremes: the trace looks the same, and its cost stays
  // bounded by the width however often the device is read.
  QPainterPath trace;
  int column = 0;
  double columnX = 0.0, top = 0.0, bottom = 0.0, last = 0.0;
  auto endColumn = [&] {
    if (top != bottom) {
      trace.lineTo(QPointF(columnX, top));
      trace.lineTo(QPointF(columnX, bottom));
    }
    trace.lineTo(QPointF(columnX, last));
  };
  for (std::size_t i = 0; i < samples_.size(); ++i) {
    const double x =
        std::max(plot.left(), plot.right() - plot.width() * (now - samples_[i].at) / seconds_);
    const double v = std::clamp(double(samples_[i].value), f.lo, f.hi);
    const double y = plot.bottom() - plot.height() * (v - f.lo) / (f.hi - f.lo);
    const int at = static_cast<int>(std::floor(x));
    if (i > 0 && at == column) {
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      last = y;
      continue;
    }
    if (i == 0)
      trace.moveTo(QPointF(x, y));
    else
      endColumn();
    column = at;
    columnX = x;
    top = bottom = last = y;
  }
  endColumn();
  painter.setClipRect(plot);
  painter.setPen(QPen(QColor(0xd0, 0x20, 0x20), 1.6));
  painter.drawPath(trace);
}
