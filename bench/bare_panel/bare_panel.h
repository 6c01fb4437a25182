// The baseline the panel's costs are compared with: a bare Qt Widgets window
// that shows what the panel shows at start and does its visible job, and
// nothing else. The same three columns with the same stretch, title and
// size: the settings column (port, work mode, fixed rate, and the sweep
// group dimmed), the link column (pulse settings, the link group with its
// lamp, a dial meter and a strip chart of the last 60 s, the send button and
// the row of three buttons) and the plot column (two Qt Charts line charts of
// 1000 points, and the notes box). Every label, range, suffix, value, list
// item, tool tip and accessible name is the panel's. The port list is read
// from the system, with the built-in demo entry and its notice, as the panel
// does. The lamps, the dial and the strip chart are painted (bare_painted.h).
// The traces and time axes follow the rate, with one replace() and one axis
// change per chart per update; the window icon and Qt's Chinese translations
// are set up as the panel's start-up does.
//
// It uses Qt alone, none of the code it is compared with. Whatever the panel
// comes to show, this window shows too, so the ratio of the two stays a
// ratio of the same job.
#pragma once

#include <QWidget>

class QApplication;
class QChartView;
class QLayout;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QValueAxis;

namespace bare {

class Dial;
class Strip;

// What the panel's start-up does to the application object: Qt's Chinese
// translations and the window icon.
void SetUpApplication(QApplication &app);

class BarePanel : public QWidget {
public:
  explicit BarePanel(QWidget *parent = nullptr);

  QSpinBox *rateBox() const { return rate_; }
  QChartView *pulseView() const { return pulse_.view; }
  QChartView *logicView() const { return logic_.view; }
  QWidget *trendView() const;

  // A rate reading at `seconds` on a steady clock, as the device reports
  // it: the dial shows it, and the strip chart keeps the last 60 s and ends
  // at the newest.
  void addReading(double seconds, int rate);

private:
  struct Chart {
    QChartView *view = nullptr;
    QLineSeries *series = nullptr;
    QValueAxis *xAxis = nullptr;
  };
  // The three columns, left to right (bare_columns.cpp builds the first two).
  QLayout *settingsColumn();
  QLayout *linkColumn();
  QLayout *plotColumn();
  Chart makeChart(const QString &title, double yMin, double yMax, int yTicks);
  // Both traces and both time axes for `rate` revolutions per minute.
  void follow(int rate);

  QSpinBox *rate_ = nullptr;
  Dial *dial_ = nullptr;
  Strip *strip_ = nullptr;
  QPushButton *clean_ = nullptr;
  QPlainTextEdit *notes_ = nullptr;
  Chart pulse_;
  Chart logic_;
};

} // namespace bare
