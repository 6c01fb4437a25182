// Plotting sampled traces on graph controls; what a graph does with them is
// its kind's (kinds/graph_kind.cpp).
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

int DeleteGraphPlot(int panel, int graph, int plotHandle, int) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, graph, &error);
  if (!c)
    return error;
  return c->kind->deletePlots(c->widget, plotHandle);
}

// Only doubles (VAL_DOUBLE) are plotted, always as a thin solid line through
// every sample; the styles and the point frequency are ignored.
int PlotY(int panel, int graph, const void *samples, int count, int dataType, int /*plotStyle*/,
          int /*pointStyle*/, int /*lineStyle*/, int /*pointFrequency*/, int color) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, graph, &error);
  if (!c)
    return error;
  const double *doubles = dataType == VAL_DOUBLE ? static_cast<const double *>(samples) : nullptr;
  return c->kind->plot(c->widget, doubles, count, color);
}
