#include "runtime/graph.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>

namespace {

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
// range itself stays exactly what the data needs.
void SetRange(QValueAxis *axis, double lo, double hi, int ticks) {
  axis->setRange(lo, hi);
  const double interval = NiceInterval(hi - lo, ticks);
  if (std::isfinite(interval) && interval > 0.0) {
    axis->setTickAnchor(0.0);
    axis->setTickInterval(interval);
    axis->setTickType(QValueAxis::TicksDynamic);
  } else {
    axis->setTickType(QValueAxis::TicksFixed);
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

} // namespace

Graph::Graph(QWidget *parent) : QWidget(parent) {
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

  view_ = new QChartView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing, false);
  view_->setFrameShape(QFrame::NoFrame);
  view_->setFocusPolicy(Qt::NoFocus);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  setMinimumSize(240, 140);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

Graph::~Graph() = default;

QString Graph::title() const { return chart_->title(); }
void Graph::setTitle(const QString &title) { chart_->setTitle(title); }
QString Graph::xAxisTitle() const { return xAxis_->titleText(); }
void Graph::setXAxisTitle(const QString &title) { xAxis_->setTitleText(title); }
QString Graph::yAxisTitle() const { return yAxis_->titleText(); }
void Graph::setYAxisTitle(const QString &title) { yAxis_->setTitleText(title); }

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

void Graph::applyYRange() {
  double lo = qMin(yMin_, yMax_);
  double hi = qMax(yMin_, yMax_);
  if (hi - lo <= 0.0) {
    lo -= 1.0;
    hi += 1.0;
  }
  SetFixedRange(yAxis_, lo, hi);
}

QList<QPointF> Graph::pointsFor(const std::vector<double> &samples) const {
  QList<QPointF> points;
  points.reserve(qsizetype(samples.size()));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double x = double(i) * gain_;
    const double y = samples[i];
    if (!std::isfinite(x) || !std::isfinite(y))
      continue; // a gap: nothing sensible to draw there
    points.append(QPointF(x, qBound(-kSampleLimit, y, kSampleLimit)));
  }
  return points;
}

int Graph::plot(const double *samples, int count, QColor color) {
  Plot plot{nextHandle_++, nullptr, std::vector<double>(samples, samples + count)};
  if (!spare_.empty()) {
    plot.series = spare_.back();
    spare_.pop_back();
  } else {
    plot.series = new QLineSeries;
    chart_->addSeries(plot.series);
    plot.series->attachAxis(xAxis_);
    plot.series->attachAxis(yAxis_);
  }
  QPen pen(color);
  pen.setWidthF(1.0);
  plot.series->setPen(pen);
  plot.series->replace(pointsFor(plot.samples));
  plot.series->setVisible(true);
  plots_.push_back(std::move(plot));
  fitXAxis();
  return plots_.back().handle;
}

bool Graph::deletePlot(int handle) {
  for (auto it = plots_.begin(); it != plots_.end(); ++it) {
    if (it->handle != handle)
      continue;
    it->series->setVisible(false);
    spare_.push_back(it->series);
    plots_.erase(it);
    fitXAxis();
    return true;
  }
  return false;
}

void Graph::deleteAllPlots() {
  for (Plot &plot : plots_) {
    plot.series->setVisible(false);
    spare_.push_back(plot.series);
  }
  plots_.clear();
}

bool Graph::setXGain(double gain) {
  if (!std::isfinite(gain))
    return false;
  if (gain == gain_)
    return true;
  gain_ = gain;
  for (Plot &plot : plots_)
    plot.series->replace(pointsFor(plot.samples));
  fitXAxis();
  return true;
}

std::vector<int> Graph::plotHandles() const {
  std::vector<int> handles;
  for (const Plot &plot : plots_)
    handles.push_back(plot.handle);
  return handles;
}

QList<QPointF> Graph::plotPoints(int handle) const {
  for (const Plot &plot : plots_)
    if (plot.handle == handle)
      return plot.series->points();
  return {};
}

double Graph::xAxisMin() const { return xAxis_->min(); }
double Graph::xAxisMax() const { return xAxis_->max(); }

void Graph::fitXAxis() {
  // x grows (or shrinks, for a negative gain) with the index, so the ends of
  // each trace bound it.
  bool any = false;
  double lo = 0.0;
  double hi = 0.0;
  for (const Plot &plot : plots_) {
    const int n = plot.series->count();
    if (n == 0)
      continue;
    const double a = plot.series->at(0).x();
    const double b = plot.series->at(n - 1).x();
    lo = any ? qMin(lo, qMin(a, b)) : qMin(a, b);
    hi = any ? qMax(hi, qMax(a, b)) : qMax(a, b);
    any = true;
  }
  if (!any)
    return; // nothing plotted: the axis keeps its last range
  lo = qBound(-kAxisLimit, lo, kAxisLimit);
  hi = qBound(-kAxisLimit, hi, kAxisLimit);
  if (!(hi - lo > 1e-300)) {
    const double pad = qMax(std::abs(lo) * 0.5, 1.0);
    lo -= pad;
    hi += pad;
  }
  if (lo != xAxis_->min() || hi != xAxis_->max())
    SetRange(xAxis_, lo, hi, 5);
}
