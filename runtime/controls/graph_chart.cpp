#include "runtime/controls/graph_chart.h"

#include <QFontMetricsF>
#include <QResizeEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace rt {

namespace {

// A round tick interval giving about `ticks` divisions of `span`.
double NiceInterval(double span, int ticks) {
  const double raw = span / ticks;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 2.5, 5.0})
    if (raw <= factor * magnitude)
      return factor * magnitude;
  return 10.0 * magnitude;
}

} // namespace

GraphChartView::GraphChartView(QChart *chart, QWidget *parent) : QChartView(chart, parent) {
  setRenderHint(QPainter::Antialiasing, false);
  // A replot changes the line and the axis labels together. Repainting the
  // one rectangle around them measured about a quarter cheaper than the
  // minimal update's region of many small rectangles.
  setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::NoFocus);
}

void GraphChartView::releaseChartSize() {
  if (!held_)
    return;
  held_ = false;
  if (sizeWaiting_) {
    sizeWaiting_ = false;
    QResizeEvent event(size(), size());
    QChartView::resizeEvent(&event);
  }
}

void GraphChartView::resizeEvent(QResizeEvent *event) {
  if (held_) {
    sizeWaiting_ = true;
    QGraphicsView::resizeEvent(event);
    return;
  }
  QChartView::resizeEvent(event);
}

// The axis lays itself out after each change; the order of the changes keeps
// every intermediate state down to a few ticks (a wide range with a narrow
// interval would mean countless ticks), and an unchanged interval costs
// nothing.
void SetTickedRange(QValueAxis *axis, double lo, double hi, int ticks) {
  const double interval = NiceInterval(hi - lo, ticks);
  if (!(std::isfinite(interval) && interval > 0.0 && (hi - lo) / interval < 50.0)) {
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setRange(lo, hi);
    return;
  }
  if (axis->tickType() != QValueAxis::TicksDynamic) {
    axis->setRange(lo, hi);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(interval);
    axis->setTickType(QValueAxis::TicksDynamic);
  } else if (interval >= axis->tickInterval()) {
    axis->setTickInterval(interval); // fewer ticks over the old range
    axis->setRange(lo, hi);
  } else {
    axis->setRange(lo, hi); // fewer ticks with the old interval
    axis->setTickInterval(interval);
  }
}

void SetFixedRange(QValueAxis *axis, double lo, double hi, int labels) {
  axis->setRange(lo, hi);
  const double span = hi - lo;
  for (int divisions = 4; divisions <= std::min(10, labels - 1); ++divisions) {
    const double step = span / divisions;
    const double nice = NiceInterval(span, divisions);
    const double offset = lo / step;
    if (std::abs(step - nice) <= 1e-9 * nice && std::abs(offset - std::round(offset)) <= 1e-9) {
      axis->setTickType(QValueAxis::TicksFixed);
      axis->setTickCount(divisions + 1);
      return;
    }
  }
  if (labels >= 5) {
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(5);
    return;
  }
  // Too little room for four divisions: a coarser round interval from 0,
  // with at least two labels; failing that, the two ends alone.
  const auto count = [lo, hi](double interval) {
    return std::floor(hi / interval + 1e-9) - std::ceil(lo / interval - 1e-9) + 1.0;
  };
  double interval = NiceInterval(span, std::max(1, labels));
  while (std::isfinite(interval) && count(interval) > labels)
    interval = NiceInterval(interval * 1.01, 1);
  if (!(std::isfinite(interval) && interval > 0.0 && count(interval) >= 2.0)) {
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(2);
    return;
  }
  axis->setTickAnchor(0.0);
  axis->setTickInterval(interval);
  axis->setTickType(QValueAxis::TicksDynamic);
}

int LabelsThatFit(double length, const QFont &labelsFont) {
  // Each label's line, its text's own margin of half a pixel above and below,
  // and Qt Charts' padding of 4 px above and below it.
  const double slot = QFontMetricsF(labelsFont).height() + 1.0 + 8.0;
  return std::max(2, static_cast<int>(length / slot));
}

} // namespace rt
