#include "bench/bare_panel/bare_panel.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineSeries>
#include <QSpinBox>
#include <QTranslator>
#include <QVBoxLayout>
#include <QValueAxis>

namespace bare {

namespace {

constexpr int kSamples = 1000;

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
  setWindowTitle(QStringLiteral("信号发生器控制面板"));
  resize(1180, 720);

  auto *settings = new QGroupBox(QStringLiteral("信号参数"));
  auto *form = new QFormLayout(settings);
  rate_ = new QSpinBox;
  rate_->setRange(1, 10000);
  rate_->setSuffix(QStringLiteral(" 转/分"));
  rate_->setValue(3000);
  form->addRow(QStringLiteral("转速(&R)"), rate_);
  auto *left = new QVBoxLayout;
  left->addWidget(settings);
  left->addStretch();

  // The strip chart: -60..0 s against the meter's scale, empty until the
  // device reports.
  trend_.series = new QLineSeries;
  trend_.series->setPen(QPen(Qt::darkBlue, 1.0));
  auto *trend = new QChart;
  trend->legend()->hide();
  trend->addSeries(trend_.series);
  trend_.xAxis = new QValueAxis;
  trend_.xAxis->setRange(-60.0, 0.0);
  trend_.xAxis->setTitleText(QStringLiteral("秒"));
  auto *trendY = new QValueAxis;
  trendY->setRange(0.0, 10000.0);
  trend->addAxis(trend_.xAxis, Qt::AlignBottom);
  trend->addAxis(trendY, Qt::AlignLeft);
  trend_.series->attachAxis(trend_.xAxis);
  trend_.series->attachAxis(trendY);
  trend_.view = new QChartView(trend);
  trend_.view->setMinimumSize(160, 90);
  trend_.view->setMaximumHeight(170);
  left->addWidget(trend_.view);

  pulse_ = makeChart(QStringLiteral("脉冲信号"), -10, 10);
  logic_ = makeChart(QStringLiteral("逻辑信号"), -1, 6);
  pulseView_ = pulse_.view;
  logicView_ = logic_.view;
  auto *right = new QVBoxLayout;
  right->addWidget(pulse_.view);
  right->addWidget(logic_.view);

  auto *layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right, 2);

  follow(rate_->value());
  connect(rate_, &QSpinBox::valueChanged, this, [this](int rate) { follow(rate); });
}

BarePanel::Chart BarePanel::makeChart(const QString &title, double yMin, double yMax) {
  Chart c;
  auto *chart = new QChart;
  chart->setTitle(title);
  chart->legend()->hide();
  c.series = new QLineSeries;
  c.series->setPen(QPen(Qt::red, 1.0));
  chart->addSeries(c.series);
  c.xAxis = new QValueAxis;
  c.xAxis->setTitleText(QStringLiteral("时间 (ms)"));
  auto *yAxis = new QValueAxis;
  yAxis->setTitleText(QStringLiteral("幅值"));
  yAxis->setRange(yMin, yMax);
  chart->addAxis(c.xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);
  c.series->attachAxis(c.xAxis);
  c.series->attachAxis(yAxis);
  c.view = new QChartView(chart);
  return c;
}

void BarePanel::addReading(double seconds, int rate) {
  trend_.series->append(seconds, rate);
  int old = 0;
  while (old < trend_.series->count() && trend_.series->at(old).x() < seconds - 60.0)
    ++old;
  if (old > 0)
    trend_.series->removePoints(0, old);
  trend_.xAxis->setRange(seconds - 60.0, seconds);
}

void BarePanel::follow(int rate) {
  // One sample lasts 1/1000 of a revolution, in milliseconds; a pulse of
  // 2 ms at a quarter turn, and the logic level changing there.
  const double step = 60.0 / rate;
  const int pulseSamples = qMax(1, int(2.0 / step));
  QList<QPointF> pulse, logic;
  pulse.reserve(kSamples);
  logic.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    const double x = i * step;
    double p = 0.0;
    if (i > 0 && i <= pulseSamples)
      p = 8.0;
    else if (i >= kSamples / 4 && i < kSamples / 4 + pulseSamples)
      p = -8.0;
    pulse.append(QPointF(x, p));
    logic.append(QPointF(x, i < kSamples / 4 ? 5.0 : 0.0));
  }
  const double span = (kSamples - 1) * step;
  pulse_.series->replace(pulse);
  pulse_.xAxis->setRange(0.0, span);
  logic_.series->replace(logic);
  logic_.xAxis->setRange(0.0, span);
}

} // namespace bare
