// A fixed-rate download from the command line, whole process: nuvaroctl
// started, the download made against the device model on a pseudo-terminal
// (what nuvaro-devsim runs, here on a thread of this program), the process
// ended. Prints the median wall time against the protocol's floor: what its
// waits fix (tests/expected_download.h), plus the time its frames out and the
// replies back take at 38400 baud, which a pseudo-terminal does not spend.
// Four downloads:
//   - every command acknowledged at once: each check found one acceptance,
//     so the line's account vouches for the group at once; the floor is the
//     download's own;
//   - the same through rfc2217:// on loopback, to ser2net serving another
//     pseudo-terminal (tests/ser2net_server.h), its runs taking turns with
//     the local ones: the network's connection, Telnet's negotiation and the
//     server's relay are all the difference;
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
#include "tests/ser2net_server.h"

namespace {

// Where a measured download goes: the device model on a pseudo-terminal of
// its own, opened as a local port or through ser2net.
struct Target {
  Target(const char *name, std::shared_ptr<sim::DeviceModel> model, bool network)
      : name(name), device(std::move(model)), network(network) {}
  bool Start() {
    std::string error;
    if (!device.Start(&error) || (network && !server.Start(device.SlavePath(), &error))) {
      std::fprintf(stderr, "bench_cli: %s: %s\n", name, error.c_str());
      return false;
    }
    port = network ? server.Rfc2217Url() : device.SlavePath();
    return true;
  }
  const char *name;
  sim::PtyDevice device;
  bool network;
  Ser2netServer server;
  std::string port;
  std::vector<double> wall, cpu;
};

// Runs nuvaroctl `runs` times against each target in turn, expecting
// `status`; prints each one's figures against `waitsS` plus `lineS`. false
// when a run ended otherwise.
bool Measure(std::vector<std::unique_ptr<Target>> targets, const SettingsRecord &s, int runs,
             int status, double waitsS, double lineS) {
  for (const auto &t : targets)
    if (!t->Start())
      return false;
  for (int i = 0; i < runs; ++i) {
    for (const auto &t : targets) {
      std::vector<std::string> args = {NUVAROCTL_EXE, "--port", t->port};
      for (const std::string &a : DownloadArguments(s))
        args.push_back(a);
      const ChildRun run = RunChild(args, false);
      if (run.status != status) {
        std::fprintf(stderr, "bench_cli: %s: nuvaroctl ended with status %d, not %d\n", t->name,
                     run.status, status);
        return false;
      }
      t->wall.push_back(run.wallMs / 1e3);
      t->cpu.push_back(run.cpuMs);
    }
  }
  for (const auto &t : targets) {
    const double median = Median(t->wall);
    std::printf("# nuvaroctl download fixed, %s: process start to exit, %d runs over %s\n", t->name,
                runs, t->network ? "rfc2217:// to ser2net on loopback" : "a pseudo-terminal");
    std::printf("wall median %.1f ms (min %.1f, max %.1f), cpu median %.1f ms\n", median * 1e3,
                *std::min_element(t->wall.begin(), t->wall.end()) * 1e3,
                *std::max_element(t->wall.begin(), t->wall.end()) * 1e3, Median(t->cpu));
    std::printf("floor %.1f ms (waits %.0f ms + line %.1f ms at 38400 baud): ratio %.3f "
                "(goal <= 1.05); against the waits alone: %.3f\n",
                (waitsS + lineS) * 1e3, waitsS * 1e3, lineS * 1e3, median / (waitsS + lineS),
                median / waitsS);
  }
  return true;
}

std::vector<std::unique_ptr<Target>> One(const char *name,
                                         std::shared_ptr<sim::DeviceModel> model) {
  std::vector<std::unique_ptr<Target>> targets;
  targets.push_back(std::make_unique<Target>(name, std::move(model), false));
  return targets;
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

  // Every frame out and every acknowledgement back, locally and through
  // the network, in turns.
  std::vector<std::unique_ptr<Target>> sideBySide =
      One("every command acknowledged", std::make_shared<sim::DeviceModel>(3000));
  sideBySide.push_back(std::make_unique<Target>("every command acknowledged, rfc2217://",
                                                std::make_shared<sim::DeviceModel>(3000), true));
  bool ok =
      Measure(std::move(sideBySide), s, runs, 0, download.floor, AcknowledgedLineSeconds(download));

  // Each command refused at its first try, taken at its second: every frame
  // and every reply twice, then the look.
  auto twice = std::make_shared<sim::DeviceModel>(3000);
  sim::DeviceKnobs knobs;
  knobs.ackFrom = 2;
  twice->SetKnobs(knobs);
  ok = ok && Measure(One("each command refused once, then the look", twice), s, runs, 0,
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
  ok = ok && Measure(One("the angle never answered", silentAngle), s, runs, 1,
                     download.floor + (kTries - 1) * kCheckWait,
                     LineSeconds(download.frames.size() + (kTries - 1) * angleFrame +
                                 (commands - 1) * reply));
  double load[1] = {0.0};
  if (getloadavg(load, 1) == 1)
    std::printf("# load average over the last minute: %.2f\n", load[0]);
  return ok ? 0 : 1;
}
