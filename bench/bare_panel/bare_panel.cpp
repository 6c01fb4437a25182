#include "bench/bare_panel/bare_panel.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTranslator>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

#include "bench/bare_panel/bare_painted.h"

namespace bare {

namespace {

constexpr int kSamples = 1000;

void Describe(QWidget *w, const QString &tip, const QString &name, const QString &description) {
  w->setToolTip(tip);
  w->setAccessibleName(name);
  w->setAccessibleDescription(description);
}

// The time axis from 0 to `span`, with about five ticks on round numbers
// from 0. The interval changes on the side that keeps the ticks few.
void SetSpan(QValueAxis *axis, double span) {
  const double rough = span / 5.0;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double tick = 10.0 * power;
  for (double m : {5.0, 2.5, 2.0, 1.0})
    if (m * power >= rough)
      tick = m * power;
  if (tick >= axis->tickInterval()) {
    axis->setTickInterval(tick);
    axis->setRange(0.0, span);
  } else {
    axis->setRange(0.0, span);
    axis->setTickInterval(tick);
  }
}

} // namespace

void SetUpApplication(QApplication &app) {
  auto *translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  const QString icon = QStringLiteral(":/app/icon.svg");
  if (QFileInfo::exists(icon))
    app.setWindowIcon(QIcon(icon));
}

BarePanel::BarePanel(QWidget *parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("nuvaro 信号发生器控制面板"));
  setAccessibleName(QStringLiteral("信号发生器控制面板"));
  setMinimumSize(980, 600);
  resize(1180, 720);

  auto *layout = new QHBoxLayout(this);
  layout->addLayout(settingsColumn(), 0);
  layout->addLayout(linkColumn(), 0);
  layout->addLayout(plotColumn(), 1);
  connect(clean_, &QPushButton::clicked, notes_, &QPlainTextEdit::clear);

  follow(rate_->value());
  connect(rate_, &QSpinBox::valueChanged, this, [this](int rate) { follow(rate); });
}

QWidget *BarePanel::trendView() const {
  return strip_;
}

QLayout *BarePanel::plotColumn() {
  // Pulse and logic charts 3:3, the notes 1.
  pulse_ = makeChart(QStringLiteral("脉冲信号"), -10, 10, 5);
  Describe(pulse_.view, QStringLiteral("脉冲信号的预览（一转）"), QStringLiteral("脉冲信号波形"),
           QStringLiteral("一转内的脉冲信号，横轴为时间（毫秒），纵轴为幅值"));
  logic_ = makeChart(QStringLiteral("逻辑信号"), -1, 6, 8);
  Describe(logic_.view, QStringLiteral("逻辑信号的预览（一转）"), QStringLiteral("逻辑信号波形"),
           QStringLiteral("一转内的逻辑信号，横轴为时间（毫秒），纵轴为幅值"));
  auto *column = new QVBoxLayout;
  for (QChartView *view : {pulse_.view, logic_.view}) {
    // The panel's graphs keep 2 px around the chart for their focus frame.
    auto *frame = new QVBoxLayout;
    frame->setContentsMargins(2, 2, 2, 2);
    frame->addWidget(view);
    column->addLayout(frame, 3);
  }

  auto *notes = new QVBoxLayout;
  notes_ = new QPlainTextEdit;
  notes_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  notes_->setAccessibleName(QStringLiteral("备注"));
  notes_->setPlaceholderText(QStringLiteral("在此记录备注"));
  notes_->setTabChangesFocus(true);
  auto *label = new QLabel(QStringLiteral("备注(&N)："));
  label->setBuddy(notes_);
  notes->addWidget(label);
  notes->addWidget(notes_);
  column->addLayout(notes, 1);
  return column;
}

BarePanel::Chart BarePanel::makeChart(const QString &title, double yMin, double yMax, int yTicks) {
  Chart c;
  auto *chart = new QChart;
  chart->setTitle(title);
  QFont titleFont = chart->titleFont();
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(4, 4, 4, 4));
  c.series = new QLineSeries;
  c.series->setPen(QPen(Qt::red, 1.0));
  chart->addSeries(c.series);
  c.xAxis = new QValueAxis;
  c.xAxis->setTitleText(QStringLiteral("时间 (ms)"));
  c.xAxis->setLabelFormat(QStringLiteral("%.4g"));
  c.xAxis->setTickInterval(1.0);
  c.xAxis->setTickAnchor(0.0);
  c.xAxis->setTickType(QValueAxis::TicksDynamic);
  auto *yAxis = new QValueAxis;
  yAxis->setTitleText(QStringLiteral("幅值"));
  yAxis->setLabelFormat(QStringLiteral("%g"));
  yAxis->setRange(yMin, yMax);
  yAxis->setTickCount(yTicks); // a tick on every round number
  chart->addAxis(c.xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);
  c.series->attachAxis(c.xAxis);
  c.series->attachAxis(yAxis);
  c.view = new QChartView(chart);
  c.view->setFrameShape(QFrame::NoFrame);
  // Round ticks move their grid lines with the range: one repaint rectangle
  // around all that changed is cheaper than the many small ones Qt would
  // otherwise repaint.
  c.view->setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
  c.view->setMinimumSize(240, 140);
  c.view->setFocusPolicy(Qt::TabFocus);
  return c;
}

void BarePanel::addReading(double seconds, int rate) {
  dial_->setReading(rate);
  strip_->addReading(seconds, rate);
}

void BarePanel::follow(int rate) {
  // One sample lasts 1/1000 of a revolution, in milliseconds. A pulse of
  // 100 µs at the start, one of the other sign at 30°, and the logic level
  // falling there: the panel's settings at start.
  const double step = 60.0 / rate;
  const int pulseSamples = qMax(1, int(0.1 / step));
  const int angleSample = kSamples * 30 / 360;
  QList<QPointF> pulse, logic;
  pulse.reserve(kSamples);
  logic.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    const double x = i * step;
    double p = 0.0;
    if (i > 0 && i <= pulseSamples)
      p = 8.0;
    else if (i >= angleSample && i < angleSample + pulseSamples)
      p = -8.0;
    pulse.append(QPointF(x, p));
    logic.append(QPointF(x, i < angleSample ? 5.0 : 0.0));
  }
  const double span = (kSamples - 1) * step;
  pulse_.series->replace(pulse);
  SetSpan(pulse_.xAxis, span);
  logic_.series->replace(logic);
  SetSpan(logic_.xAxis, span);
}

} // namespace bare
