// A graph of sampled traces. Each plot is one series of samples drawn as a
// line against x = sample index * x gain; the x axis spans the plotted x
// values, the y axis keeps the fixed range `yMin`..`yMax`.
//
// For assistive technology the graph is a chart (runtime/panel/kinds/graph_kind.cpp) whose
// description is its accessibleSummary(): the accessible description followed
// by `xSpanText` with %1 replaced by the x span the plots cover, e.g.
// "...，共 20 ms". A change of that summary is announced. The graph takes the
// focus from the Tab key only, shown by a dashed frame.
//
// Plotting, deleting plots and changing the gain change the graph's model at
// once (handles, counts, the x span and its announcement); the chart itself
// follows once: when control is back in the event loop (ahead of the chart's
// own layout), or sooner when something reads, resizes or paints it. Laying
// out a 1000-point line costs about as much as drawing it, and a callback
// that replots (delete, plot, new gain) would otherwise lay every line out
// several times before the one paint that shows it. Until the chart is first
// brought up to date, read or painted it does not follow the graph's size
// either: a panel is shown before anything is plotted, and a layout for the
// empty axes would be thrown away by the first plot.
#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <vector>

class QChart;
class QLineSeries;
class QValueAxis;
namespace rt {
class GraphChartView;
}

class Graph : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString title READ title WRITE setTitle)
  Q_PROPERTY(QString xAxisTitle READ xAxisTitle WRITE setXAxisTitle)
  Q_PROPERTY(QString yAxisTitle READ yAxisTitle WRITE setYAxisTitle)
  Q_PROPERTY(double yMin READ yMin WRITE setYMin)
  Q_PROPERTY(double yMax READ yMax WRITE setYMax)
  Q_PROPERTY(QString xSpanText READ xSpanText WRITE setXSpanText)

public:
  explicit Graph(QWidget *parent = nullptr);
  ~Graph() override;

  QString title() const;
  void setTitle(const QString &title);
  QString xAxisTitle() const;
  void setXAxisTitle(const QString &title);
  QString yAxisTitle() const;
  void setYAxisTitle(const QString &title);
  double yMin() const { return yMin_; }
  void setYMin(double value);
  double yMax() const { return yMax_; }
  void setYMax(double value);
  QString xSpanText() const { return xSpanText_; }
  void setXSpanText(const QString &text);

  // Plots `count` samples; returns the new plot's handle (> 0).
  int plot(const double *samples, int count, QColor color);
  // False when no plot has that handle.
  bool deletePlot(int handle);
  void deleteAllPlots();

  // False (and the gain unchanged) for a non-finite gain.
  bool setXGain(double gain);
  double xGain() const { return gain_; }

  int plotCount() const { return int(plots_.size()); }
  std::vector<int> plotHandles() const;
  // The points drawn for a plot (empty for an unknown handle). This and the
  // other readers of the chart bring it up to date first.
  QList<QPointF> plotPoints(int handle) const;
  double xAxisMin() const;
  double xAxisMax() const;

  // The accessible description with `xSpanText` appended, %1 being the x
  // distance the plots cover: from the first to the last sample drawn plus
  // one sample's width (1000 samples at a gain of 0.02 cover 20). Like the x
  // axis, the span keeps its last value while nothing is plotted; before the
  // first plot the summary is the description alone.
  QString accessibleSummary() const;

  QChart *chart() const;

  // Brings the chart up to date with the plots and the gain now; a no-op
  // when it is. Runs by itself from the event loop after a change.
  void updateChart();

protected:
  bool event(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;

private:
  struct Plot {
    int handle = 0;
    QLineSeries *series = nullptr;
    std::vector<double> samples;
    bool drawn = false; // at least one point can be drawn
    double xMin = 0.0;  // extent of the points drawn
    double xMax = 0.0;
    bool stale = false; // the series does not show the samples at the gain yet
  };

  // The x extent of `plot` at the current gain; marks it stale.
  void measure(Plot &plot) const;
  // Its points at the current gain, for the series.
  QList<QPointF> points(const Plot &plot) const;
  // The x range the plots need, the span and its announcement.
  void fitXAxis();
  // Asks the event loop for one chart update, however many changes come
  // before it.
  void scheduleChartUpdate();
  void ensureChartUpdated() const { const_cast<Graph *>(this)->updateChart(); }
  void applyYRange();
  // Announces the summary when it differs from the one last announced.
  void announceSummary();

  rt::GraphChartView *view_ = nullptr;
  QChart *chart_ = nullptr;
  QValueAxis *xAxis_ = nullptr;
  QValueAxis *yAxis_ = nullptr;
  std::vector<Plot> plots_;
  std::vector<QLineSeries *> spare_;  // series of deleted plots, kept for the next plot
  std::vector<QLineSeries *> toHide_; // spare series the chart still shows
  bool chartStale_ = false;           // an update of the chart is due
  bool updatePosted_ = false;         // and the event loop has been asked for it
  double axisLo_ = 0.0;               // the x range the chart is to show
  double axisHi_ = 1.0;
  int nextHandle_ = 1;
  double gain_ = 1.0;
  double yMin_ = -10.0;
  double yMax_ = 10.0;
  int yLabels_ = 11; // the most y labels its height shows whole
  double span_ = 0.0;
  bool spanKnown_ = false;
  QString xSpanText_;
  QString announced_;
};
