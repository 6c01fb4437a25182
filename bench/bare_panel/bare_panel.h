// The baseline the panel's costs are compared with: a bare Qt Widgets window
// doing the panel's visible job and nothing else. Chinese labels, a rate spin
// box, and two Qt Charts line charts of 1000 points whose traces and time axis
// follow the rate (one replace() and one axis change per chart per update), a
// small strip chart of the last 60 s of rate readings, the window icon and
// Qt's Chinese translations, as the panel has them.
// Whatever the panel comes to show, this window shows too, so the ratio of
// the two stays a ratio of the same job.
#pragma once

#include <QWidget>

class QApplication;
class QChartView;
class QLineSeries;
class QSpinBox;
class QValueAxis;

namespace bare {

// What the panel's start-up does to the application object: Qt's Chinese
// translations and the window icon.
void SetUpApplication(QApplication &app);

class BarePanel : public QWidget {
public:
  explicit BarePanel(QWidget *parent = nullptr);

  QSpinBox *rateBox() const { return rate_; }
  QChartView *pulseView() const { return pulseView_; }
  QChartView *logicView() const { return logicView_; }
  QChartView *trendView() const { return trend_.view; }

  // A rate reading at `seconds` on a steady clock, as the device reports
  // it: the strip chart keeps the last 60 s and ends at the newest.
  void addReading(double seconds, int rate);

private:
  struct Chart {
    QChartView *view = nullptr;
    QLineSeries *series = nullptr;
    QValueAxis *xAxis = nullptr;
  };
  Chart makeChart(const QString &title, double yMin, double yMax);
  // Both traces and both time axes for `rate` revolutions per minute.
  void follow(int rate);

  QSpinBox *rate_ = nullptr;
  QChartView *pulseView_ = nullptr;
  QChartView *logicView_ = nullptr;
  Chart pulse_;
  Chart logic_;
  Chart trend_;
};

} // namespace bare
