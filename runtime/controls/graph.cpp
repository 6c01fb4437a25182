#include "runtime/controls/graph.h"

#include <QAccessible>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QEvent>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "runtime/controls/accessible_widgets.h"

namespace {

const QEvent::Type kChartUpdateEvent = QEvent::Type(QEvent::registerEventType());

// Samples beyond this are off any sensible scale; keeping them finite and
// bounded keeps the drawing code away from overflowing coordinates.
constexpr double kSampleLimit = 1e9;
constexpr double kAxisLimit = 1e300;

// A round tick interval giving about `ticks` divisions of `span`.
double NiceInterval(double span, int ticks) {
  const double raw = span / ticks;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 2.5, 5.0})
    if (raw <= factor * magnitude)
      return factor * magnitude;
  return 10.0 * magnitude;
}

// Ticks at round numbers (multiples of a round interval from 0) while the
// range itself stays exactly what the data needs. The axis lays itself out
// after each change; the order of the changes keeps every intermediate state
// down to a few ticks (a wide range with a narrow interval would mean
// countless ticks), and an unchanged interval costs nothing.
void SetRange(QValueAxis *axis, double lo, double hi, int ticks) {
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

// The fixed y range gets evenly spaced ticks on round numbers when it allows
// (-1..6 in steps of 1, -10..10 in steps of 5), else four plain divisions.
void SetFixedRange(QValueAxis *axis, double lo, double hi) {
  axis->setRange(lo, hi);
  axis->setTickType(QValueAxis::TicksFixed);
  const double span = hi - lo;
  for (int divisions = 4; divisions <= 10; ++divisions) {
    const double step = span / divisions;
    const double nice = NiceInterval(span, divisions);
    const double offset = lo / step;
    if (std::abs(step - nice) <= 1e-9 * nice && std::abs(offset - std::round(offset)) <= 1e-9) {
      axis->setTickCount(divisions + 1);
      return;
    }
  }
  axis->setTickCount(5);
}

// A span for reading out: at most four significant digits, whole numbers
// written out in full.
QString SpanNumber(double span) {
  if (span >= 1000.0 && span < 1e15)
    return QString::number(qRound64(span));
  return QString::number(span, 'g', 4);
}

} // namespace

// A chart view whose chart can be kept from following the view's size. The
// graph keeps it so until the chart is first needed: the panel is shown
// before anything is plotted, and laying the chart out for its empty axes
// would be thrown away by the first plot.
class Graph::ChartView : public QChartView {
public:
  using QChartView::QChartView;

  // While held, a new size waits; on release the chart takes the size the
  // view has then.
  void holdChartSize() { held_ = true; }
  void releaseChartSize() {
    if (!held_)
      return;
    held_ = false;
    if (sizeWaiting_) {
      sizeWaiting_ = false;
      QResizeEvent event(size(), size());
      QChartView::resizeEvent(&event);
    }
  }

protected:
  void resizeEvent(QResizeEvent *event) override {
    if (held_) {
      sizeWaiting_ = true;
      QGraphicsView::resizeEvent(event);
      return;
    }
    QChartView::resizeEvent(event);
  }

private:
  bool held_ = false;
  bool sizeWaiting_ = false;
};

Graph::Graph(QWidget *parent) : QWidget(parent) {
  rt::InstallAccessibleFactory();
  setFocusPolicy(Qt::TabFocus);
  chart_ = new QChart;
  chart_->setAnimationOptions(QChart::NoAnimation);
  chart_->legend()->hide();
  chart_->setBackgroundRoundness(0);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  QFont titleFont = chart_->titleFont();
  titleFont.setBold(true);
  chart_->setTitleFont(titleFont);

  xAxis_ = new QValueAxis;
  xAxis_->setLabelFormat(QStringLiteral("%.4g"));
  SetRange(xAxis_, 0.0, 1.0, 5);
  yAxis_ = new QValueAxis;
  yAxis_->setLabelFormat(QStringLiteral("%g"));
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  applyYRange();

  view_ = new ChartView(chart_, this);
  view_->holdChartSize();
  view_->setRenderHint(QPainter::Antialiasing, false);
  // A replot changes the line and the axis labels together. Repainting the
  // one rectangle around them measured about a quarter cheaper than the
  // minimal update's region of many small rectangles.
  view_->setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
  view_->setFrameShape(QFrame::NoFrame);
  view_->setFocusPolicy(Qt::NoFocus);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2); // room for the focus frame
  layout->addWidget(view_);
  setMinimumSize(240, 140);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

Graph::~Graph() = default;

QString Graph::title() const {
  return chart_->title();
}
void Graph::setTitle(const QString &title) {
  chart_->setTitle(title);
}
QString Graph::xAxisTitle() const {
  return xAxis_->titleText();
}
void Graph::setXAxisTitle(const QString &title) {
  xAxis_->setTitleText(title);
}
QString Graph::yAxisTitle() const {
  return yAxis_->titleText();
}
void Graph::setYAxisTitle(const QString &title) {
  yAxis_->setTitleText(title);
}

void Graph::setYMin(double value) {
  if (!std::isfinite(value))
    return;
  yMin_ = value;
  applyYRange();
}

void Graph::setYMax(double value) {
  if (!std::isfinite(value))
    return;
  yMax_ = value;
  applyYRange();
}

void Graph::setXSpanText(const QString &text) {
  xSpanText_ = text;
  if (spanKnown_)
    announceSummary();
}

QString Graph::accessibleSummary() const {
  QString summary = accessibleDescription();
  if (spanKnown_ && !xSpanText_.isEmpty())
    summary += xSpanText_.arg(SpanNumber(span_));
  return summary;
}

void Graph::announceSummary() {
  const QString summary = accessibleSummary();
  if (summary == announced_)
    return;
  announced_ = summary;
  QAccessibleEvent event(this, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&event);
}

void Graph::paintEvent(QPaintEvent *) {
  // A paint that comes before the event loop got round to the update (a
  // grab, a synchronous repaint) still shows the plots as they are.
  updateChart();
  if (!hasFocus())
    return;
  QPainter painter(this);
  painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
}

void Graph::applyYRange() {
  double lo = qMin(yMin_, yMax_);
  double hi = qMax(yMin_, yMax_);
  if (hi - lo <= 0.0) {
    lo -= 1.0;
    hi += 1.0;
  }
  SetFixedRange(yAxis_, lo, hi);
}

void Graph::layOut(Plot &plot) const {
  QList<QPointF> points;
  points.reserve(qsizetype(plot.samples.size()));
  for (std::size_t i = 0; i < plot.samples.size(); ++i) {
    const double x = double(i) * gain_;
    const double y = plot.samples[i];
    if (!std::isfinite(x) || !std::isfinite(y))
      continue; // a gap: nothing sensible to draw there
    points.append(QPointF(x, qBound(-kSampleLimit, y, kSampleLimit)));
  }
  // x moves steadily with the index, so the end points bound the trace.
  plot.drawn = !points.isEmpty();
  if (plot.drawn) {
    plot.xMin = qMin(points.first().x(), points.last().x());
    plot.xMax = qMax(points.first().x(), points.last().x());
  }
  plot.points = std::move(points);
  plot.stale = true;
}

int Graph::plot(const double *samples, int count, QColor color) {
  Plot plot;
  plot.handle = nextHandle_++;
  plot.samples.assign(samples, samples + count);
  if (!spare_.empty()) {
    plot.series = spare_.back();
    spare_.pop_back();
    // Shown again at the update, so it need not be hidden first.
    toHide_.erase(std::remove(toHide_.begin(), toHide_.end(), plot.series), toHide_.end());
  } else {
    plot.series = new QLineSeries;
    plot.series->setVisible(false); // until the update gives it its points
    chart_->addSeries(plot.series);
    plot.series->attachAxis(xAxis_);
    plot.series->attachAxis(yAxis_);
  }
  QPen pen(color);
  pen.setWidthF(1.0);
  if (plot.series->pen() != pen)
    plot.series->setPen(pen);
  layOut(plot);
  plots_.push_back(std::move(plot));
  fitXAxis();
  scheduleChartUpdate();
  return plots_.back().handle;
}

bool Graph::deletePlot(int handle) {
  for (auto it = plots_.begin(); it != plots_.end(); ++it) {
    if (it->handle != handle)
      continue;
    spare_.push_back(it->series);
    toHide_.push_back(it->series);
    plots_.erase(it);
    fitXAxis();
    scheduleChartUpdate();
    return true;
  }
  return false;
}

void Graph::deleteAllPlots() {
  for (Plot &plot : plots_) {
    spare_.push_back(plot.series);
    toHide_.push_back(plot.series);
  }
  plots_.clear();
  scheduleChartUpdate();
}

bool Graph::setXGain(double gain) {
  if (!std::isfinite(gain))
    return false;
  if (gain == gain_)
    return true;
  gain_ = gain;
  for (Plot &plot : plots_)
    layOut(plot);
  fitXAxis();
  if (!plots_.empty())
    scheduleChartUpdate();
  return true;
}

// Posted ahead of the chart's own layout request, if one is waiting, so the
// chart is laid out once with the new axis and lines, not once before them
// and again after.
void Graph::scheduleChartUpdate() {
  chartStale_ = true;
  if (updatePosted_)
    return;
  updatePosted_ = true;
  QCoreApplication::postEvent(this, new QEvent(kChartUpdateEvent), Qt::HighEventPriority);
}

bool Graph::event(QEvent *event) {
  if (event->type() == kChartUpdateEvent) {
    updatePosted_ = false;
    updateChart();
    return true;
  }
  // A new size lays the chart out (the graph's own resize comes before its
  // chart view's): bring it up to date first, so that is the one layout.
  // Before the chart was first needed, it stays held and nothing is laid out.
  if (event->type() == QEvent::Resize && chartStale_)
    updateChart();
  return QWidget::event(event);
}

// The chart lays out every line again whenever an axis range changes, so
// a line about to get new points is emptied first (an empty line costs
// nothing), the axis is set, and the line gets its points last: one layout
// per line, one axis change per update.
void Graph::updateChart() {
  if (!chartStale_) {
    view_->releaseChartSize();
    return;
  }
  chartStale_ = false;
  for (QLineSeries *series : toHide_) {
    series->setVisible(false);
    series->clear(); // a hidden line is still laid out with the axes
  }
  toHide_.clear();
  const bool axisMoves = axisLo_ != xAxis_->min() || axisHi_ != xAxis_->max();
  if (axisMoves) {
    for (Plot &plot : plots_)
      if (plot.stale && plot.series->count() > 0)
        plot.series->clear();
    SetRange(xAxis_, axisLo_, axisHi_, 5);
  }
  for (Plot &plot : plots_) {
    if (!plot.stale)
      continue;
    plot.stale = false;
    plot.series->replace(plot.points);
    plot.points = {};
    plot.series->setVisible(true);
  }
  view_->releaseChartSize();
}

QChart *Graph::chart() const {
  ensureChartUpdated();
  return chart_;
}

std::vector<int> Graph::plotHandles() const {
  std::vector<int> handles;
  for (const Plot &plot : plots_)
    handles.push_back(plot.handle);
  return handles;
}

QList<QPointF> Graph::plotPoints(int handle) const {
  ensureChartUpdated();
  for (const Plot &plot : plots_)
    if (plot.handle == handle)
      return plot.series->points();
  return {};
}

double Graph::xAxisMin() const {
  ensureChartUpdated();
  return xAxis_->min();
}

double Graph::xAxisMax() const {
  ensureChartUpdated();
  return xAxis_->max();
}

void Graph::fitXAxis() {
  bool any = false;
  double lo = 0.0;
  double hi = 0.0;
  for (const Plot &plot : plots_) {
    if (!plot.drawn)
      continue;
    lo = any ? qMin(lo, plot.xMin) : plot.xMin;
    hi = any ? qMax(hi, plot.xMax) : plot.xMax;
    any = true;
  }
  if (!any)
    return; // nothing plotted: the axis keeps its last range
  span_ = (hi - lo) + std::abs(gain_);
  spanKnown_ = true;
  announceSummary();
  lo = qBound(-kAxisLimit, lo, kAxisLimit);
  hi = qBound(-kAxisLimit, hi, kAxisLimit);
  if (!(hi - lo > 1e-300)) {
    const double pad = qMax(std::abs(lo) * 0.5, 1.0);
    lo -= pad;
    hi += pad;
  }
  axisLo_ = lo;
  axisHi_ = hi;
}
