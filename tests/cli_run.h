// Running nuvaroctl as a script runs it, for the tests of test_cli.cpp and
// test_cli_device.cpp: its output, exit status and standard error, the
// downloads they ask for, and the check of one run against a table row.
#pragma once
#ifdef __linux__
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

namespace nuvaroctl_test {

using Strings = std::vector<std::string>;

struct Ran {
  int status = -1; // the wait status
  Strings lines;   // stdout, line by line
  std::string err;
};

// Runs `args` (the program's path first) to its end.
inline Ran RunToEnd(const Strings &args) {
  const Child child = SpawnChild(args);
  Ran ran;
  std::istringstream out(ReadAll(child.out));
  for (std::string line; std::getline(out, line);)
    ran.lines.push_back(line);
  ran.err = ReadAll(child.err);
  ran.status = WaitForExit(child.pid);
  return ran;
}

inline Ran Nuvaroctl(Strings args) {
  args.insert(args.begin(), NUVARO_CTL_EXE);
  return RunToEnd(args);
}

// A line as the tests compare it: without its time of day, and a --json
// object as the same tab-separated fields in its keys' order (command,
// result, tries; or rate). "" for a line that is neither.
inline std::string Fields(const std::string &line, bool json) {
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
inline void ExpectRan(const Ran &ran, const Strings &args, int status, const Strings &expected,
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
inline const SettingsRecord kFixedSettings = [] {
  SettingsRecord s = PanelStart();
  s.rate = 1500;
  return s;
}();
inline const Strings kFixed = DownloadArguments(kFixedSettings);
inline const Strings kFixedSent = Expected(kFixedSettings).commands;
// A sweep at the panel's lower limits, its minimum above its maximum.
inline const SettingsRecord kSweepSettings = [] {
  SettingsRecord s{}; // sweep, signal mode 0, angle and width 0
  s.sweepMin = 6000, s.sweepMax = 1000, s.sweepStep = 100, s.repeat = 3;
  return s;
}();
inline const Strings kSweep = DownloadArguments(kSweepSettings);
inline const Strings kSweepSent = Expected(kSweepSettings).commands;

inline Strings With(Strings args, const std::string &option, const std::string &value) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option)
      args[i + 1] = value;
  return args;
}

inline Strings Acknowledged(const Strings &sent, bool json = false) {
  Strings lines;
  for (const std::string &c : sent)
    lines.push_back(c + (json ? "\tacknowledged\t1" : "\t已确认\t1/5"));
  return lines;
}

// A header's verdict when the device took every command of `sent`.
inline std::string AllAcknowledged(const Strings &sent) {
  return "全部已确认（" + std::to_string(sent.size()) + " 条）";
}

template <typename... T> inline Strings L(T... items) {
  return Strings{items...};
}

inline Strings Join(Strings a, const Strings &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

} // namespace nuvaroctl_test
#endif
