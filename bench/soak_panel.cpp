// Soak run: the real panel (offscreen) against nuvaro-devsim on a real
// pseudo-terminal, for many timer ticks and downloads, watching resident
// memory, CPU time and open file descriptors.
//
// Not a Google Benchmark: it runs once, prints a table and a verdict, and
// exits 0 when memory stayed flat after warm-up, the descriptor count stayed
// constant and the link behaved, 1 otherwise (2 when it could not start). See
// docs/soak.md.
//
//   build/bin/soak_panel [--ticks N] [--downloads N] [--every N] [--delay-ms N]
//                        [--devsim PATH] [--devsim-arg ARG ...]
//
// POSIX only (it reads /proc and needs a pseudo-terminal).

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/control_table.h"
#include "app/lifecycle.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "runtime/controls/log_view.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/runtime.h"
#include "runtime/panel/panel_access.h"

namespace {

struct Options {
  // Long enough for the link view's history to fill (about 420 downloads)
  // and stay full for a while.
  int ticks = 30000;
  int downloads = 600;
  int every = 1500; // ticks between samples
  int delayMs = 2;  // real time between ticks, so that the device answers
  std::string devsim;
  QStringList devsimArgs; // more of the simulator's options: its faults
};

struct Sample {
  int tick;
  int downloads;
  int downloadsOk;
  int readings;
  long rssKb;
  double cpuSeconds;
  int fds;
  double wallSeconds;
  int logRows; // rows the link view keeps
};

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int OpenDescriptors() {
  std::error_code error;
  std::filesystem::directory_iterator fds("/proc/self/fd", error);
  if (error)
    return -1;
  // The iterator's own descriptor is among them, the same in every sample.
  return static_cast<int>(std::distance(fds, std::filesystem::directory_iterator()));
}

bool ParseOptions(int argc, char **argv, Options &o) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h")
      return false;
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s: %s needs a value\n", argv[0], name.c_str());
      return false;
    }
    const std::string value = argv[++i];
    if (name == "--devsim") {
      o.devsim = value;
      continue;
    }
    if (name == "--devsim-arg") {
      o.devsimArgs << QString::fromStdString(value);
      continue;
    }
    char *end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (*end != '\0' || n < 0 || n > 100000000) {
      std::fprintf(stderr, "%s: %s: not a count: %s\n", argv[0], name.c_str(), value.c_str());
      return false;
    }
    if (name == "--ticks")
      o.ticks = int(n);
    else if (name == "--downloads")
      o.downloads = int(n);
    else if (name == "--every")
      o.every = int(n);
    else if (name == "--delay-ms")
      o.delayMs = int(n);
    else {
      std::fprintf(stderr, "%s: unknown option %s\n", argv[0], name.c_str());
      return false;
    }
  }
  if (o.ticks < 10 || o.every < 1) {
    std::fprintf(stderr, "%s: --ticks must be 10 or more and --every 1 or more\n", argv[0]);
    return false;
  }
  return true;
}

void Usage(const char *program) {
  std::fprintf(stderr,
               "usage: %s [--ticks N] [--downloads N] [--every N] [--delay-ms N] [--devsim PATH]\n"
               "          [--devsim-arg ARG ...]\n"
               "  --ticks N      timer ticks to dispatch (30000)\n"
               "  --downloads N  downloads spread evenly over the ticks (600)\n"
               "  --every N      ticks between samples (1500)\n"
               "  --delay-ms N   real milliseconds between ticks (2)\n"
               "  --devsim PATH  the simulator (default: nuvaro-devsim beside this program)\n"
               "  --devsim-arg ARG  one more option for the simulator (its faults), again\n"
               "                 for each\n",
               program);
}

// Edits a few parameters through their callbacks (each redraws the preview)
// and downloads; true when the device acknowledged everything.
bool EditAndDownload(int n) {
  const int mode = n % 5 == 4 ? 0 : 1; // every fifth download in sweep mode
  SetCtrlVal(panelHandle, CTL_WORKMODE, mode);
  rt::DispatchControlEvent(panelHandle, CTL_WORKMODE, EVENT_COMMIT);
  SetCtrlVal(panelHandle, CTL_RATE, 1000 + 37 * (n % 100));
  rt::DispatchControlEvent(panelHandle, CTL_RATE, EVENT_VAL_CHANGED);
  SetCtrlVal(panelHandle, CTL_ANGLE, n % 361);
  rt::DispatchControlEvent(panelHandle, CTL_ANGLE, EVENT_COMMIT);
  SetCtrlVal(panelHandle, CTL_WIDTH, 50 + (n * 13) % 2000);
  rt::DispatchControlEvent(panelHandle, CTL_WIDTH, EVENT_COMMIT);
  SetCtrlVal(panelHandle, CTL_COMM_LED, 0);
  rt::DispatchControlEvent(panelHandle, CTL_SEND, EVENT_COMMIT);
  int lit = 0;
  GetCtrlVal(panelHandle, CTL_COMM_LED, &lit);
  return lit == 1;
}

// Rows the link view keeps, once what waits for its next refresh is in.
int LinkViewRows() {
  auto *view = qobject_cast<LogView *>(rt::ControlWidget(panelHandle, CTL_LINK_VIEW));
  if (!view)
    return -1;
  view->refreshNow();
  return view->model()->rowCount();
}

} // namespace

int main(int argc, char **argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage(argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) {
    std::fprintf(stderr, "cannot start the run-time\n");
    return 2;
  }

  // The simulator, as a separate process on its own pseudo-terminal.
  const QString devsim =
      options.devsim.empty()
          ? QDir(QCoreApplication::applicationDirPath()).filePath("nuvaro-devsim")
          : QString::fromStdString(options.devsim);
  if (!QFileInfo(devsim).isExecutable()) {
    std::fprintf(stderr, "no simulator at %s (build nuvaro-devsim, or pass --devsim)\n",
                 devsim.toLocal8Bit().constData());
    return 2;
  }
  QProcess simulator;
  simulator.setStandardErrorFile(QProcess::nullDevice());
  simulator.start(devsim, QStringList{QStringLiteral("--rate"), QStringLiteral("3000"),
                                      QStringLiteral("--quiet")} +
                              options.devsimArgs);
  QByteArray first;
  for (int waited = 0; !simulator.canReadLine() && waited < 50; ++waited)
    simulator.waitForReadyRead(100);
  first = simulator.readLine().trimmed();
  if (!first.startsWith("/dev/")) {
    std::fprintf(stderr, "the simulator printed no terminal path\n");
    simulator.kill();
    simulator.waitForFinished();
    return 2;
  }
  const std::string ptyPath = first.toStdString();

  int popups = 0;
  rt::SetPopupHandler([&popups](const std::string &, const std::string &text) {
    ++popups;
    std::fprintf(stderr, "popup: %s\n", text.c_str());
  });
  RegisterAppControls();
  panelHandle = LoadPanel(0, "nuvaro.uir", MainPanel);
  if (panelHandle < 0) {
    std::fprintf(stderr, "cannot load nuvaro.uir beside the program\n");
    simulator.terminate();
    simulator.waitForFinished();
    return 2;
  }
  DisplayPanel(panelHandle);
  init();
  const int port = rt::AddTypedPortChoice(ptyPath);
  SetCtrlVal(panelHandle, CTL_PORT, port);
  rt::DispatchControlEvent(panelHandle, CTL_PORT, EVENT_VAL_CHANGED);

  std::printf("soak: %d ticks, %d downloads, %d ms between ticks, simulator on %s\n", options.ticks,
              options.downloads, options.delayMs, ptyPath.c_str());
  std::printf("%7s %6s %6s %8s %9s %8s %5s %8s %8s\n", "tick", "dl", "dl ok", "readings", "RSS kB",
              "CPU s", "fds", "wall s", "log rows");
  std::fflush(stdout);

  const auto start = std::chrono::steady_clock::now();
  const int downloadEvery =
      options.downloads > 0 ? std::max(1, options.ticks / options.downloads) : 0;
  std::vector<Sample> samples;
  Sample s{0, 0, 0, 0, 0, 0.0, 0, 0.0, 0};
  for (int tick = 1; tick <= options.ticks; ++tick) {
    // The first download, at the first tick, opens the port.
    if (downloadEvery && (tick - 1) % downloadEvery == 0 && s.downloads < options.downloads) {
      s.downloadsOk += EditAndDownload(s.downloads) ? 1 : 0;
      ++s.downloads;
    }
    SetCtrlVal(panelHandle, CTL_RATE_METER, -1);
    rt::DispatchControlEvent(panelHandle, CTL_TIMER, EVENT_TIMER_TICK);
    int meter = -1;
    GetCtrlVal(panelHandle, CTL_RATE_METER, &meter);
    s.readings += meter != -1 ? 1 : 0;
    QCoreApplication::processEvents(); // paint, as the event loop would
    std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMs));

    if (tick % options.every == 0 || tick == options.ticks) {
      s.tick = tick;
      s.rssKb = ResidentKb();
      s.cpuSeconds = CpuSeconds();
      s.fds = OpenDescriptors();
      s.wallSeconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      s.logRows = LinkViewRows();
      samples.push_back(s);
      std::printf("%7d %6d %6d %8d %9ld %8.2f %5d %8.1f %8d\n", s.tick, s.downloads, s.downloadsOk,
                  s.readings, s.rssKb, s.cpuSeconds, s.fds, s.wallSeconds, s.logRows);
      std::fflush(stdout);
    }
  }

  DiscardPanel(panelHandle);
  simulator.terminate();
  simulator.waitForFinished(5000);

  // Warm-up is the first tenth of the run, and lasts until the link view's
  // history is full: the view keeps its last rows, which take memory until
  // they reach their bound. From the first sample after both to the last,
  // memory must grow by less than 1 MB and the descriptor count must not
  // change. A run too short to fill the history is judged from the tenth on,
  // its growth counting the history's.
  const Sample *warm = nullptr;
  for (const Sample &x : samples)
    if (!warm && x.tick >= options.ticks / 10 && x.logRows >= LogModel::kMaxRows)
      warm = &x;
  const bool historyFull = warm != nullptr;
  for (const Sample &x : samples)
    if (!warm && x.tick >= options.ticks / 10)
      warm = &x;
  const Sample &last = samples.back();
  long memoryGrowth = last.rssKb - warm->rssKb;
  int fdLow = warm->fds, fdHigh = warm->fds;
  for (const Sample *x = warm; x <= &last; ++x) {
    fdLow = std::min(fdLow, x->fds);
    fdHigh = std::max(fdHigh, x->fds);
  }
  const double cpuPerThousand =
      (last.cpuSeconds - warm->cpuSeconds) * 1000.0 / std::max(1, last.tick - warm->tick);
  const bool memoryFlat = memoryGrowth < 1024;
  const bool fdsConstant = fdLow == fdHigh;
  // Without a download the port is never opened and nothing is read.
  const bool linkHealthy =
      s.downloadsOk == s.downloads && popups == 0 && (s.readings > 0 || options.downloads == 0);

  std::printf("\nmemory: %ld kB at tick %d, %ld kB at tick %d: growth %ld kB (limit 1024): %s\n",
              warm->rssKb, warm->tick, last.rssKb, last.tick, memoryGrowth,
              memoryFlat ? "flat" : "GROWING");
  if (!historyFull)
    std::printf("  (the link view's history was still filling: %d of %d rows; its growth is "
                "in the figure)\n",
                last.logRows, LogModel::kMaxRows);
  std::printf("descriptors: %d to %d from tick %d on: %s\n", fdLow, fdHigh, warm->tick,
              fdsConstant ? "constant" : "CHANGING");
  std::printf("CPU: %.2f s in all, %.3f s per 1000 ticks after warm-up (ticks, downloads and "
              "painting), wall %.1f s\n",
              last.cpuSeconds, cpuPerThousand, last.wallSeconds);
  std::printf("link: %d of %d downloads acknowledged, %d readings in %d ticks, %d popups\n",
              s.downloadsOk, s.downloads, s.readings, options.ticks, popups);
  // The verdict covers all three: a run whose link misbehaved did not do the
  // work whose memory and descriptors it measured.
  const bool pass = memoryFlat && fdsConstant && linkHealthy;
  std::string why;
  for (const auto &[ok, what] :
       {std::pair{memoryFlat, "memory growing"}, std::pair{fdsConstant, "descriptors changing"},
        std::pair{linkHealthy, "link misbehaved"}})
    if (!ok)
      why += (why.empty() ? " (" : ", ") + std::string(what);
  std::printf("verdict: %s%s\n", pass ? "PASS" : "FAIL", why.empty() ? "" : (why + ")").c_str());
  return pass ? 0 : 1;
}
