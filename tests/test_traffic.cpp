// The link view's decoder fed tap records directly, with no panel: the
// verdict of each kind of read in agreement with the program's own
// recognition, a failed command's header and the mode a download shows; the
// vocabulary's commands; the view's words against the usage document; the
// bounds of the rows kept. (The groups, folded polls, drained bytes and open
// failures: test_traffic_groups; the faults of a line: test_traffic_view.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "decoding_fixture.h"
#include "expected_download.h"
#include "link/frame.h"
#include "link/vocabulary.h"
#include "link_fixture.h"
#include "parameters.h"
#include "runtime/controls/log_model.h"
#include "source_text.h"
#include "traffic/decoder.h"

namespace {

using traffic_test::Decoding;

using Strings = std::vector<std::string>;
using rt::TapKind;

const std::string kBadChecksum = std::string("$\x04") + "E1\x7B" + '\0';

struct VerdictRow {
  const char *name;
  std::string bytes;
  std::string verdict;
  std::string text;
};

const VerdictRow kReads[] = {
    {"acknowledged", Frame("E1"), "已确认", "E1"},
    {"refused", Frame("E0"), "被拒绝", "E0"},
    {"refused with another number", Frame("E7"), "被拒绝", "E7"},
    {"rate report", Frame("R3000"), "转速报告", "R3000"},
    {"without its terminator", Frame("E1").substr(0, 5), "已确认", "E1"},
    {"followed by CR LF", Frame("E1") + "\r\n", "已确认", "E1"},
    {"other reply letter", Frame("X1"), "未知应答", "X1"},
    {"control bytes in the payload", Frame("R12\t\n34"), "转速报告", "R12\\x09\\x0A34"},
    {"0x7F and invalid UTF-8 in the payload", Frame("R1\x7F\xC3("), "转速报告", "R1\\x7F\\xC3("},
    {"checksum off by one", kBadChecksum, "校验和错误", "E1"},
    {"stray byte in front", "\xFF" + Frame("E1"), "无法识别", "\\xFF$\\x04E1z\\x00"},
    {"checksum 0x00 ends the text early", Frame("R699"), "无法识别", "$\\x06R699\\x00\\x00"},
    {"noise", "\x13\x37\x42", "无法识别", "\\x137B"},
    {"frame with no payload", std::string("$\x02\x02\x00", 4), "无法识别", "$\\x02\\x02\\x00"},
};

using TrafficVerdicts = LinkTest;

TEST_F(TrafficVerdicts, EachReadIsNamedAsTheProgramTakesIt) {
  for (const VerdictRow &row : kReads) {
    SCOPED_TRACE(row.name);
    const traffic::Reading v = traffic::ReadIncoming(row.bytes.data(), int(row.bytes.size()));
    EXPECT_EQ(traffic::Word(v.verdict), row.verdict);
    EXPECT_EQ(v.text, row.text);
    // The view never disagrees with the program about what is a reply.
    device->Queue(row.bytes);
    const bool taken = ChInQu() == 1 && ReplyLetter() != '\0';
    EXPECT_EQ(v.frame, taken);
    if (taken) {
      EXPECT_EQ(v.letter, ReplyLetter());
      EXPECT_EQ(v.number, ReplyNumber());
    }
  }
}

TEST_F(Decoding, EachVerdictOfACheckAndTheHeaderOfAFailedCommand) {
  struct Case {
    const char *name;
    std::string reply;
    std::optional<int> waiting; // the reply's size when none
    int notTaken;
    const char *row;
    const char *header;
  };
  const Case cases[] = {
      {"acknowledged", Frame("E1"), {}, 0, "E1|已确认", "全部已确认（1 条）"},
      {"refused", Frame("E0"), {}, 0, "E0|被拒绝", "F3,：被拒绝 5/5"},
      {"rate report", Frame("R3000"), {}, 0, "R3000|转速报告", "F3,：转速报告 5/5"},
      {"unknown letter", Frame("X1"), {}, 0, "X1|未知应答", "F3,：未知应答 5/5"},
      {"bad checksum", kBadChecksum, {}, 0, "E1|校验和错误", "F3,：校验和错误 5/5"},
      {"noise", "\x13\x37", {}, 0, "\\x137|无法识别（2 字节）", "F3,：无法识别 5/5"},
      {"nothing waiting", "", 0, 0, "—|无应答", "F3,：无应答 5/5"},
      {"port failed", "", -1, 0, "|端口错误", "F3,：端口错误 5/5"},
      {"line did not take it", "", 0, 7, "F3,|1/5 发送失败", "F3,：发送失败 5/5"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    rows.clear();
    decoder = traffic::Decoder([this](const LogRow &row) { rows[row.id] = row; });
    StartDownload();
    for (int i = 0; i < ORDER_ATTEMPTS && Header().tone != 1; ++i) {
      Send("F3,", c.notTaken);
      Check(c.reply, c.waiting);
    }
    EXPECT_EQ(Lines()[c.notTaken ? 1 : 2], c.row);
    EXPECT_EQ(Header().verdict, c.header);
    EXPECT_EQ(Header().payload, "下载");
  }
}

TEST_F(Decoding, TheHeaderNamesTheModeTheCommandsShowAndTheDemoDevice) {
  SettingsRecord sweep = PanelStart();
  sweep.workMode = 0;
  const struct {
    Strings commands;
    const char *header;
  } rows[] = {
      {{"D50,"}, "下载"}, // one number is no sweep range
      {Expected(PanelStart()).commands, "下载（定速）"},
      {Expected(sweep).commands, "下载（扫速）"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.header);
    StartDownload();
    for (const std::string &c : row.commands)
      Try(c, Frame("E1"));
    EXPECT_EQ(Header().payload, row.header);
    EXPECT_EQ(Header().verdict, "全部已确认（" + std::to_string(row.commands.size()) + " 条）");
  }
  // The sweep's checks, from the flush.
  char took[32];
  std::snprintf(took, sizeof took, "用时 %.2f s", Expected(sweep).floor - kSettleWait);
  EXPECT_EQ(Header().bytes, took);
  port = kDemoPort;
  StartDownload();
  Try("F1,", Frame("E1"));
  EXPECT_EQ(Header().payload, "下载（定速，演示设备）");
}

// What reads as which command: the whole format, each number as the program
// writes an int, nothing after.
TEST(Vocabulary, ACommandIsItsWholeFormat) {
  const struct {
    const char *payload, *format;
    int is;
  } rows[] = {
      {"D1000,6000,100,", CMD_SWEEP_RANGE, 1},
      {"D-5,0,2147483647,", CMD_SWEEP_RANGE, 1},
      {"D50,", CMD_SWEEP_RANGE, 0},
      {"D1,2,", CMD_SWEEP_RANGE, 0},
      {"D1,2,3", CMD_SWEEP_RANGE, 0},
      {"D1,2,3,4,", CMD_SWEEP_RANGE, 0},
      {"D1,,3,", CMD_SWEEP_RANGE, 0},
      {"D01,2,3,", CMD_SWEEP_RANGE, 0},
      {"D+1,2,3,", CMD_SWEEP_RANGE, 0},
      {"D 1,2,3,", CMD_SWEEP_RANGE, 0},
      {"R-2147483648,", CMD_RATE, 1},
      {"R2147483648,", CMD_RATE, 0},
      {"R-0,", CMD_RATE, 0},
      {"R-,", CMD_RATE, 0},
      {"F1,", CMD_FIXED_RATE, 1},
      {"F1,,", CMD_FIXED_RATE, 0},
      {"F1", CMD_FIXED_RATE, 0},
      {"Q1", CMD_LINK_CHECK, 1},
      {"", CMD_LINK_CHECK, 0},
      {nullptr, CMD_LINK_CHECK, 0},
  };
  for (const auto &row : rows)
    EXPECT_EQ(IsCommand(row.payload, row.format), row.is)
        << (row.payload ? row.payload : "(null)") << " as " << row.format;
}

// Every word the view can show is in the table of words of the operators'
// usage document, the one place that explains them (the README points there).
TEST(ViewWords, EachIsExplainedInTheUsageDocument) {
  Strings words;
  for (int i = 0; i < int(traffic::Verdict::Count); ++i)
    words.push_back(std::string("\n| ") + traffic::Word(traffic::Verdict(i)));
  for (int i = 0; i < int(traffic::Label::Count); ++i)
    words.push_back(std::string("\n| ") + traffic::Word(traffic::Label(i)));
  for (const std::string &reason : traffic::AllOpenFailureWords())
    words.push_back("\n| 打开失败：" + reason);
  std::istringstream usage(SourceText("docs/usage.md"));
  std::string table = "\n";
  for (std::string line; std::getline(usage, line);)
    if (line.rfind("| ", 0) == 0)
      table += line + "\n";
  for (const std::string &w : words)
    EXPECT_NE(table.find(w), std::string::npos) << "not in the table of docs/usage.md:" << w;
}

// The view keeps the newest 5000 rows and about 2 MB of text.
TEST(LogModelBounds, OldestRowsGoFirst) {
  LogModel model;
  LogRow row;
  for (row.id = 1; row.id <= LogModel::kMaxRows + 100; ++row.id)
    model.put(row);
  model.apply();
  EXPECT_EQ(model.rowCount(), LogModel::kMaxRows);
  row.payload.assign(4000, 'x');
  for (int i = 0; i < 400; ++i, ++row.id)
    model.put(row);
  model.apply();
  EXPECT_LE(model.textBytes(), LogModel::kMaxBytes);
  EXPECT_GT(model.textBytes(), LogModel::kMaxBytes - 9000);
  EXPECT_LT(model.rowCount(), LogModel::kMaxRows);
  EXPECT_EQ(model.text({model.rowCount() - 1}).count('x'), 4000);
}

} // namespace
