#include "runtime/controls/meter.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

constexpr double kStartAngle = 225.0; // degrees, counter-clockwise from 3 o'clock
constexpr double kSweep = 270.0;      // the scale runs clockwise
constexpr int kMajorTicks = 5;        // labelled divisions
constexpr int kMinorTicks = 5;        // subdivisions of each

QPointF OnCircle(QPointF centre, double radius, double degrees) {
  const double r = qDegreesToRadians(degrees);
  return {centre.x() + radius * std::cos(r), centre.y() - radius * std::sin(r)};
}

QString ScaleLabel(double v) {
  const double a = std::abs(v);
  if (a >= 1e6)
    return QString::number(v, 'g', 3);
  if (a >= 10000)
    return QString::number(v / 1000.0, 'g', 4) + QLatin1Char('k');
  return QString::number(qRound64(v));
}

} // namespace

Meter::Meter(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  describeValue();
}

void Meter::setMinimum(int minimum) {
  minimum_ = minimum;
  update();
}

void Meter::setMaximum(int maximum) {
  maximum_ = maximum;
  update();
}

void Meter::setValue(int value) {
  emit reading(value);
  if (value == value_)
    return;
  value_ = value;
  describeValue();
  QAccessibleValueChangeEvent event(this, value_);
  QAccessible::updateAccessibility(&event);
  update();
}

void Meter::setUnit(const QString &unit) {
  unit_ = unit;
  describeValue();
  update();
}

QString Meter::valueText() const {
  if (!hasReading_)
    return QString(); // nothing read yet: no number to show
  if (unit_.isEmpty())
    return QString::number(value_);
  return QStringLiteral("%1 %2").arg(value_).arg(unit_);
}

void Meter::describeValue() {
  setToolTip(valueText());
}

void Meter::noteReading() {
  readingThisTick_ = true;
  ticksWithoutReading_ = 0;
  if (!hasReading_) {
    hasReading_ = true;
    describeValue();
  }
  setStale(false);
}

void Meter::noteTimerTick() {
  if (readingThisTick_) {
    readingThisTick_ = false;
    return;
  }
  if (++ticksWithoutReading_ >= kStaleAfterTicks)
    setStale(true);
}

void Meter::markStale() {
  readingThisTick_ = false;
  setStale(true);
}

QString Meter::staleNote() const {
  if (!stale_)
    return QString();
  return hasReading_ ? QStringLiteral("（读数已过时）") : QStringLiteral("（尚无读数）");
}

void Meter::setStale(bool stale) {
  if (stale == stale_)
    return;
  stale_ = stale;
  QAccessibleEvent event(this, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&event);
  update();
}

double Meter::needlePosition() const {
  const double span = double(maximum_) - double(minimum_);
  if (span == 0.0)
    return 0.0;
  return qBound(0.0, (double(value_) - double(minimum_)) / span, 1.0);
}

QSize Meter::sizeHint() const {
  return {200, 180};
}
QSize Meter::minimumSizeHint() const {
  return {120, 110};
}

void Meter::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = contentsRect();
  const QFontMetricsF metrics(font());
  const double textHeight = metrics.height();

  // The dial sits above the line that writes the value out; both together
  // are centred in the control. The arc reaches 0.71 radius below the centre.
  const double dialHeight = area.height() - textHeight * 1.6;
  const double radius = qMin(area.width() / 2.0, dialHeight / 1.75) - 4.0;
  if (radius < 8.0)
    return;
  const double used = radius * 1.75 + 8.0 + textHeight * 1.4;
  const double top = area.top() + (area.height() - used) / 2.0;
  const QPointF centre(area.center().x(), top + 4.0 + radius);
  const QPalette &pal = palette();
  const QColor ink =
      pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);

  if (hasFocus()) {
    painter.setPen(QPen(pal.color(QPalette::Highlight), 1.5, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.0, 1.0, -1.0, -1.0), 4.0, 4.0);
  }

  // Scale arc.
  painter.setPen(QPen(ink, 2.0));
  painter.setBrush(Qt::NoBrush);
  const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  painter.drawArc(circle, int(kStartAngle * 16), int(-kSweep * 16));

  // Ticks and labels.
  QFont small = font();
  if (small.pointSizeF() > 0)
    small.setPointSizeF(qMax(6.0, small.pointSizeF() * 0.8));
  else if (small.pixelSize() > 0)
    small.setPixelSize(qMax(8, small.pixelSize() * 4 / 5));
  painter.setFont(small);
  const QFontMetricsF smallMetrics(small);
  const double span = double(maximum_) - double(minimum_);
  const int steps = kMajorTicks * kMinorTicks;
  for (int i = 0; i <= steps; ++i) {
    const double angle = kStartAngle - kSweep * i / steps;
    const bool major = i % kMinorTicks == 0;
    const double inner = radius - (major ? radius * 0.14 : radius * 0.07);
    painter.setPen(QPen(ink, major ? 1.6 : 0.8));
    painter.drawLine(OnCircle(centre, inner, angle), OnCircle(centre, radius, angle));
    if (!major)
      continue;
    const QString label = ScaleLabel(double(minimum_) + span * i / steps);
    const QPointF at = OnCircle(centre, radius * 0.66, angle);
    const QRectF box(at.x() - smallMetrics.horizontalAdvance(label) / 2.0 - 1,
                     at.y() - smallMetrics.height() / 2.0,
                     smallMetrics.horizontalAdvance(label) + 2, smallMetrics.height());
    painter.drawText(box, Qt::AlignCenter, label);
  }

  // Needle: red while live; a grey outline while stale, none before the
  // first reading.
  // Halfway between the ink and the background: plainly greyed, still
  // readable (the disabled text colour is too faint for a number).
  const QColor back = pal.color(QPalette::Window);
  const QColor grey((ink.red() + back.red()) / 2, (ink.green() + back.green()) / 2,
                    (ink.blue() + back.blue()) / 2);
  const double angle = kStartAngle - kSweep * needlePosition();
  if (!stale_) {
    QColor needle(0xd0, 0x20, 0x20);
    if (!isEnabled())
      needle = ink;
    painter.setPen(QPen(needle, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, OnCircle(centre, radius * 0.88, angle));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
  } else {
    if (hasReading_) {
      const QPointF tip = OnCircle(centre, radius * 0.88, angle);
      const QPointF side1 = OnCircle(centre, 3.5, angle + 90.0);
      const QPointF side2 = OnCircle(centre, 3.5, angle - 90.0);
      painter.setPen(QPen(grey, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.setBrush(Qt::NoBrush);
      painter.drawPolygon(QPolygonF({side1, tip, side2}));
    }
    painter.setPen(QPen(grey, 1.2));
    painter.setBrush(pal.color(QPalette::Window));
  }
  painter.drawEllipse(centre, 4.0, 4.0);

  // The value itself, never clamped; greyed while stale.
  painter.setFont(font());
  painter.setPen(stale_ ? grey : ink);
  const QRectF valueBox(area.left(), top + radius * 1.75 + 8.0, area.width(), textHeight * 1.4);
  painter.drawText(valueBox, Qt::AlignCenter, valueText());
}
