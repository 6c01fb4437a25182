// nuvaroctl, the program itself, started as a script starts it: against the
// device model on a pseudo-terminal (in this process, so that the bytes it
// received can be checked; nuvaro-devsim runs the same model), against
// nuvaro-devsim, and against its built-in demo device. What it printed, its
// exit status, and what reached the line. Linux: the port's flags are read
// with TIOCGEXCL.
#ifdef __linux__
#include "app/state/settings.h"
#include "child_process.h"
#include "cli_arguments.h"
#include "cli_run.h"
#include "expected_download.h"
#include "fake_device.h"
#include "link/frame.h"
#include "link/line.h"
#include "link/sequence.h"
#include "parameters.h"
#include "runtime/core/panel_limits.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/serial_ops.h"
#include "sim/pty_device.h"
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace nuvaroctl_test;

TEST(Nuvaroctl, EachCommandItsOutputStatusAndBytesOnTheLine) {
  // The fixed download's mode command, its angle, and the rest.
  const std::string mode = kFixedSent[0], angle = kFixedSent[1];
  const Strings rest(kFixedSent.begin() + 2, kFixedSent.end());
  const Strings refusedAngle = Join(Join(L(mode), Strings(kTries, angle)), rest);
  struct Case {
    const char *name;
    Device device;
    const char *refuse; // the model refuses commands starting with this
    Strings args;       // after --port
    int status;
    Strings sent;      // what the model received (Model only)
    Strings lines;     // stdout, times taken off, JSON as its fields
    const char *error; // on stderr
  } cases[] = {
      {"fixed", Device::Model, "", kFixed, 0, kFixedSent,
       Join(L("下载（定速）\t" + AllAcknowledged(kFixedSent)), Acknowledged(kFixedSent)), ""},
      {"sweep", Device::Model, "", kSweep, 0, kSweepSent,
       Join(L("下载（扫速）\t" + AllAcknowledged(kSweepSent)), Acknowledged(kSweepSent)), ""},
      {"refused angle", Device::Model, "T", kFixed, 1, refusedAngle,
       Join(Join(L("下载（定速）\t" + angle + "：被拒绝 5/5"), Acknowledged({mode})),
            Join(L(angle + "\t被拒绝\t5/5"), Acknowledged(rest))),
       ""},
      {"refused signal mode", Device::Model, "F3", kFixed, 1, Strings(kTries, mode),
       L("下载\t" + mode + "：被拒绝 5/5", mode + "\t被拒绝\t5/5"), ""},
      {"check", Device::Model, "", L("check"), 0, L("Q1"),
       L("通讯检查\t全部已确认（1 条）", "Q1\t已确认\t1/5"), ""},
      {"check refused", Device::Model, "Q", L("check"), 1, Strings(5, "Q1"),
       L("通讯检查\tQ1：被拒绝 5/5", "Q1\t被拒绝\t5/5"), ""},
      // Values the panel's controls would not take: nothing reaches the line.
      {"rate out of range", Device::Model, "", With(kFixed, "--rate", "99999999"), 2, L(), L(),
       "--rate 99999999: outside the panel's range 1 to 100000"},
      {"rate not a number", Device::Model, "", With(kFixed, "--rate", "abc"), 2, L(), L(),
       "--rate abc: not a whole number"},
      {"rate not whole", Device::Model, "", With(kFixed, "--rate", "1500.0"), 2, L(), L(),
       "not a whole number"},
      {"angle past its maximum", Device::Model, "", With(kFixed, "--angle", "361"), 2, L(), L(),
       "outside the panel's range 0 to 360"},
      {"width below its minimum", Device::Model, "", With(kSweep, "--width", "-1"), 2, L(), L(),
       "--width -1"},
      {"signal mode no choice", Device::Model, "", With(kFixed, "--signal-mode", "2"), 2, L(), L(),
       "not one of the panel's choices (1, 0)"},
      {"sweep option in fixed mode", Device::Model, "", Join(kFixed, L("--min", "5")), 2, L(), L(),
       "--min is not an option of download fixed"},
      {"interval too short", Device::Model, "", L("rate", "--interval", "0.01"), 2, L(), L(),
       "--interval 0.01"},
      // nuvaro-devsim reports 1234 until an operation is chosen.
      {"rate", Device::Devsim, "", L("rate", "--count", "3", "--interval", "0.1"), 0, L(),
       L("1234", "1234", "1234"), ""},
      {"demo fixed", Device::Demo, "", kFixed, 0, L(),
       Join(L("下载（定速，演示设备）\t" + AllAcknowledged(kFixedSent)), Acknowledged(kFixedSent)),
       ""},
      {"demo sweep json", Device::Demo, "", Join(kSweep, L("--json")), 0, L(),
       Acknowledged(kSweepSent, true), ""},
      // A fresh demo device each run: it reports its starting rate.
      {"demo rate json", Device::Demo, "", L("rate", "--json", "--count=2", "--interval=0.1"), 0,
       L(), L("0", "0"), ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    auto model = std::make_shared<sim::DeviceModel>();
    sim::DeviceKnobs knobs;
    knobs.refuse = *c.refuse != 0;
    knobs.refusePrefix = c.refuse;
    model->SetKnobs(knobs);
    sim::PtyDevice pty(model);
    const Child devsim = c.device == Device::Devsim
                             ? SpawnChild({NUVARO_DEVSIM_EXE, "--rate", "1234", "--quiet"})
                             : Child(-1, -1, -1);
    std::string port = "demo";
    if (c.device == Device::Model) {
      ASSERT_TRUE(pty.Start());
      port = pty.SlavePath();
    } else if (c.device == Device::Devsim) {
      port = ReadLineFrom(devsim.out);
      ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
    }

    const Ran ran = Nuvaroctl(Join({"--port", port}, c.args));
    ExpectRan(ran, c.args, c.status, c.lines, c.error);
    if (c.device == Device::Model) {
      EXPECT_EQ(model->Payloads(), c.sent);
      EXPECT_EQ(model->RawBytes(), Frames(c.sent)); // framed exactly as the panel frames them
    }
    if (devsim.pid > 0) {
      kill(devsim.pid, SIGTERM);
      EXPECT_EQ(WaitForExit(devsim.pid), 0);
    }
  }
}

// nuvaro-devsim answering later than the 0.1 s check, with one command
// refused: each check takes the reply to the send before it, so the refusal
// is counted against the next command or comes after the last. The reply
// after the group gives it away, and from the first check that found nothing
// on, no result stands. A device that only loses replies leaves nothing owed:
// its results stand after the same watch.
TEST(Nuvaroctl, ListsThePanelsPortsThenDemoAndAnswersHelpWithoutAPort) {
  const Ran ports = Nuvaroctl({"ports"});
  EXPECT_EQ(ports.status, 0);
  ASSERT_FALSE(ports.lines.empty());
  EXPECT_EQ(ports.lines.back(), "demo\t演示设备（内置模拟）");
  for (const char *flag : {"--help", "--version"}) {
    const Ran ran = Nuvaroctl({flag});
    EXPECT_EQ(ran.status, 0) << flag;
    EXPECT_FALSE(ran.lines.empty()) << flag;
  }
  // Into a full disk, each fails with the reason, as every output does.
  for (const char *flag : {"--help", "--version", "ports"}) {
    const Ran full =
        RunToEnd({"/bin/sh", "-c", "exec \"$0\" \"$1\" >/dev/full", NUVARO_CTL_EXE, flag});
    EXPECT_TRUE(WIFEXITED(full.status) && WEXITSTATUS(full.status) == 1) << flag << full.status;
    EXPECT_NE(full.err.find("nuvaroctl: cannot write the output: "), std::string::npos)
        << flag << full.err;
  }
  const Ran noPort = Nuvaroctl({"check"});
  EXPECT_TRUE(WIFEXITED(noPort.status) && WEXITSTATUS(noPort.status) == 2);
  EXPECT_NE(noPort.err.find("needs --port"), std::string::npos) << noPort.err;
}

// The download examples the man page shows and the package and Windows
// checks run take the panel's limits, and the demo device acknowledges each.
TEST(Nuvaroctl, TheDownloadExamplesAreTakenAndAcknowledgedByTheDemoDevice) {
  std::ifstream file(NUVARO_SOURCE_DIR "/cli/download-examples.txt");
  ASSERT_TRUE(file.good());
  int examples = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.rfind("download ", 0) != 0)
      continue;
    ++examples;
    Strings args = {"--port", "demo"};
    std::istringstream words(line);
    for (std::string word; words >> word;)
      args.push_back(word);
    const Ran ran = Nuvaroctl(args);
    EXPECT_TRUE(WIFEXITED(ran.status) && WEXITSTATUS(ran.status) == 0) << line << "\n" << ran.err;
    EXPECT_TRUE(std::any_of(ran.lines.begin(), ran.lines.end(), [](const std::string &l) {
      return l.find("全部已确认") != std::string::npos;
    })) << line;
  }
  EXPECT_EQ(examples, 2);
}

// A port another program holds (the panel here, with the same serial
// operations; another nuvaroctl below) is refused with the reason, and the
// holder's link goes on; a SIGTERM in the middle of a download closes the
// port before the program ends by that signal.
TEST(Nuvaroctl, AHeldPortIsLeftAloneAndASignalReleasesIt) {
  auto model = std::make_shared<sim::DeviceModel>();
  sim::PtyDevice pty(model);
  ASSERT_TRUE(pty.Start());
  const int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(slave, 0);

  const int port = rt::PortNumberForPath(pty.SlavePath());
  ASSERT_EQ(OpenLine(port), 0);
  Ran refused = Nuvaroctl(Join({"--port", pty.SlavePath()}, kFixed));
  EXPECT_TRUE(WIFEXITED(refused.status) && WEXITSTATUS(refused.status) == 3) << refused.status;
  EXPECT_NE(refused.err.find("打开失败：设备忙"), std::string::npos) << refused.err;
  EXPECT_TRUE(model->Payloads().empty());
  EXPECT_EQ(ExclusiveFlag(slave), 1);
  EXPECT_TRUE(LockedBy(pty.SlavePath(), getpid()));
  // The panel's next download.
  const int before = portNumber;
  const SettingsRecord settings = Settings;
  portNumber = port;
  Settings = kFixedSettings;
  EXPECT_EQ(DownloadSettings(), 1);
  EXPECT_EQ(model->Payloads(), kFixedSent);
  CloseCom(port);
  portNumber = before;
  Settings = settings;
  model->ClearRecord();

  // Each command acknowledged at its fifth try, and the download held still
  // at its first frame (SIGSTOP) for as long as the test looks, however
  // slowly the machine runs; the SIGTERM then comes in its middle.
  sim::DeviceKnobs slow;
  slow.ackFrom = 5;
  model->SetKnobs(slow);
  Strings args = Join({NUVARO_CTL_EXE, "--port", pty.SlavePath()}, kFixed);
  const Child child = SpawnChild(args);
  ASSERT_GT(child.pid, 0);
  for (int waited = 0; model->Payloads().empty() && waited < kChildGuardMs; waited += 10)
    usleep(10 * 1000);
  kill(child.pid, SIGSTOP);
  EXPECT_EQ(ExclusiveFlag(slave), 1);
  EXPECT_TRUE(LockedBy(pty.SlavePath(), child.pid));
  refused = Nuvaroctl({"--port", pty.SlavePath(), "check"});
  EXPECT_TRUE(WIFEXITED(refused.status) && WEXITSTATUS(refused.status) == 3) << refused.status;
  EXPECT_NE(refused.err.find("打开失败：设备忙"), std::string::npos) << refused.err;

  kill(child.pid, SIGTERM); // handled once it runs again
  kill(child.pid, SIGCONT);
  const int status = WaitForExit(child.pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_LT(model->Payloads().size(), kTries * kFixedSent.size()); // cut short
  for (const std::string &p : model->Payloads())
    EXPECT_NE(p, "Q1"); // the second program sent nothing
  EXPECT_EQ(ExclusiveFlag(slave), 0);
  EXPECT_FALSE(LockedBy(pty.SlavePath(), child.pid));
  close(slave);
}

// Each limit of the panel's controls as nuvaroctl meets it, the limits read
// from the panel file as nuvaroctl reads them: every parameter at its lowest
// and at its highest value is taken and sent as it is (a ring's lowest and
// highest choice), and one past either is refused before the port opens.

} // namespace

#endif
