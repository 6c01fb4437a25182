#include "preview/plot.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "preview/synthesis.h"
#include "runtime/core/runtime.h"

namespace {

void PlotTrace(int graph, const double *samples) {
  PlotY(panelHandle, graph, samples, WAVE_SAMPLES, VAL_DOUBLE, VAL_THIN_LINE, VAL_EMPTY_SQUARE,
        VAL_SOLID, 1, VAL_RED);
}

} // namespace

void plotwave() {
  // One sample lasts 1/1000 of a revolution, in milliseconds. A stopped
  // device (rate 0) has no revolution time: the graphs keep their scale.
  const double gain = (1000.0 * (60.0 / Settings.rate)) / 1000.0;

  DeleteGraphPlot(panelHandle, CTL_PULSE_GRAPH, VAL_ALL_OBJECTS, VAL_IMMEDIATE_DRAW);
  GenerateWave(Settings.rate, Settings.signalMode, Settings.width, Settings.angle);
  PlotTrace(CTL_PULSE_GRAPH, datapoints);
  SetCtrlAttribute(panelHandle, CTL_PULSE_GRAPH, ATTR_XAXIS_GAIN, gain);

  DeleteGraphPlot(panelHandle, CTL_LOGIC_GRAPH, VAL_ALL_OBJECTS, VAL_IMMEDIATE_DRAW);
  GenerateWave1(Settings.signalMode, Settings.angle);
  PlotTrace(CTL_LOGIC_GRAPH, datapoints1);
  SetCtrlAttribute(panelHandle, CTL_LOGIC_GRAPH, ATTR_XAXIS_GAIN, gain);
}
