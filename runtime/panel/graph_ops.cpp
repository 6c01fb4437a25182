// Plotting sampled traces on graph controls.
#include "runtime/controls/graph.h"
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

namespace {

Graph *GraphControl(int panel, int control, int *error) {
  const rt::ControlEntry *c = rt::FindControl(panel, control, error);
  if (!c)
    return nullptr;
  if (c->kind != rt::ControlKind::Graph) {
    *error = UIE_BAD_ATTRIBUTE;
    return nullptr;
  }
  return static_cast<Graph *>(c->widget.data());
}

} // namespace

int DeleteGraphPlot(int panel, int graph, int plotHandle, int) {
  int error = 0;
  Graph *g = GraphControl(panel, graph, &error);
  if (!g)
    return error;
  if (plotHandle == VAL_ALL_OBJECTS) {
    g->deleteAllPlots();
    return 0;
  }
  return g->deletePlot(plotHandle) ? 0 : UIE_BAD_VALUE;
}

// Only doubles (VAL_DOUBLE) are plotted, always as a thin solid line through
// every sample; the styles and the point frequency are ignored.
int PlotY(int panel, int graph, const void *samples, int count, int dataType, int /*plotStyle*/,
          int /*pointStyle*/, int /*lineStyle*/, int /*pointFrequency*/, int color) {
  int error = 0;
  Graph *g = GraphControl(panel, graph, &error);
  if (!g)
    return error;
  if (!samples || count <= 0 || dataType != VAL_DOUBLE || color < 0 || color > 0xFFFFFF)
    return UIE_BAD_VALUE;
  const QColor lineColor = QColor::fromRgb(QRgb(0xFF000000u | unsigned(color)));
  return g->plot(static_cast<const double *>(samples), count, lineColor);
}
