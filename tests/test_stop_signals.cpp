// A stop signal to the running program releases its port: the program's own
// start-up runs in a child (this test program in a child role), opens a
// pseudo-terminal served by the device model here, and is sent the signal
// while idle, while a failure popup is up or in the middle of a download;
// SIGPIPE, sent first, changes nothing.
// Afterwards the terminal has no exclusive flag, no lock file of the child is
// left, and the child died of the signal it was sent: a stop signal or a
// fault's. Linux: the flag is read
// with TIOCGEXCL.
#ifdef __linux__
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "child_process.h"
#include "link/frame.h"
#include "runtime/core/panel_ops.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/serial_ops.h"
#include "runtime/panel/panel_access.h"
#include "sim/pty_device.h"

// The child role: NuvaroMain, with the path chosen once the panel is up and
// the port opened by a click on the port LED ("open"), or by a download that
// the device refuses, whose popup then stays up ("popup"), or acknowledges
// slowly ("download", 2.6 s). Says "open" or "popup" when it is so.
int StopSignalChild(int argc, char **argv) {
  if (argc < 4 || InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  const std::string path = argv[2], state = argv[3];
  std::setvbuf(stdout, nullptr, _IONBF, 0); // each line reaches the test at once
  QTimer::singleShot(0, [path, state] {
    SetCtrlVal(panelHandle, CTL_PORT, rt::AddTypedPortChoice(path));
    rt::DispatchControlEvent(panelHandle, CTL_PORT, EVENT_VAL_CHANGED);
    if (state == "open") {
      rt::DispatchControlEvent(panelHandle, CTL_PORT_LED, EVENT_LEFT_CLICK);
      std::puts(rt::IsPortOpen(portNumber) ? "open" : "not open");
      return;
    }
    auto *watch = new QTimer(qApp);
    QObject::connect(watch, &QTimer::timeout, [watch] {
      if (QApplication::activeModalWidget()) {
        std::puts("popup");
        watch->stop();
      }
    });
    watch->start(10);
    rt::DispatchControlEvent(panelHandle, CTL_SEND, EVENT_COMMIT);
  });
  return NuvaroMain(argc, argv);
}

namespace {

// The faults' handler only lets go of the lock file and the exclusive use;
// ending the process is still the fault's. (A sanitizer keeps its own
// handlers of SIGSEGV, SIGBUS and SIGFPE.)
TEST(StopSignals, EachClosesThePortAndEndsTheProgramAsTheSignalDoes) {
  std::vector<std::pair<int, std::string>> cases = {
      {SIGTERM, "open"},      {SIGINT, "open"},  {SIGHUP, "open"},     {SIGQUIT, "open"},
      {SIGUSR1, "open"},      {SIGUSR2, "open"}, {SIGALRM, "open"},    {SIGTERM, "popup"},
      {SIGTERM, "download"},  {SIGXCPU, "open"}, {SIGXFSZ, "open"},    {SIGVTALRM, "open"},
      {SIGPROF, "open"},      {SIGIO, "open"},   {SIGPWR, "open"},     {SIGRTMIN, "open"},
      {SIGRTMAX, "download"}, {SIGABRT, "open"}, {SIGILL, "download"}, {SIGSYS, "open"}};
#ifndef __SANITIZE_ADDRESS__
  cases.insert(cases.end(), {{SIGSEGV, "open"}, {SIGBUS, "popup"}, {SIGFPE, "open"}});
#endif
  // SIGQUIT's core is the system's business, not the test's: none is written.
  rlimit noCore{0, 0}, saved{};
  getrlimit(RLIMIT_CORE, &saved);
  setrlimit(RLIMIT_CORE, &noCore);
  for (const auto &[stop, state] : cases) {
    SCOPED_TRACE(std::string(strsignal(stop)) + " " + state);
    auto model = std::make_shared<sim::DeviceModel>(3000);
    sim::DeviceKnobs knobs;
    knobs.refuse = state == "popup";
    knobs.ackFrom = state == "download" ? 5 : 1;
    model->SetKnobs(knobs);
    sim::PtyDevice pty(model);
    std::string error;
    ASSERT_TRUE(pty.Start(&error)) << error;
    const int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(slave, 0);

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const Child child = SpawnChild({self, "--stop-signal-child", pty.SlavePath(), state});
    ASSERT_GT(child.pid, 0);
    if (state == "download") // the first command is on the line: Delay blocks
      for (int waited = 0; model->Payloads().empty() && waited < kChildGuardMs; waited += 10)
        usleep(10 * 1000);
    else
      EXPECT_EQ(ReadLineFrom(child.out), state);
    EXPECT_EQ(ExclusiveFlag(slave), 1);
    EXPECT_TRUE(LockedBy(pty.SlavePath(), child.pid));

    // A closed pipe is no reason to stop: had SIGPIPE, sent first, ended the
    // child, the status below would say so.
    kill(child.pid, SIGPIPE);
    kill(child.pid, stop);
    const int status = WaitForExit(child.pid);
    std::string said; // for a failure's message
    for (std::string line; !(line = ReadLineFrom(child.err)).empty();)
      said += line + "\n";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == stop) << status << "\n" << said;
    if (state == "download") { // cut short, not waited for: 5 commands, 5 attempts each
      EXPECT_LT(model->Payloads().size(), 25u);
    }
    EXPECT_EQ(ExclusiveFlag(slave), 0);
    EXPECT_FALSE(LockedBy(pty.SlavePath(), child.pid));
    close(slave);
  }
  setrlimit(RLIMIT_CORE, &saved);
}

} // namespace

#endif
