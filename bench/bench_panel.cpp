// Costs on the real panel, offscreen. The preview's (plotwave, and a rate
// change against the bare Qt baseline) are in panel_redraw.cpp. Here, over a
// pseudo-terminal against the device model: a download, the CPU used while
// idle with the port open and the timer ticking (the download and the idle
// CPU with the link view closed and open: it then draws its rows, and the
// rate trend its readings), the CPU after the device is unplugged, and how
// long a click waits while the peer does not read.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QTimer>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "app/control_table.h"
#include "app/lifecycle.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "bench/panel_bench.h"
#include "link/frame.h"
#include "link/port.h"
#include "runtime/core/events.h"
#include "runtime/core/panel_ops.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "runtime/panel/panel_access.h"
#include "sim/pty_device.h"
#include "sim/raw_pty.h"
#include "tests/expected_download.h"

bool LoadMainPanel() {
  if (panelHandle > 0)
    return true;
  RegisterAppControls();
  rt::SetPopupHandler([](const std::string &, const std::string &) {});
  panelHandle = LoadPanel(0, "nuvaro.uir", MainPanel);
  if (panelHandle < 0)
    return false;
  DisplayPanel(panelHandle);
  init();
  return true;
}

namespace {

// Shows or hides the link view, as its button does.
void ShowLinkViewPane(bool shown) {
  SetCtrlAttribute(panelHandle, CTL_LINK_VIEW, ATTR_VISIBLE, shown ? 1 : 0);
}

// Runs the event loop for `ms` milliseconds: the view's refresh comes due.
void RunEventLoopFor(int ms) {
  QTimer::singleShot(ms, [] { QuitUserInterface(0); });
  RunUserInterface();
}

// Opens the panel's port on a pseudo-terminal served by the device model.
struct PtyBench {
  std::shared_ptr<sim::DeviceModel> model = std::make_shared<sim::DeviceModel>(3000);
  sim::PtyDevice pty{model};
  bool Start() {
    if (!LoadMainPanel() || !pty.Start())
      return false;
    const int port = rt::AddTypedPortChoice(pty.SlavePath());
    if (port <= 0 || SetCtrlVal(panelHandle, CTL_PORT, port) != 0)
      return false;
    slectportchanged = 1;
    return true;
  }
  ~PtyBench() {
    rt::CloseAllPorts();
    ShowLinkViewPane(false);
  }
};

void BM_DownloadOverPty(benchmark::State &state) {
  PtyBench bench;
  if (!bench.Start()) {
    state.SkipWithError("pseudo-terminal unavailable");
    return;
  }
  const int workMode = static_cast<int>(state.range(0));
  const bool viewShown = state.range(1) != 0;
  SetCtrlVal(panelHandle, CTL_WORKMODE, workMode);
  rt::DispatchControlEvent(panelHandle, CTL_WORKMODE, 1);
  ShowLinkViewPane(viewShown);
  rt::DispatchControlEvent(panelHandle, CTL_SEND, 1); // opens the port
  int good = 0;
  std::vector<double> downloads;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    rt::DispatchControlEvent(panelHandle, CTL_SEND, 1);
    downloads.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    int led = 0;
    GetCtrlVal(panelHandle, CTL_COMM_LED, &led);
    good += led;
    // The rows the download gave are drawn once the event loop runs.
    state.PauseTiming();
    RunEventLoopFor(2 * 100);
    state.ResumeTiming();
  }
  // The waits the download makes, the least it can take.
  const double floor = Expected(Settings).floor;
  state.counters["acknowledged"] = good;
  // The median: a download that another process kept from waking on time
  // says nothing about the program.
  std::sort(downloads.begin(), downloads.end());
  const double median = downloads.empty() ? 0.0 : downloads[downloads.size() / 2];
  state.counters["median_over_floor_percent"] = 100.0 * (median - floor) / floor;
  char waits[48];
  std::snprintf(waits, sizeof waits, ", waits fix %.2f s", floor);
  state.SetLabel(std::string(workMode ? "fixed rate" : "sweep") + waits +
                 (viewShown ? ", link view open" : ", link view closed"));
}
BENCHMARK(BM_DownloadOverPty)
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Iterations(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleWithPortOpen(benchmark::State &state) {
  PtyBench bench;
  if (!bench.Start()) {
    state.SkipWithError("pseudo-terminal unavailable");
    return;
  }
  const bool viewShown = state.range(1) != 0;
  ShowLinkViewPane(viewShown);
  rt::DispatchControlEvent(panelHandle, CTL_PORT_LED, 3);
  const int seconds = static_cast<int>(state.range(0));
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double cpu0 = CpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    QTimer::singleShot(seconds * 1000, [] { QuitUserInterface(0); });
    RunUserInterface();
    cpu += CpuSeconds() - cpu0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  }
  int meter = 0;
  GetCtrlVal(panelHandle, CTL_RATE_METER, &meter);
  // The process's CPU includes the device model's service thread.
  state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
  state.counters["meter"] = meter;
  state.SetLabel(viewShown ? "link view open" : "link view closed");
}
BENCHMARK(BM_IdleWithPortOpen)
    ->Args({10, 0})
    ->Args({10, 1})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Runs the panel's event loop, timer ticking, for `seconds`; returns the
// process's CPU time over that span as a percentage of one core.
double CpuPercentWhileRunning(double seconds) {
  const double cpu0 = CpuSeconds();
  const auto wall0 = std::chrono::steady_clock::now();
  QTimer::singleShot(static_cast<int>(seconds * 1000), [] { QuitUserInterface(0); });
  RunUserInterface();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  return 100.0 * (CpuSeconds() - cpu0) / wall;
}

// The device on the open port is unplugged (its pseudo-terminal hangs up);
// the operator picks the built-in device and downloads to it, and the panel
// then runs with its timer polling that device. The lost port must cost
// nothing: before it was closed, the event loop woke on it without end.
// 10 s by default, enough to show a spin many times over; the figure over
// 30 s: NUVARO_UNPLUG_SECONDS=30.
void BM_CpuAfterUnplug(benchmark::State &state) {
  PtyBench bench;
  if (!bench.Start()) {
    state.SkipWithError("pseudo-terminal unavailable");
    return;
  }
  const char *env = std::getenv("NUVARO_UNPLUG_SECONDS");
  const double seconds = env && std::atof(env) > 0 ? std::atof(env) : 10.0;
  double cpu = 0.0;
  int unpluggedOpen = 0, comm = 0;
  for (auto _ : state) {
    rt::DispatchControlEvent(panelHandle, CTL_PORT_LED, EVENT_LEFT_CLICK); // opens the terminal
    const int unplugged = portNumber;
    bench.pty.Stop();
    SetCtrlVal(panelHandle, CTL_PORT, DEMO_DEVICE_PORT);
    rt::DispatchControlEvent(panelHandle, CTL_PORT, EVENT_VAL_CHANGED);
    rt::DispatchControlEvent(panelHandle, CTL_SEND, EVENT_COMMIT);
    GetCtrlVal(panelHandle, CTL_COMM_LED, &comm);
    cpu = CpuPercentWhileRunning(seconds);
    unpluggedOpen = rt::IsPortOpen(unplugged) ? 1 : 0;
  }
  state.counters["cpu_percent_of_one_core"] = cpu;
  state.counters["seconds"] = seconds;
  state.counters["unplugged_port_open"] = unpluggedOpen;
  state.counters["download_acknowledged"] = comm;
}
BENCHMARK(BM_CpuAfterUnplug)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// A peer that never reads: its side of the line stays full (a second writer
// tops it up all the time), and every rate poll meets a full buffer. A thread
// posts a "click" to the event loop every 37 ms; the figure is how long the
// longest one waited before it ran. A click is handled the same way.
void BM_ClickWithNonReadingPeer(benchmark::State &state) {
  if (!LoadMainPanel()) {
    state.SkipWithError("panel file not found");
    return;
  }
  const sim::RawPty pty = sim::OpenRawPty();
  if (pty.master < 0) {
    state.SkipWithError("pseudo-terminal unavailable");
    return;
  }
  const int master = pty.master;
  const std::string &slave = pty.slavePath;
  const int filler = open(slave.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY);
  const int port = rt::AddTypedPortChoice(slave);
  SetCtrlVal(panelHandle, CTL_PORT, port);
  slectportchanged = 1;
  rt::DispatchControlEvent(panelHandle, CTL_PORT_LED, EVENT_LEFT_CLICK);

  std::atomic<bool> running{true};
  std::atomic<long long> worstUs{0};
  std::atomic<int> clicks{0};
  std::thread topUp([&] {
    const std::string block(4096, 'x');
    while (running) {
      while (write(filler, block.data(), block.size()) > 0) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  std::thread clicker([&] {
    while (running) {
      const auto posted = std::chrono::steady_clock::now();
      QMetaObject::invokeMethod(
          qApp,
          [posted, &worstUs, &clicks] {
            const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - posted)
                                    .count();
            worstUs = std::max<long long>(worstUs, waited);
            ++clicks;
          },
          Qt::QueuedConnection);
      std::this_thread::sleep_for(std::chrono::milliseconds(37));
    }
  });
  for (auto _ : state)
    CpuPercentWhileRunning(5.0); // ten timer ticks
  running = false;
  topUp.join();
  clicker.join();
  QCoreApplication::processEvents();
  state.counters["worst_click_wait_ms"] = static_cast<double>(worstUs.load()) / 1000.0;
  state.counters["clicks"] = clicks.load();
  state.counters["port_led"] = [] {
    int led = 0;
    GetCtrlVal(panelHandle, CTL_PORT_LED, &led);
    return led;
  }();
  rt::CloseAllPorts();
  close(filler);
  close(master);
}
BENCHMARK(BM_ClickWithNonReadingPeer)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
