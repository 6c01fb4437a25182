// nuvaro-devsim: the signal generator simulated on a pseudo-terminal.
//
// Prints the terminal's path on the first line of stdout, then answers as the
// device until a signal stops it (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1,
// SIGUSR2 or SIGALRM). Every frame received is logged to
// stderr with the local time of day.

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/time_of_day.h"
#include "sim/device_model.h"
#include "sim/devsim_options.h"
#include "sim/frame_log.h"
#include "sim/pty_device.h"

#ifndef _WIN32
#include <csignal>
#include <pthread.h>
#endif

int main(int argc, char **argv) {
  const std::string program = argc > 0 ? argv[0] : "nuvaro-devsim";
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::string error;
  const std::optional<sim::DevsimOptions> options = sim::ParseDevsimOptions(args, error);
  if (!options) {
    std::cerr << program << ": " << error << "\n"
              << "Try '" << program << " --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << sim::DevsimUsage(program);
    return 0;
  }

#ifdef _WIN32
  std::cerr << program << ": pseudo-terminals are not available on this system\n";
  return 1;
#else
  // Block the stop signals before any thread starts, so that every thread
  // inherits the mask and only sigwait below sees them: Ctrl+C, kill, Ctrl+\,
  // the terminal it was started from closing, and the other signals that end
  // a program by default. One it was started ignoring (nohup) stays ignored.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  for (int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM}) {
    struct sigaction old {};
    if (sigaction(stop, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
      sigaddset(&stopSignals, stop);
  }
  // A reader of its log that went away costs the log, not the device.
  signal(SIGPIPE, SIG_IGN);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  auto model = std::make_shared<sim::DeviceModel>(options->startRate, options->knobs);
  sim::PtyDevice device(model);
  if (!options->quiet) {
    device.SetFrameLog([](const sim::FrameEvent &event) {
      const std::string line =
          rt::TimeOfDayText(rt::WallClockMs()) + " " + sim::DescribeFrameEvent(event) + "\n";
      std::fputs(line.c_str(), stderr);
    });
  }
  if (!device.Start(&error)) {
    std::cerr << program << ": cannot open a pseudo-terminal: " << error << "\n";
    return 1;
  }
  std::cout << device.SlavePath() << std::endl;

  int received = 0;
  sigwait(&stopSignals, &received);
  device.Stop();
  return 0;
#endif
}
