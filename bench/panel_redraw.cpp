// The preview's costs on the real panel, offscreen: plotwave and the chart
// update it posts, and a rate change until both graphs are repainted against
// the bare Qt baseline of bench/bare_panel, in the same process.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QCoreApplication>
#include <QEvent>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "bench/bare_panel/bare_panel.h"
#include "bench/panel_bench.h"
#include "preview/plot.h"
#include "runtime/core/events.h"
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_access.h"

namespace {

void BM_Plotwave(benchmark::State &state) {
  if (!LoadMainPanel()) {
    state.SkipWithError("panel file not found");
    return;
  }
  // Alternate the rate so that every call rescales the axes too. The graphs
  // update their charts from the event loop: the posted events are part of
  // the cost (the paint is not; see RateChangeRedraw).
  int i = 0;
  for (auto _ : state) {
    Settings.rate = (i++ & 1) ? 3000 : 3001;
    plotwave();
    QCoreApplication::sendPostedEvents();
  }
}
BENCHMARK(BM_Plotwave)->Unit(benchmark::kMicrosecond);

// ---- A rate change until both graphs are repainted, against the baseline.

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
  explicit PaintCounter(QWidget *widget) : QObject(widget) { widget->installEventFilter(this); }
  int paints = 0;

protected:
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Paint)
      ++paints;
    return false;
  }
};

// Where a chart is drawn: the viewport of the chart view inside `widget`.
QWidget *ChartViewport(QWidget *widget) {
  auto *view = qobject_cast<QChartView *>(widget);
  if (!view)
    view = widget->findChild<QChartView *>();
  return view ? view->viewport() : nullptr;
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Redraw {
  double wallMs = 0;
  double cpuMs = 0;
};

// Changes the rate with `change`, then runs the event loop until every chart
// in `charts` has been painted (at least once) and nothing is left to do.
Redraw TimeRedraw(const std::function<void()> &change, const std::vector<PaintCounter *> &charts) {
  for (PaintCounter *c : charts)
    c->paints = 0;
  const double cpu0 = ThreadCpuMs();
  const auto wall0 = std::chrono::steady_clock::now();
  change();
  auto painted = [&] {
    return std::all_of(charts.begin(), charts.end(), [](PaintCounter *c) { return c->paints > 0; });
  };
  // Sleeps between events, so the CPU figure is the work alone; a timer
  // ends the wait for a repaint that never comes.
  QTimer timeout;
  timeout.setSingleShot(true);
  timeout.start(5000);
  while (!painted() && timeout.isActive())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  Redraw r;
  if (!painted())
    return r; // never repainted: a zero figure shows it
  r.wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall0).count();
  r.cpuMs = ThreadCpuMs() - cpu0;
  return r;
}

// One function for each side (noipa: not inlined, nor folded into one), so
// that callgrind can count each alone:
// --toggle-collect='*RedrawPanel*' or '*RedrawBaseline*' (the changes are
// made by lambdas defined elsewhere: one defined in here would carry the
// name too, and toggling on entering it would leave it out).
[[gnu::noipa]] Redraw RedrawPanel(const std::function<void()> &change,
                                  const std::vector<PaintCounter *> &charts) {
  return TimeRedraw(change, charts);
}

[[gnu::noipa]] Redraw RedrawBaseline(const std::function<void()> &change,
                                     const std::vector<PaintCounter *> &charts) {
  return TimeRedraw(change, charts);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0.0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The rate alternates between two values far enough apart that every change
// moves the time axis as well as the traces. The panel and the baseline take
// turns, so both meet the same load.
void BM_RateChangeRedraw(benchmark::State &state) {
  if (!LoadMainPanel()) {
    state.SkipWithError("panel file not found");
    return;
  }
  bare::BarePanel baseline;
  baseline.show();
  std::vector<PaintCounter *> panelCharts, bareCharts;
  for (int graph : {CTL_PULSE_GRAPH, CTL_LOGIC_GRAPH})
    if (QWidget *viewport = ChartViewport(rt::ControlWidget(panelHandle, graph)))
      panelCharts.push_back(new PaintCounter(viewport));
  for (QChartView *view : {baseline.pulseView(), baseline.logicView()})
    bareCharts.push_back(new PaintCounter(view->viewport()));
  if (panelCharts.size() != 2) {
    state.SkipWithError("the panel's graphs have no chart view");
    return;
  }
  // A blinking text cursor would repaint its box (and the group around it)
  // in whichever turn it falls: noise for both, and more of it under
  // callgrind, which runs everything slower.
  const int flashTime = QApplication::cursorFlashTime();
  QApplication::setCursorFlashTime(0);
  // Both windows painted, nothing left to do, before the first figure.
  const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < settle)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

  const int rounds = static_cast<int>(state.range(0));
  std::vector<double> panelWall, panelCpu, bareWall, bareCpu;
  for (auto _ : state) {
    for (int i = 0; i < rounds; ++i) {
      const int rate = (i & 1) ? 3000 : 2500; // both start at 3000
      const Redraw p = RedrawPanel(
          [rate] {
            SetCtrlVal(panelHandle, CTL_RATE, rate);
            rt::DispatchControlEvent(panelHandle, CTL_RATE, EVENT_VAL_CHANGED);
          },
          panelCharts);
      const Redraw b =
          RedrawBaseline([&baseline, rate] { baseline.rateBox()->setValue(rate); }, bareCharts);
      panelWall.push_back(p.wallMs);
      panelCpu.push_back(p.cpuMs);
      bareWall.push_back(b.wallMs);
      bareCpu.push_back(b.cpuMs);
    }
  }
  QApplication::setCursorFlashTime(flashTime);
  state.counters["nuvaro_ms"] = Median(panelWall);
  state.counters["bare_ms"] = Median(bareWall);
  state.counters["ratio"] = Median(panelWall) / Median(bareWall);
  state.counters["nuvaro_cpu_ms"] = Median(panelCpu);
  state.counters["bare_cpu_ms"] = Median(bareCpu);
  state.counters["cpu_ratio"] = Median(panelCpu) / Median(bareCpu);
  // Timed figures mean little on a busy machine: say how busy it was.
  double load[1] = {0.0};
  if (getloadavg(load, 1) == 1)
    state.counters["load_1min"] = load[0];
  state.SetLabel("medians of " + std::to_string(rounds) +
                 " interleaved rate changes 2500<->3000; ratio = nuvaro / bare wall time; "
                 "goal: ratio <= 1.1");
}
BENCHMARK(BM_RateChangeRedraw)
    ->Arg(41)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
