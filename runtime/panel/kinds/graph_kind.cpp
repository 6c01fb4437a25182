// A graph (Graph): plots of sampled traces against sample index times its x
// gain. It sends nothing and has no value.
#include <QAccessibleWidget>
#include <QColor>

#include "runtime/controls/graph.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

// A chart and a leaf (the chart view inside and its scroll bars mean nothing
// to a listener): its summary tells what it shows, and its title names it
// when it has no accessible name.
class AccessibleGraph : public QAccessibleWidget {
public:
  explicit AccessibleGraph(Graph *graph) : QAccessibleWidget(graph, QAccessible::Chart) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Description)
      return graph()->accessibleSummary();
    QString s = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && s.isEmpty())
      s = graph()->title();
    return s;
  }

  int childCount() const override { return 0; }
  QAccessibleInterface *child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface *) const override { return -1; }
  QAccessibleInterface *childAt(int, int) const override { return nullptr; }

private:
  Graph *graph() const { return static_cast<Graph *>(widget()); }
};

class Chart final : public NoText<NoValue<SendsNothing<KindFor<Graph>>>> {
public:
  QWidget *create(QWidget *parent) const override { return new Graph(parent); }

  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new AccessibleGraph(&Of(widget));
  }
  bool isPress() const override { return false; }

  bool takes(int attribute) const override { return attribute == ATTR_XAXIS_GAIN; }
  int setAttribute(QWidget *widget, int, double gain) const override {
    return Of(widget).setXGain(gain) ? 0 : UIE_BAD_VALUE;
  }

  int deletePlots(QWidget *widget, int plot) const override {
    Graph &graph = Of(widget);
    if (plot == VAL_ALL_OBJECTS) {
      graph.deleteAllPlots();
      return 0;
    }
    return graph.deletePlot(plot) ? 0 : UIE_BAD_VALUE;
  }
  int plot(QWidget *widget, const double *samples, int count, int color) const override {
    if (!samples || count <= 0 || color < 0 || color > 0xFFFFFF)
      return UIE_BAD_VALUE;
    return Of(widget).plot(samples, count, QColor::fromRgb(QRgb(0xFF000000u | unsigned(color))));
  }
};

} // namespace

const ControlKind &GraphKind() {
  static const Chart kind;
  return kind;
}

} // namespace rt
