// nuvaroctl against nuvaro-devsim's faults: replies that run late, refusals
// the first frame of a read would hide, every result the device can cause
// and its exit status, and each limit of the panel taken at its edge and
// refused one past it.
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
#include "sim/raw_pty.h"
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace nuvaroctl_test;

TEST(Nuvaroctl, RepliesRunningLateAreNeverReportedAsSuccess) {
  const std::string late = "应答迟到：结果可能属于上一条命令";
  const std::string uncounted = "拒绝未计入：有命令被设备拒绝";
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
      // try's answer; the last command's refusal comes after the download,
      // in the look after it.
      {"0.15 s, last refused", L("--latency", "0.15", "--refuse", last), kFixed, 1,
       Join(L("下载（定速）\t" + uncounted + "；" + AllAcknowledged(kFixedSent)),
            each(kFixedSent, uncounted, "2/5", "1/5"))},
      // The mode command's fifth check finds its first try's answer, the
      // rest its later tries'; the last command's refusal comes after the
      // download. Late in the window between the fourth check and the
      // fifth: a slow machine draws the program's checks later, try by try
      // (the device's answer is late by one wake-up only).
      {"0.48 s, last refused, json", L("--latency", "0.48", "--refuse", last),
       Join(kFixed, L("--json")), 1, each(kFixedSent, "refusal_uncounted", "5", "1")},
      {"0.15 s, check refused, json", L("--latency", "0.15", "--refuse", "Q"), L("check", "--json"),
       1, L("Q1\trefusal_uncounted\t5")},
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

// Each way a refusal, or a command the device never took, hid behind the
// first frame of a read: the run exits 1 and never gives the refused command
// as acknowledged. nuvaro-devsim plays the first five; the last two need the
// line to hold a reply from before the run, which the device model on a
// pseudo-terminal of the test's own gives it. A device that refuses a
// command once, in time, and takes its retry, still passes.
TEST(Nuvaroctl, RefusalsTheFirstFrameWouldHideFailTheRun) {
  const std::string uncounted = "拒绝未计入：有命令被设备拒绝";
  struct Case {
    const char *name;
    Strings devsim;      // its options; empty: the model in this process
    Strings args;        // after --port
    const char *refused; // the refused command's first letters; "": none
    sim::DeviceKnobs knobs = {};
  } cases[] = {
      {"a refusal read with an acceptance", L("--latency-for", "F3=0.15", "--refuse", "T"), kFixed,
       "T"},
      {"a damaged late reply", L("--latency", "0.15", "--refuse", "W", "--noise-for", "R"), kFixed,
       "W"},
      {"a missing reply balancing a late one",
       L("--latency", "0.15", "--refuse", "W", "--silent-for", "R"), kFixed, "W"},
      {"a reply just past its check", L("--latency-for", "W=0.15", "--refuse", "F1"), kFixed, "F1"},
      {"unasked rate reports during a late download",
       L("--latency", "0.15", "--report-every", "0.2", "--refuse", "W"), Join(kFixed, L("--json")),
       "W"},
      {"an acknowledgement in flight at the discard", L(), kFixed, "F3",
       [] {
         sim::DeviceKnobs k;
         k.holdPrefix = "Q", k.refuse = true, k.refusePrefix = "F3";
         return k;
       }()},
      {"a stale acknowledgement before the check", L(), L("check"), "Q1",
       [] {
         sim::DeviceKnobs k;
         k.refuse = true, k.refusePrefix = "Q";
         return k;
       }()},
      {"refused once, in time, then taken", L("--ack-from", "2"), kFixed, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Child devsim = c.devsim.empty()
                             ? Child(-1, -1, -1)
                             : SpawnChild(Join({NUVARO_DEVSIM_EXE, "--quiet"}, c.devsim));
    std::string port;
    auto model = std::make_shared<sim::DeviceModel>();
    sim::PtyDevice pty(model);
    if (devsim.pid > 0) {
      port = ReadLineFrom(devsim.out);
    } else {
      ASSERT_TRUE(pty.Start());
      port = pty.SlavePath();
      // A link check's reply from before this run: held back by the device
      // until its next command, or already waiting on the line.
      const bool held = !c.knobs.holdPrefix.empty();
      if (held)
        model->SetKnobs(c.knobs);
      const std::string q1 = Frame("Q1");
      model->Receive(reinterpret_cast<const unsigned char *>(q1.data()), int(q1.size()), 0.0);
      while (!held && model->Readable(1e9) > 0)
        usleep(1000); // written to the line
      model->SetKnobs(c.knobs);
    }
    ASSERT_EQ(port.rfind("/dev/", 0), 0u) << port;
    const Ran ran = Nuvaroctl(Join({"--port", port}, c.args));
    const bool json = c.args.back() == "--json";
    const int status = *c.refused ? 1 : 0;
    EXPECT_TRUE(WIFEXITED(ran.status) && WEXITSTATUS(ran.status) == status) << ran.status;
    EXPECT_EQ(ran.err, "");
    for (const std::string &line : ran.lines) {
      const std::string fields = Fields(line, json);
      if (*c.refused && fields.rfind(c.refused, 0) == 0) {
        EXPECT_EQ(fields.find(json ? "\tacknowledged" : "\t已确认"), std::string::npos) << fields;
      }
      if (!json && fields.rfind(c.args[0] == "check" ? "通讯检查" : "下载", 0) == 0) {
        EXPECT_EQ(fields.find(uncounted) != std::string::npos, *c.refused != 0) << fields;
      }
    }
    if (devsim.pid > 0) {
      kill(devsim.pid, SIGTERM);
      EXPECT_EQ(WaitForExit(devsim.pid), 0);
    }
  }
}

// A rate report counts only with its number as the device writes it; any
// other is 无法识别 and no reading. The report waits on the line before the
// run starts, so the first look takes it.
TEST(Nuvaroctl, ARateReportCountsOnlyAsThePlainNumberTheDeviceSends) {
  for (const auto &[report, shown] : std::vector<std::pair<std::string, std::string>>{
           {"R", "无法识别"}, {"R12x", "无法识别"}, {"R+7", "无法识别"}, {"R-12", "-12"}}) {
    SCOPED_TRACE(report);
    std::string problem;
    const sim::RawPty pty = sim::OpenRawPty(&problem);
    ASSERT_GE(pty.master, 0) << problem;
    const std::string frame = Frame(report);
    ASSERT_EQ(write(pty.master, frame.data(), frame.size()), ssize_t(frame.size()));
    const Ran ran =
        Nuvaroctl(L("--port", pty.slavePath, "rate", "--count", "1", "--interval", "0.1"));
    close(pty.master);
    const int status = shown == "无法识别" ? 1 : 0;
    EXPECT_TRUE(WIFEXITED(ran.status) && WEXITSTATUS(ran.status) == status) << ran.err;
    ASSERT_EQ(ran.lines.size(), 1u);
    EXPECT_EQ(Fields(ran.lines[0], false), shown);
  }
}

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
