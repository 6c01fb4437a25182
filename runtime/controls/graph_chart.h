// The chart side of a graph (graph.h): its view, which can keep the chart
// from following the view's size until the chart is first needed, and its
// axes, whose ticks fall on round numbers.
#pragma once

#include <QChartView>

class QValueAxis;

namespace rt {

// A chart view that repaints one rectangle per change and whose chart can be
// held at its size. The graph holds it until the chart is first needed: the
// panel is shown before anything is plotted, and laying the chart out for
// its empty axes would be thrown away by the first plot.
class GraphChartView : public QChartView {
public:
  explicit GraphChartView(QChart *chart, QWidget *parent = nullptr);

  // While held, a new size waits; on release the chart takes the size the
  // view has then.
  void holdChartSize() { held_ = true; }
  void releaseChartSize();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  bool held_ = false;
  bool sizeWaiting_ = false;
};

// The range lo..hi with about `ticks` divisions on round numbers (multiples
// of a round interval from 0); fixed ticks when the range is too narrow or
// too wide for that.
void SetTickedRange(QValueAxis *axis, double lo, double hi, int ticks);

// The fixed range lo..hi with evenly spaced ticks on round numbers when it
// allows (-1..6 in steps of 1, -10..10 in steps of 5), else four divisions;
// at most `labels` ticks, each of which is labelled. Where even four
// divisions are too many, fewer round numbers from 0 (-1..6 in steps of 2).
void SetFixedRange(QValueAxis *axis, double lo, double hi, int labels = 11);

// How many labels fit one above the other along `length` pixels of a
// vertical axis: below that, Qt Charts writes each label as "...".
int LabelsThatFit(double length, const QFont &labelsFont);

} // namespace rt
