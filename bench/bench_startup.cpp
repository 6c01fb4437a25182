// Whole-process start-up against the baseline: the CPU time and the peak
// resident memory of a process that starts, paints its window once and quits,
// for the panel and for the bare Qt window of bench/bare_panel, started in
// turns; prints the medians and the ratios.
//   bench_startup [--runs N]   (11 runs of each by default; offscreen unless
//                               QT_QPA_PLATFORM says otherwise)
//   bench_startup --child      the panel's own start-up, as the nuvaro
//                              executable runs it, quitting once painted
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "bench/child_run.h"
#include "bench/quit_after_first_paint.h"
#include "runtime/core/panel_ops.h"

namespace {

bool childMode = false;

// Runs as the application object is made, inside the program's own start-up.
void WatchFirstPaint() {
  if (childMode)
    qApp->installEventFilter(new bench::QuitAfterFirstPaint(qApp));
}
Q_COREAPP_STARTUP_FUNCTION(WatchFirstPaint)

} // namespace

int main(int argc, char **argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
    childMode = true;
    argv[1] = argv[0];
    return NuvaroMain(argc - 1, argv + 1) == 0 ? 0 : 1;
  }
  int runs = 11;
  if (argc > 2 && std::strcmp(argv[1], "--runs") == 0)
    runs = std::max(1, std::atoi(argv[2]));
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  const std::vector<std::string> panel{"/proc/self/exe", "--child"};
  const std::vector<std::string> baseline{BARE_PANEL_EXE, "--once"};
  std::vector<double> cpu[2], peak[2], wall[2];
  for (int i = 0; i < runs; ++i) {
    // Alternate which goes first, so neither always meets a warmer cache.
    for (int k = 0; k < 2; ++k) {
      const int which = (i + k) % 2;
      // Qt's warnings about the offscreen platform would drown the figures.
      const ChildRun run = RunChild(which == 0 ? panel : baseline, true);
      if (run.status != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", which == 0 ? "panel" : "baseline",
                     run.status);
        return 1;
      }
      cpu[which].push_back(run.cpuMs);
      peak[which].push_back(run.peakMiB);
      wall[which].push_back(run.wallMs);
    }
  }
  const char *names[2] = {"nuvaro", "bare_panel"};
  std::printf("# start -> window painted -> quit, whole process, median of %d runs each\n", runs);
  std::printf("%-12s %10s %12s %10s\n", "", "cpu_ms", "peak_rss_mib", "wall_ms");
  for (int w = 0; w < 2; ++w)
    std::printf("%-12s %10.1f %12.1f %10.1f\n", names[w], Median(cpu[w]), Median(peak[w]),
                Median(wall[w]));
  std::printf("%-12s %10.2f %12.2f %10.2f   (goal: cpu <= 1.30, peak rss <= 1.10)\n", "ratio",
              Median(cpu[0]) / Median(cpu[1]), Median(peak[0]) / Median(peak[1]),
              Median(wall[0]) / Median(wall[1]));
  // Timed figures mean little on a busy machine: say how busy it was.
  double load[1] = {0.0};
  if (getloadavg(load, 1) == 1)
    std::printf("# load average over the last minute: %.2f\n", load[0]);
  return 0;
}
