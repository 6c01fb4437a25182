// A fixed-rate download from the command line, whole process: nuvaroctl
// started, the download made against the device model on a pseudo-terminal
// (what nuvaro-devsim runs, here on a thread of this program), the process
// ended. Prints the median wall time against the protocol's floor: what its
// waits fix (tests/expected_download.h), plus the time its frames out and the
// replies back take at 38400 baud, which a pseudo-terminal does not spend.
// Three downloads:
//   - every command acknowledged at once: each check found one acceptance,
//     so the line's account vouches for the group at once; the floor is the
//     download's own;
//   - every command refused once, then accepted: the account reads the line
//     0.5 s more after the last command (a look), which finds nothing; the
//     floor is twice the checks plus the whole look;
//   - the angle never answered (its five tries) and the rest acknowledged: the
//     exchange failed, so nothing is looked for; the floor is the download's
//     plus four checks.
// Goal for each: within 1.05 times its floor.
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
#include "bench/fixed_download.h"
#include "sim/device_model.h"
#include "sim/pty_device.h"
#include "tests/cli_arguments.h"
#include "tests/expected_download.h"

namespace {

// Runs nuvaroctl `runs` times against `model`, expecting `status`; prints the
// figures against `waitsS` plus `lineS`. false when a run ended otherwise.
bool Measure(const char *name, const std::shared_ptr<sim::DeviceModel> &model,
             const SettingsRecord &s, int runs, int status, double waitsS, double lineS) {
  sim::PtyDevice device(model);
  std::string error;
  if (!device.Start(&error)) {
    std::fprintf(stderr, "bench_cli: cannot open a pseudo-terminal: %s\n", error.c_str());
    return false;
  }
  std::vector<std::string> args = {NUVAROCTL_EXE, "--port", device.SlavePath()};
  for (const std::string &a : DownloadArguments(s))
    args.push_back(a);
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const ChildRun run = RunChild(args, false);
    if (run.status != status) {
      std::fprintf(stderr, "bench_cli: %s: nuvaroctl ended with status %d, not %d\n", name,
                   run.status, status);
      return false;
    }
    wall.push_back(run.wallMs / 1e3);
    cpu.push_back(run.cpuMs);
  }
  const double median = Median(wall);
  std::printf("# nuvaroctl download fixed, %s: process start to exit, %d runs over a "
              "pseudo-terminal\n",
              name, runs);
  std::printf("wall median %.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n", median * 1e3,
              *std::min_element(wall.begin(), wall.end()) * 1e3,
              *std::max_element(wall.begin(), wall.end()) * 1e3, Median(cpu));
  std::printf("floor %.1f ms (waits %.0f ms + line %.1f ms at 38400 baud): ratio %.3f "
              "(goal <= 1.05); against the waits alone: %.3f\n",
              (waitsS + lineS) * 1e3, waitsS * 1e3, lineS * 1e3, median / (waitsS + lineS),
              median / waitsS);
  return true;
}

} // namespace

int main(int argc, char **argv) {
  int runs = 21;
  if (argc > 2 && std::strcmp(argv[1], "--runs") == 0)
    runs = std::max(1, std::atoi(argv[2]));

  const SettingsRecord s = BenchFixedSettings();
  const ExpectedDownload download = Expected(s);
  const std::size_t reply = Frame("E1").size();
  const std::size_t commands = download.commands.size();

  // Every frame out and every acknowledgement back.
  bool ok = Measure("every command acknowledged", std::make_shared<sim::DeviceModel>(3000), s, runs,
                    0, download.floor, AcknowledgedLineSeconds(download));

  // Each command refused at its first try, taken at its second: every frame
  // and every reply twice, then the look.
  auto twice = std::make_shared<sim::DeviceModel>(3000);
  sim::DeviceKnobs knobs;
  knobs.ackFrom = 2;
  twice->SetKnobs(knobs);
  ok = ok && Measure("each command refused once, then the look", twice, s, runs, 0,
                     download.floor + static_cast<double>(commands) * kCheckWait + kLookWait,
                     2 * AcknowledgedLineSeconds(download));

  // The angle (the second command) sent five times and never answered: four
  // checks more; one reply fewer.
  auto silentAngle = std::make_shared<sim::DeviceModel>(3000);
  knobs = sim::DeviceKnobs{};
  knobs.silent = true;
  knobs.silentPrefix = "T";
  silentAngle->SetKnobs(knobs);
  const std::size_t angleFrame = Frame(download.commands[1]).size();
  ok = ok && Measure("the angle never answered", silentAngle, s, runs, 1,
                     download.floor + (kTries - 1) * kCheckWait,
                     LineSeconds(download.frames.size() + (kTries - 1) * angleFrame +
                                 (commands - 1) * reply));
  double load[1] = {0.0};
  if (getloadavg(load, 1) == 1)
    std::printf("# load average over the last minute: %.2f\n", load[0]);
  return ok ? 0 : 1;
}
