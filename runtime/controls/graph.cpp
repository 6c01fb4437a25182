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

#include "runtime/controls/graph_chart.h"

namespace {

const QEvent::Type kChartUpdateEvent = QEvent::Type(QEvent::registerEventType());

// Samples beyond this are off any sensible scale; keeping them finite and
// bounded keeps the drawing code away from overflowing coordinates.
constexpr double kSampleLimit = 1e9;
constexpr double kAxisLimit = 1e300;

// A span for reading out: at most four significant digits, whole numbers
// written out in full.
QString SpanNumber(double span) {
  if (span >= 1000.0 && span < 1e15)
    return QString::number(qRound64(span));
  return QString::number(span, 'g', 4);
}

} // namespace

Graph::Graph(QWidget *parent) : QWidget(parent) {
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
  rt::SetTickedRange(xAxis_, 0.0, 1.0, 5);
  yAxis_ = new QValueAxis;
  // Each after a space: Qt Charts keeps room for a "..." label beside the
  // axis title, and with labels narrower than that (a lone "6") writes the
  // title itself as "...". The label is HTML, which would drop a plain space.
  yAxis_->setLabelFormat(QStringLiteral("&nbsp;%g"));
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  applyYRange();
  // As many of the y axis's labels as its height shows whole.
  connect(chart_, &QChart::plotAreaChanged, this, [this](const QRectF &area) {
    const int labels = rt::LabelsThatFit(area.height(), yAxis_->labelsFont());
    if (labels == yLabels_)
      return;
    yLabels_ = labels;
    applyYRange();
  });

  view_ = new rt::GraphChartView(chart_, this);
  view_->holdChartSize();
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
  rt::SetFixedRange(yAxis_, lo, hi, yLabels_);
}

// Only the extent now: the points are made once, when the chart is brought
// up to date. A replot sets the samples and then the gain, and each would
// otherwise make all the points again.
void Graph::measure(Plot &plot) const {
  const std::size_t n = plot.samples.size();
  const auto drawable = [&](std::size_t i) {
    return std::isfinite(double(i) * gain_) && std::isfinite(plot.samples[i]);
  };
  std::size_t first = 0;
  while (first < n && !drawable(first))
    ++first;
  plot.drawn = first < n;
  if (plot.drawn) {
    // x moves steadily with the index, so the end points bound the trace.
    std::size_t last = n - 1;
    while (!drawable(last))
      --last;
    plot.xMin = qMin(double(first) * gain_, double(last) * gain_);
    plot.xMax = qMax(double(first) * gain_, double(last) * gain_);
  }
  plot.stale = true;
}

QList<QPointF> Graph::points(const Plot &plot) const {
  QList<QPointF> points;
  points.reserve(qsizetype(plot.samples.size()));
  for (std::size_t i = 0; i < plot.samples.size(); ++i) {
    const double x = double(i) * gain_;
    const double y = plot.samples[i];
    if (!std::isfinite(x) || !std::isfinite(y))
      continue; // a gap: nothing sensible to draw there
    points.append(QPointF(x, qBound(-kSampleLimit, y, kSampleLimit)));
  }
  return points;
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
  measure(plot);
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
    measure(plot);
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
    rt::SetTickedRange(xAxis_, axisLo_, axisHi_, 5);
  }
  for (Plot &plot : plots_) {
    if (!plot.stale)
      continue;
    plot.stale = false;
    plot.series->replace(points(plot));
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
