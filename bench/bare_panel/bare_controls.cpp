#include "bare_controls.h"

#include <QChart>
#include <QChartView>
#include <QCompleter>
#include <QLineSeries>
#include <QSerialPortInfo>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace bare {

namespace {

// A round step (1, 2, 2.5 or 5 times a power of ten) of about span / parts.
double RoundStep(double span, int parts) {
  const double rough = span / parts;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 2.5, 5.0})
    if (m * power >= rough)
      return m * power;
  return 10.0 * power;
}

} // namespace

Ring::Ring(QWidget *parent) : QComboBox(parent) {
  setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

QSize Ring::sizeHint() const {
  return QComboBox::sizeHint() + QSize(fontMetrics().height(), 0);
}

QSize Ring::minimumSizeHint() const {
  return QComboBox::minimumSizeHint() + QSize(fontMetrics().height(), 0);
}

const QString PortList::kDemoPort = QStringLiteral("演示设备（内置模拟）");

PortList::PortList(QWidget *parent) : QComboBox(parent) {
  setEditable(true);
  completer()->setCompletionMode(QCompleter::PopupCompletion);
  setInsertPolicy(QComboBox::NoInsert);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(12);
  for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
    QString label = info.portName();
    if (!info.description().isEmpty())
      label += QStringLiteral(" — ") + info.description();
    addItem(label, info.systemLocation());
  }
  addItem(kDemoPort);
  setCurrentIndex(0);
}

Chart::Chart(QWidget *parent) : QWidget(parent) {
  auto *chart = new QChart;
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(4, 4, 4, 4));
  QFont titleFont = chart->titleFont();
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  series_ = new QLineSeries;
  series_->setPen(QPen(Qt::red, 1.0));
  chart->addSeries(series_);
  xAxis_ = new QValueAxis;
  xAxis_->setLabelFormat(QStringLiteral("%.4g"));
  xAxis_->setTickInterval(1.0);
  xAxis_->setTickAnchor(0.0);
  xAxis_->setTickType(QValueAxis::TicksDynamic);
  yAxis_ = new QValueAxis;
  yAxis_->setLabelFormat(QStringLiteral("%g"));
  chart->addAxis(xAxis_, Qt::AlignBottom);
  chart->addAxis(yAxis_, Qt::AlignLeft);
  series_->attachAxis(xAxis_);
  series_->attachAxis(yAxis_);

  view_ = new QChartView(chart, this);
  view_->setFrameShape(QFrame::NoFrame);
  // Round ticks move their grid lines with the range: one repaint rectangle
  // around all that changed is cheaper than the many small ones Qt would
  // otherwise repaint.
  view_->setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
  view_->setFocusPolicy(Qt::NoFocus);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(view_);
  setMinimumSize(240, 140);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::TabFocus);
}

// A tick on every round number of the y range when some division of it
// allows (-10..10 in steps of 5, -1..6 in steps of 1), else four divisions.
void Chart::takeProperties() {
  view_->chart()->setTitle(property("title").toString());
  xAxis_->setTitleText(property("xAxisTitle").toString());
  yAxis_->setTitleText(property("yAxisTitle").toString());
  const double lo = property("yMin").toDouble(), hi = property("yMax").toDouble();
  yAxis_->setRange(lo, hi);
  int divisions = 4;
  for (int d = 4; d <= 10; ++d) {
    const double step = (hi - lo) / d;
    if (std::abs(RoundStep(hi - lo, d) - step) < 1e-9 * step &&
        std::abs(lo / step - std::round(lo / step)) < 1e-9) {
      divisions = d;
      break;
    }
  }
  yAxis_->setTickCount(divisions + 1);
}

void Chart::plot(const QList<QPointF> &points, double span) {
  series_->clear();
  // About five ticks; the interval changes on the side that keeps them few.
  const double tick = RoundStep(span, 5);
  if (tick >= xAxis_->tickInterval()) {
    xAxis_->setTickInterval(tick);
    xAxis_->setRange(0.0, span);
  } else {
    xAxis_->setRange(0.0, span);
    xAxis_->setTickInterval(tick);
  }
  series_->replace(points);
}

} // namespace bare
