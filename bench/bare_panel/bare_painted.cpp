#include "bare_painted.h"

#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace bare {

namespace {

// Labels of the dial and the strip are four fifths of the widget's font.
QFont SmallFont(const QWidget *w) {
  QFont f = w->font();
  if (f.pointSizeF() > 0)
    f.setPointSizeF(std::max(6.0, f.pointSizeF() * 0.8));
  return f;
}

// Halfway between text and background: the colour of what is not live yet.
QColor Faded(const QPalette &pal) {
  const QColor a = pal.color(QPalette::WindowText), b = pal.color(QPalette::Window);
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

QPointF Polar(QPointF centre, double radius, double degrees) {
  const double r = qDegreesToRadians(degrees);
  return centre + QPointF(radius * std::cos(r), -radius * std::sin(r));
}

} // namespace

Lamp::Lamp(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
}

QSize Lamp::sizeHint() const {
  const int side = fontMetrics().height() + 8;
  return {side, side};
}

void Lamp::paintEvent(QPaintEvent *) {
  const qreal side = std::min(width(), height()) - 4.0;
  if (side <= 0)
    return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF disc((width() - side) / 2, (height() - side) / 2, side, side);
  const QColor base(0x50, 0x50, 0x50);
  // The light falls from the upper left.
  QRadialGradient shade(disc.center() - QPointF(side, side) / 6, side / 1.6);
  shade.setColorAt(0, base.lighter(130));
  shade.setColorAt(1, base.darker(140));
  p.setBrush(shade);
  p.setPen(QPen(base.darker(200), 1));
  p.drawEllipse(disc);
}

Dial::Dial(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Dial::paintEvent(QPaintEvent *) {
  const QRectF area = contentsRect();
  const double line = QFontMetricsF(font()).height();
  // The dial, 1.75 radii high, over one line for the number; both centred.
  const double radius = std::min(area.width() / 2, (area.height() - 1.6 * line) / 1.75) - 4;
  if (radius < 8)
    return;
  const double top = area.top() + (area.height() - (1.75 * radius + 8 + 1.4 * line)) / 2;
  const QPointF centre(area.center().x(), top + 4 + radius);
  const QColor ink = palette().color(QPalette::WindowText);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);

  // Arc from 225° clockwise through 270°.
  p.setPen(QPen(ink, 2));
  p.drawArc(QRectF(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)), 225 * 16,
            -270 * 16);
  p.setFont(SmallFont(this));
  const QFontMetricsF small(p.font());
  for (int i = 0; i <= 25; ++i) {
    const double at = 225.0 - 270.0 * i / 25;
    const bool major = i % 5 == 0;
    p.setPen(QPen(ink, major ? 1.6 : 0.8));
    p.drawLine(Polar(centre, radius * (major ? 0.86 : 0.93), at), Polar(centre, radius, at));
    if (major) {
      const double v = minimum_ + double(maximum_ - minimum_) * i / 25;
      const QString label = v >= 10000 ? QString::number(v / 1000, 'g', 4) + QLatin1Char('k')
                                       : QString::number(qRound64(v));
      const QPointF c = Polar(centre, radius * 0.66, at);
      const double w = small.horizontalAdvance(label) + 2;
      p.drawText(QRectF(c.x() - w / 2, c.y() - small.height() / 2, w, small.height()),
                 Qt::AlignCenter, label);
    }
  }
  p.setPen(QPen(Faded(palette()), 1.2));
  p.setBrush(palette().color(QPalette::Window));
  p.drawEllipse(centre, 4.0, 4.0);
}

void Dial::setScale(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

Strip::Strip(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Strip::setScale(int top, int seconds) {
  top_ = top;
  seconds_ = std::max(1, seconds);
}

void Strip::paintEvent(QPaintEvent *) {
  const QFont font = SmallFont(this);
  const QFontMetricsF m(font);
  const QString topLabel = QString::number(top_);
  const double left = m.horizontalAdvance(topLabel) + 8;
  const QRectF plot(left, m.height() / 2 + 2, width() - left - 8, height() - 2 * m.height() - 4);
  if (plot.width() < 20 || plot.height() < 10)
    return;
  const QPalette &pal = palette();
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(font);
  p.setPen(QPen(pal.color(QPalette::Mid), 1));
  p.setBrush(pal.color(QPalette::Base));
  p.drawRect(plot);
  const QColor ink = pal.color(QPalette::WindowText);
  p.setPen(ink);
  const auto yLabel = [&](double y, const QString &text) {
    p.drawText(QRectF(0, y - m.height() / 2, left - 4, m.height()),
               Qt::AlignRight | Qt::AlignVCenter, text);
  };
  yLabel(plot.top(), topLabel);
  yLabel(plot.bottom(), QStringLiteral("0"));
  for (int s = 0; s <= seconds_; s += 10) {
    const double x = plot.right() - plot.width() * s / seconds_;
    if (s > 0 && s < seconds_) {
      p.setPen(QPen(pal.color(QPalette::Midlight), 1, Qt::DotLine));
      p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    if (s % 30 == 0) {
      const QString label = s ? QStringLiteral("-%1").arg(s) : QStringLiteral("0 s");
      const double w = m.horizontalAdvance(label);
      p.setPen(ink);
      p.drawText(QPointF(std::clamp(x - w / 2, plot.left() - left / 2, plot.right() - w),
                         plot.bottom() + m.ascent() + 2),
                 label);
    }
  }
}

} // namespace bare
