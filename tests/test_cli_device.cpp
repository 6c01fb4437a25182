// nuvaroctl against nuvaro-devsim's faults: replies that run late, every
// result the device can cause and its exit status, and each limit of the
// panel taken at its edge and refused one past it.
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
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace nuvaroctl_test;

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
      // download. Late in the window between the fourth check and the
      // fifth: a slow machine draws the program's checks later, try by try
      // (the device's answer is late by one wake-up only).
      {"0.48 s, last refused, json", L("--latency", "0.48", "--refuse", last),
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
