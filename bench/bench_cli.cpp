// A fixed-rate download from the command line, whole process: nuvaroctl
// started, the download made against the device model on a pseudo-terminal
// (what nuvaro-devsim runs, here on a thread of this program), the process
// ended. Prints the median wall time against the protocol's floor: what its
// waits fix (tests/expected_download.h), plus the time its frames out and the
// acknowledgements back take at 38400 baud, which a pseudo-terminal does not
// spend. Goal: within 1.05 times the floor.
//   bench_cli [--runs N]   (21 runs by default)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/state/settings.h"
#include "bench/child_run.h"
#include "sim/device_model.h"
#include "sim/pty_device.h"
#include "tests/cli_arguments.h"
#include "tests/expected_download.h"

int main(int argc, char **argv) {
  int runs = 21;
  if (argc > 2 && std::strcmp(argv[1], "--runs") == 0)
    runs = std::max(1, std::atoi(argv[2]));

  sim::PtyDevice device(std::make_shared<sim::DeviceModel>(3000));
  std::string error;
  if (!device.Start(&error)) {
    std::fprintf(stderr, "bench_cli: cannot open a pseudo-terminal: %s\n", error.c_str());
    return 1;
  }
  SettingsRecord s{};
  s.workMode = s.signalMode = 1;
  s.rate = 1500, s.angle = 30, s.width = 100;
  std::vector<std::string> args = {NUVAROCTL_EXE, "--port", device.SlavePath()};
  for (const std::string &a : DownloadArguments(s))
    args.push_back(a);
  // The floor: the waits, and every frame out and acknowledgement back at 10
  // bits a byte.
  const ExpectedDownload download = Expected(s);
  const double waitsS = download.floor;
  const double lineS =
      static_cast<double>(download.frames.size() + download.commands.size() * Frame("E1").size()) *
      10 / 38400.0;
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const ChildRun run = RunChild(args, false);
    if (run.status != 0) {
      std::fprintf(stderr, "bench_cli: nuvaroctl failed (status %d)\n", run.status);
      return 1;
    }
    wall.push_back(run.wallMs / 1e3);
    cpu.push_back(run.cpuMs);
  }
  const double median = Median(wall);
  std::printf("# nuvaroctl download fixed, process start to exit, %d runs over a pseudo-terminal\n",
              runs);
  std::printf("wall median %.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n", median * 1e3,
              *std::min_element(wall.begin(), wall.end()) * 1e3,
              *std::max_element(wall.begin(), wall.end()) * 1e3, Median(cpu));
  std::printf("floor %.1f ms (waits %.0f ms + line %.1f ms at 38400 baud): ratio %.3f "
              "(goal <= 1.05); against the waits alone: %.3f\n",
              (waitsS + lineS) * 1e3, waitsS * 1e3, lineS * 1e3, median / (waitsS + lineS),
              median / waitsS);
  double load[1] = {0.0};
  if (getloadavg(load, 1) == 1)
    std::printf("# load average over the last minute: %.2f\n", load[0]);
  return 0;
}
