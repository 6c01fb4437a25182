// nuvaroctl, the program itself, started as a script starts it: against the
// device model on a pseudo-terminal (in this process, so that the bytes it
// received can be checked; nuvaro-devsim runs the same model), against
// nuvaro-devsim, and against its built-in demo device. What it printed, its
// exit status, and what reached the line. Linux: the port's flags are read
// with TIOCGEXCL.
#ifdef __linux__
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <fcntl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/state/settings.h"
#include "child_process.h"
#include "cli_arguments.h"
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

namespace {

using Strings = std::vector<std::string>;

struct Ran {
  int status = -1; // the wait status
  Strings lines;   // stdout, line by line
  std::string err;
};

// Runs `args` (the program's path first) to its end.
Ran RunToEnd(const Strings &args) {
  const Child child = SpawnChild(args);
  Ran ran;
  std::istringstream out(ReadAll(child.out));
  for (std::string line; std::getline(out, line);)
    ran.lines.push_back(line);
  ran.err = ReadAll(child.err);
  ran.status = WaitForExit(child.pid);
  return ran;
}

Ran Nuvaroctl(Strings args) {
  args.insert(args.begin(), NUVARO_CTL_EXE);
  return RunToEnd(args);
}

// A line as the tests compare it: without its time of day, and a --json
// object as the same tab-separated fields in its keys' order (command,
// result, tries; or rate). "" for a line that is neither.
std::string Fields(const std::string &line, bool json) {
  static const std::regex time(R"(^\d\d:\d\d:\d\d\.\d\d\d$)");
  if (!json)
    return std::regex_search(line.substr(0, 12), time) && line.size() > 12 && line[12] == '\t'
               ? line.substr(13)
               : line;
  QJsonParseError error{};
  const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error).object();
  if (error.error != QJsonParseError::NoError ||
      !std::regex_search(o["time"].toString().toStdString(), time))
    return "";
  if (o.contains("rate"))
    return o.size() == 2 ? (o["rate"].isNull() ? "null" : std::to_string(o["rate"].toInt())) : "";
  if (o.size() != 4 || !o["command"].isString() || !o["result"].isString() ||
      !o["tries"].isDouble())
    return "";
  return o["command"].toString().toStdString() + "\t" + o["result"].toString().toStdString() +
         "\t" + std::to_string(o["tries"].toInt());
}

// Checks a run against a table row: its exit status, its output lines as
// Fields gives them (less the download's duration, which varies) and its
// standard error, which holds `error` or, for "", nothing.
void ExpectRan(const Ran &ran, const Strings &args, int status, const Strings &expected,
               const char *error) {
  EXPECT_TRUE(WIFEXITED(ran.status) && WEXITSTATUS(ran.status) == status) << ran.status << "\n"
                                                                          << ran.err;
  const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
  Strings lines;
  for (const std::string &line : ran.lines) {
    const std::string fields = Fields(line, json);
    lines.push_back(fields.substr(0, fields.find("\t用时 ")));
  }
  EXPECT_EQ(lines, expected);
  if (*error)
    EXPECT_NE(ran.err.find(error), std::string::npos) << ran.err;
  else
    EXPECT_EQ(ran.err, "");
}

enum class Device {
  Model,  // the device model on a pseudo-terminal in this process
  Devsim, // nuvaro-devsim --rate 1234
  Demo,   // --port demo
};

// A fixed download as the panel starts, at another rate.
const SettingsRecord kFixedSettings = [] {
  SettingsRecord s = PanelStart();
  s.rate = 1500;
  return s;
}();
const Strings kFixed = DownloadArguments(kFixedSettings);
const Strings kFixedSent = Expected(kFixedSettings).commands;
// A sweep at the panel's lower limits, its minimum above its maximum.
const SettingsRecord kSweepSettings = [] {
  SettingsRecord s{}; // sweep, signal mode 0, angle and width 0
  s.sweepMin = 6000, s.sweepMax = 1000, s.sweepStep = 100, s.repeat = 3;
  return s;
}();
const Strings kSweep = DownloadArguments(kSweepSettings);
const Strings kSweepSent = Expected(kSweepSettings).commands;

Strings With(Strings args, const std::string &option, const std::string &value) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option)
      args[i + 1] = value;
  return args;
}

Strings Acknowledged(const Strings &sent, bool json = false) {
  Strings lines;
  for (const std::string &c : sent)
    lines.push_back(c + (json ? "\tacknowledged\t1" : "\t已确认\t1/5"));
  return lines;
}

// A header's verdict when the device took every command of `sent`.
std::string AllAcknowledged(const Strings &sent) {
  return "全部已确认（" + std::to_string(sent.size()) + " 条）";
}

template <typename... T> Strings L(T... items) {
  return Strings{items...};
}

Strings Join(Strings a, const Strings &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

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
TEST(Nuvaroctl, RepliesRunningLateAreNeverReportedAsSuccess) {
  const std::string late = "应答迟到：结果可能属于上一条命令";
  // Each command of `sent` with `result`, the first at try `first`, the rest
  // at try `others`.
  const auto each = [](const Strings &sent, const std::string &result, const std::string &first,
                       const std::string &others) {
    Strings lines;
    for (std::size_t i = 0; i < sent.size(); ++i)
      lines.push_back(sent[i] + "\t" + result + "\t" + (i == 0 ? first : others));
    return lines;
  };
  // The fixed download's last command, refused by its letter.
  const std::string last(1, kFixedSent.back()[0]);
  const Strings rest(kFixedSent.begin() + 2, kFixedSent.end());
  struct Case {
    const char *name;
    Strings devsim; // its options
    Strings args;   // after --port
    int status;
    Strings lines; // stdout, times taken off, JSON as its fields
  } cases[] = {
      // The mode command's first check finds nothing, its second the first
      // try's answer; the last command's refusal comes after the download.
      {"0.15 s, last refused", L("--latency", "0.15", "--refuse", last), kFixed, 1,
       Join(L("下载（定速）\t" + late + "；" + AllAcknowledged(kFixedSent)),
            each(kFixedSent, late, "2/5", "1/5"))},
      // The mode command's fifth check finds its first try's answer, the
      // rest its later tries'; the last command's refusal comes after the
      // download.
      {"0.45 s, last refused, json", L("--latency", "0.45", "--refuse", last),
       Join(kFixed, L("--json")), 1, each(kFixedSent, "late_replies", "5", "1")},
      {"0.15 s, check refused, json", L("--latency", "0.15", "--refuse", "Q"), L("check", "--json"),
       1, L("Q1\tlate_replies\t5")},
      {"0.15 s, check", L("--latency", "0.15"), L("check"), 1,
       L("通讯检查\t" + late + "；全部已确认（1 条）", "Q1\t" + late + "\t2/5")},
      {"in time, angle never answered", L("--silent-for", "T"), kFixed, 1,
       Join(Join(L("下载（定速）\t" + kFixedSent[1] + "：无应答 5/5"),
                 Acknowledged({kFixedSent[0]})),
            Join(L(kFixedSent[1] + "\t无应答\t5/5"), Acknowledged(rest)))},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Child devsim = SpawnChild(Join({NUVARO_DEVSIM_EXE, "--quiet"}, c.devsim));
    const std::string port = ReadLineFrom(devsim.out);
    ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
    const Ran ran = Nuvaroctl(Join({"--port", port}, c.args));
    EXPECT_TRUE(WIFEXITED(ran.status) && WEXITSTATUS(ran.status) == c.status) << ran.status;
    EXPECT_EQ(ran.err, "");
    const bool json = c.args.back() == "--json";
    Strings lines;
    for (const std::string &line : ran.lines) {
      const std::string fields = Fields(line, json);
      lines.push_back(fields.substr(0, fields.find("\t用时 ")));
    }
    EXPECT_EQ(lines, c.lines);
    kill(devsim.pid, SIGTERM);
    EXPECT_EQ(WaitForExit(devsim.pid), 0);
  }
}

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

  // Each command acknowledged at its fifth try: 2.6 s, cut short.
  sim::DeviceKnobs slow;
  slow.ackFrom = 5;
  model->SetKnobs(slow);
  Strings args = Join({NUVARO_CTL_EXE, "--port", pty.SlavePath()}, kFixed);
  const Child child = SpawnChild(args);
  ASSERT_GT(child.pid, 0);
  for (int waited = 0; model->Payloads().empty() && waited < kChildGuardMs; waited += 10)
    usleep(10 * 1000);
  EXPECT_EQ(ExclusiveFlag(slave), 1);
  EXPECT_TRUE(LockedBy(pty.SlavePath(), child.pid));
  refused = Nuvaroctl({"--port", pty.SlavePath(), "check"});
  EXPECT_TRUE(WIFEXITED(refused.status) && WEXITSTATUS(refused.status) == 3) << refused.status;
  EXPECT_NE(refused.err.find("打开失败：设备忙"), std::string::npos) << refused.err;

  kill(child.pid, SIGTERM);
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
TEST(Nuvaroctl, EachLimitTakenAtItsEdgeAndRefusedPastIt) {
  std::map<int, rt::ControlLimits> limits;
  std::string why;
  ASSERT_TRUE(rt::ReadControlLimits("nuvaro.uir", &limits, &why)) << why;
  const auto edge = [&limits](int control, bool highest) {
    const rt::ControlLimits &l = limits.at(control);
    if (l.ring)
      return highest ? *std::max_element(l.choices.begin(), l.choices.end())
                     : *std::min_element(l.choices.begin(), l.choices.end());
    return highest ? l.maximum : l.minimum;
  };
  const std::vector<int> &workModes = limits.at(CTL_WORKMODE).choices;
  const int fixedRate = *std::find_if(workModes.begin(), workModes.end(), [](int c) { return c; });
  for (const bool sweep : {false, true}) {
    for (const bool highest : {false, true}) {
      SCOPED_TRACE(std::string(sweep ? "sweep" : "fixed") + (highest ? ", highest" : ", lowest"));
      SettingsRecord s{};
      s.workMode = sweep ? 0 : fixedRate;
      const int sent = sweep ? SENT_IN_SWEEP : SENT_IN_FIXED_RATE;
      for (const ParameterRow &p : kParameterTable)
        if (*p.option && (p.sentIn & sent))
          s.*p.field = edge(p.control, highest);

      auto model = std::make_shared<sim::DeviceModel>();
      sim::PtyDevice pty(model);
      ASSERT_TRUE(pty.Start());
      const Ran taken = Nuvaroctl(Join({"--port", pty.SlavePath()}, DownloadArguments(s)));
      EXPECT_TRUE(WIFEXITED(taken.status) && WEXITSTATUS(taken.status) == 0) << taken.err;
      EXPECT_EQ(model->Payloads(), Expected(s).commands);

      // One past the edge, each parameter of the mode in turn: refused with
      // its value named, and nothing on the line.
      for (const ParameterRow &p : kParameterTable) {
        if (!*p.option || !(p.sentIn & sent))
          continue;
        SettingsRecord past = s;
        past.*p.field += highest ? 1 : -1;
        const Ran refused = Nuvaroctl(Join({"--port", pty.SlavePath()}, DownloadArguments(past)));
        EXPECT_TRUE(WIFEXITED(refused.status) && WEXITSTATUS(refused.status) == 2) << p.option;
        const std::string named =
            std::string("--") + p.option + " " + std::to_string(past.*p.field) + ": ";
        EXPECT_NE(refused.err.find(named), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.lines.empty()) << p.option;
      }
      EXPECT_EQ(model->Payloads(), Expected(s).commands);
    }
  }
}

// Each way a run ends badly, as a script sees it: every result the device can
// cause, in --json's keys, a rate with no reading, and a port path with no
// device behind it. nuvaro-devsim plays the faults.
TEST(Nuvaroctl, EachResultTheDeviceCausesAndEachFailureItsStatus) {
  struct Case {
    const char *name;
    Strings devsim; // its options; none: no device is started
    Strings args;   // after --port
    int status;
    Strings lines;     // stdout, times taken off, JSON as its fields
    const char *error; // on stderr
  } cases[] = {
      {"refused", L("--refuse-all"), L("check", "--json"), 1, L("Q1\trefused\t5"), ""},
      {"no answer", L("--silent"), L("check", "--json"), 1, L("Q1\tno_answer\t5"), ""},
      {"bad checksum", L("--bad-checksum"), L("check", "--json"), 1, L("Q1\tbad_checksum\t5"), ""},
      {"rate, no reading", L("--silent"), L("rate", "--count", "2", "--interval", "0.1"), 1,
       L("无应答", "无应答"), ""},
      {"rate, no reading, json", L("--silent"),
       L("rate", "--json", "--count", "2", "--interval", "0.1"), 1, L("null", "null"), ""},
      {"no device at the path", L(), L("check"), 3, L(), "打开失败：设备不存在"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Child devsim = c.devsim.empty()
                             ? Child(-1, -1, -1)
                             : SpawnChild(Join({NUVARO_DEVSIM_EXE, "--quiet"}, c.devsim));
    std::string port = "/dev/nuvaro-test-no-such-port";
    if (devsim.pid > 0) {
      port = ReadLineFrom(devsim.out);
      ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
    }
    const Ran ran = Nuvaroctl(Join({"--port", port}, c.args));
    ExpectRan(ran, c.args, c.status, c.lines, c.error);
    if (devsim.pid > 0) {
      kill(devsim.pid, SIGTERM);
      EXPECT_EQ(WaitForExit(devsim.pid), 0);
    }
  }
}

} // namespace

#endif
