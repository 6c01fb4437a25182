// The baseline's stand-ins for the panel's list, port list, graph and timer
// controls: plain Qt widgets that take the panel file's properties and look as
// the panel's do. The painted ones are in bare_painted.h; stand_ins/ maps the
// panel file's class names onto them.
#pragma once

#include <QComboBox>
#include <QList>
#include <QPointF>
#include <QWidget>

class QChartView;
class QLineSeries;
class QValueAxis;

namespace bare {

// A list with room for its longest item in full: some styles draw item text
// a little wider than the combo box measures it.
class Ring : public QComboBox {
public:
  explicit Ring(QWidget *parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
};

// The system's serial ports ("ttyUSB0 — description"), then the built-in
// demo device; the first system port is chosen, else the demo device.
class PortList : public QComboBox {
public:
  static const QString kDemoPort;
  explicit PortList(QWidget *parent = nullptr);
};

// A line chart of one trace in a 2 px margin (the panel's graphs keep it for
// their focus frame), with a time axis whose ticks fall on round numbers and
// a fixed y range.
class Chart : public QWidget {
public:
  explicit Chart(QWidget *parent = nullptr);
  // The titles and the y range from the panel file's properties.
  void takeProperties();
  QChartView *view() const { return view_; }

  // The trace's points, and the time axis from 0 to `span`. The line is
  // emptied before the axis moves, so it is laid out once, with its points.
  void plot(const QList<QPointF> &points, double span);

private:
  QChartView *view_ = nullptr;
  QLineSeries *series_ = nullptr;
  QValueAxis *xAxis_ = nullptr;
  QValueAxis *yAxis_ = nullptr;
};

// A control that shows nothing: the timer, which the baseline has no use for.
class Hidden : public QWidget {
public:
  explicit Hidden(QWidget *parent = nullptr) : QWidget(parent) { hide(); }
};

} // namespace bare
