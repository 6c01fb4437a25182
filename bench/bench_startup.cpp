// Whole-process start-up against the baseline: the CPU time and the peak
// resident memory of a process that starts, paints its window once and quits,
// for the panel and for the bare Qt window of bench/bare_panel, started in
// turns; prints the medians and the ratios.
//   bench_startup [--runs N]   (11 runs of each by default; offscreen unless
//                               QT_QPA_PLATFORM says otherwise)
//   bench_startup --child      the panel's own start-up, as the nuvaro
//                              executable runs it, quitting once painted
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "runtime/core/panel_ops.h"

namespace {

bool childMode = false;

// In the child, the first paint of a window ends the event loop; the program
// then shuts down as it does when the operator quits.
class QuitAfterFirstPaint : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->isWindow()) {
      qApp->removeEventFilter(this);
      QTimer::singleShot(0, [] { QuitUserInterface(0); });
    }
    return false;
  }
};

// Runs as the application object is made, inside the program's own start-up.
void WatchFirstPaint() {
  if (childMode)
    qApp->installEventFilter(new QuitAfterFirstPaint(qApp));
}
Q_COREAPP_STARTUP_FUNCTION(WatchFirstPaint)

struct Run {
  double cpuMs = 0;
  double peakMiB = 0;
  double wallMs = 0;
  int status = -1;
};

Run RunChild(const std::vector<std::string> &args) {
  Run run;
  std::vector<char *> argv;
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    // Qt's warnings about the offscreen platform would drown the figures.
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
    return run;
  run.wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  run.peakMiB = usage.ru_maxrss / 1024.0; // kilobytes on Linux
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
}

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
      const Run run = RunChild(which == 0 ? panel : baseline);
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
