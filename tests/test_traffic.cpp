// The link view's decoder fed tap records directly, with no panel: the
// verdict of each kind of read in agreement with the program's own
// recognition, the groups, the folded polls, the drained bytes, the open
// failures, the escaping; the view's words against the usage document; the bounds of
// the rows kept. (Late replies and the faults of a line: test_traffic_view.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "expected_download.h"
#include "link/frame.h"
#include "link/vocabulary.h"
#include "link_fixture.h"
#include "parameters.h"
#include "runtime/controls/log_model.h"
#include "traffic/decoder.h"

namespace {

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

// A decoder and the rows it gave, each kept as last given.
class Decoding : public ::testing::Test {
protected:
  static constexpr int kPort = 7;
  static constexpr int kDemoPort = 99;

  // A record: `bytes` are its head, `count` (when not -1) its count.
  rt::TapRecord &Make(TapKind kind, const std::string &bytes = {}, int result = 0,
                      long long count = -1, bool atLeast = false, int notTaken = 0) {
    record = rt::TapRecord{};
    record.kind = kind;
    record.port = port;
    record.result = result;
    record.count = count < 0 ? static_cast<long long>(bytes.size()) : count;
    record.countAtLeast = atLeast;
    record.notTaken = notTaken;
    record.headCount = std::min(int(bytes.size()), rt::kTapHeadBytes);
    std::memcpy(record.head, bytes.data(), std::size_t(record.headCount));
    record.clock = clock;
    return record;
  }
  void Feed(TapKind kind, const std::string &bytes = {}, int result = 0, long long count = -1,
            bool atLeast = false, int notTaken = 0) {
    decoder.Take(Make(kind, bytes, result, count, atLeast, notTaken));
  }
  void Send(const std::string &command, int notTaken = 0) {
    Feed(TapKind::Wrote, Frame(command), int(Frame(command).size()), -1, false, notTaken);
  }
  // The check after a send: the count waiting (an error below 0), then the
  // read of the reply.
  void Check(const std::string &reply, std::optional<int> waiting = {}) {
    clock += 0.1;
    Feed(TapKind::Checked, {}, waiting.value_or(int(reply.size())));
    if (!reply.empty() && waiting.value_or(1) > 0)
      Feed(TapKind::Read, reply, int(reply.size()));
  }
  // The settle wait, then the flush that starts a download.
  void StartDownload(const std::string &thrownAway = {}) {
    clock += DOWNLOAD_SETTLE_WAIT;
    Feed(TapKind::Discarded, thrownAway);
  }
  void Try(const std::string &command, const std::string &reply) {
    Send(command);
    Check(reply);
  }
  // Payload and verdict of each row, oldest first; or the verdict alone.
  Strings Lines(bool payloads = true) const {
    Strings lines;
    for (const auto &[id, row] : rows)
      lines.push_back(payloads ? row.payload + "|" + row.verdict : row.verdict);
    return lines;
  }
  LogRow Header() const {
    for (auto at = rows.rbegin(); at != rows.rend(); ++at)
      if (at->second.header)
        return at->second;
    return {};
  }

  rt::TapRecord record;
  int port = kPort;
  double clock = 0.0;
  std::map<long long, LogRow> rows;
  traffic::Decoder decoder{[this](const LogRow &row) { rows[row.id] = row; }, kDemoPort};
};

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

TEST_F(Decoding, PollsFoldUntilWhatTheyReadChangesKind) {
  const auto tick = [this](const std::string &reply) {
    Feed(TapKind::Wrote, Frame("?1,"), 7);
    Check(reply, reply.empty() ? 0 : -1);
  };
  for (int i = 0; i < 3; ++i) {
    tick("");
    Check(Frame("R3000")); // the answer, on the next tick
  }
  for (int i = 0; i < 3; ++i)
    tick(""); // the device stops answering
  Check(Frame("R3000"));
  Check("\x13\x37"); // noise, twice, with no poll
  Check("\x13\x37");
  EXPECT_EQ(Lines(), (Strings{"?1, → R3000|转速报告 3000 ×3", "?1,|无应答 ×2",
                              "?1, → R3000|转速报告 3000 ×1", "?1, → \\x137|无法识别（4 字节）"}));
  // Anything else shown ends the fold.
  Feed(TapKind::Opened, "/dev/ttyS0");
  tick("");
  EXPECT_EQ(Lines().back(), "?1,|轮询 ×1");
  // Polls the line did not take are a row apart from those it took.
  Feed(TapKind::Wrote, Frame("?1,"), 7, -1, false, 7);
  Feed(TapKind::Wrote, Frame("?1,"), 7, -1, false, 7);
  tick("");
  const Strings lines = Lines();
  EXPECT_EQ(Strings(lines.end() - 3, lines.end()),
            (Strings{"?1,|轮询 ×1", "?1,|发送失败 ×2", "?1,|轮询 ×1"}));
}

TEST_F(Decoding, ALinkCheckIsAGroupOfItsOwnAndEachAnsweredOneOpensAnother) {
  Try("Q1", Frame("E1"));
  Try("Q1", Frame("E0"));
  for (int i = 1; i < ORDER_ATTEMPTS; ++i)
    Try("Q1", Frame("E0"));
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const auto &r) { return r.second.payload == "通讯检查"; }),
            2);
  EXPECT_EQ(Header().verdict, "Q1：被拒绝 5/5");
}

// A download answered one command late: its last acknowledgement comes only
// after it, and the next download's flush throws it away.
TEST_F(Decoding, AnAcknowledgementTheNextDownloadThrowsAwayShowsTheOneBeforeRanLate) {
  StartDownload();
  Send("F3,");
  Check("", 0);
  Send("F3,");
  Check(Frame("E1")); // the first try's answer, counted for the second
  EXPECT_EQ(Header().verdict, "全部已确认（1 条）");
  const long long first = Header().id;
  StartDownload(Frame("E1")); // the second try's
  EXPECT_EQ(rows[first].verdict, "应答迟到：结果可能属于上一条命令；全部已确认（1 条）");
  // An acknowledgement with no silence before it is no sign of lateness.
  Try("F3,", Frame("E1"));
  StartDownload(Frame("E1"));
  EXPECT_EQ(Lines(false).back(), "下载前丢弃（6 字节）");
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const auto &r) { return r.second.verdict.find("应答迟到") == 0; }),
            1);
}

// The reply owed read after the group (by the panel's next tick, or by
// nuvaroctl's watch), an acknowledgement or a refusal, heads a download or a
// link check late; the commands from the first check that found nothing on
// are the ones in doubt. Any other read first closes the group unmarked.
TEST_F(Decoding, AReplyReadAfterAGroupWhoseRepliesRanLateHeadsItLate) {
  const struct {
    const char *name;
    Strings commands;
    std::size_t silentAt; // this command's first check finds nothing, its second the reply
    std::string after;
    const char *payload;
    const char *verdict;
  } cases[] = {
      {"download, acknowledgement",
       {"F3,", "T30,", "W100,"},
       1,
       Frame("E1"),
       "下载",
       "应答迟到：结果可能属于上一条命令；全部已确认（3 条）"},
      {"download, refusal",
       {"F3,", "T30,", "W100,"},
       0,
       Frame("E0"),
       "下载",
       "应答迟到：结果可能属于上一条命令；全部已确认（3 条）"},
      {"link check, refusal",
       {"Q1"},
       0,
       Frame("E0"),
       "通讯检查",
       "应答迟到：结果可能属于上一条命令；全部已确认（1 条）"},
      {"download, a rate report", {"F3,", "T30,"}, 1, Frame("R3000"), "下载", "全部已确认（2 条）"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<bool> afterSilence;
    int late = 0;
    decoder =
        traffic::Decoder([this](const LogRow &row) { rows[row.id] = row; }, 0,
                         [&](const traffic::Outcome &o) { afterSilence.push_back(o.afterSilence); },
                         [&late] { ++late; });
    if (c.commands[0] != "Q1")
      StartDownload();
    std::vector<bool> expected;
    for (std::size_t i = 0; i < c.commands.size(); ++i) {
      if (i == c.silentAt) {
        Send(c.commands[i]);
        Check("", 0);
        EXPECT_FALSE(decoder.LateRepliesPossible()); // no reply after the silence yet
      }
      Try(c.commands[i], Frame("E1"));
      expected.push_back(i >= c.silentAt);
    }
    EXPECT_TRUE(decoder.LateRepliesPossible());
    const long long header = Header().id;
    Check(c.after);
    EXPECT_EQ(rows[header].payload, c.payload);
    EXPECT_EQ(rows[header].verdict, c.verdict);
    EXPECT_EQ(late, rows[header].verdict.rfind("应答迟到", 0) == 0 ? 1 : 0);
    EXPECT_FALSE(decoder.LateRepliesPossible());
    EXPECT_EQ(afterSilence, expected);
  }
}

TEST_F(Decoding, DrainedBytesAreCountedWithTheReadTheyFollow) {
  const std::string noise(199, '\x13');
  Check(noise);
  Feed(TapKind::Discarded, std::string(200, '\x14'), 0, 5000, true);
  EXPECT_EQ(Lines(false), Strings{"无法识别（至少 5199 字节）"});
  EXPECT_NE(rows.rbegin()->second.bytes.find("…（至少 5199 字节）"), std::string::npos);

  StartDownload(Frame("R1"));
  Send("F3,");
  Check(noise);
  Feed(TapKind::Discarded, "\x14", 0, 801);
  Feed(TapKind::Lost, {}, 0, 3);
  EXPECT_EQ(Lines(false),
            (Strings{"无法识别（至少 5199 字节）", "—", "下载前丢弃（6 字节）", "1/5",
                     "无法识别（199 字节）", "读取后丢弃（801 字节）", "记录丢失（3 条）"}));
}

TEST_F(Decoding, AnOpenFailureGivesOurWordsAndTheSystemsOwn) {
  struct Case {
    rt::TapOpenFault fault;
    int error;
    const char *verdict;
  };
  for (const Case &c :
       {Case{rt::TapOpenFault::System, ENOENT, "打开失败：设备不存在"},
        Case{rt::TapOpenFault::System, EACCES, "打开失败：没有权限"},
        Case{rt::TapOpenFault::System, EBUSY, "打开失败：设备忙：已被其他程序打开"},
        Case{rt::TapOpenFault::Locked, 0, "打开失败：设备忙：被其他程序锁定"},
        Case{rt::TapOpenFault::System, 9999, "打开失败：无法打开（错误号 9999）"}}) {
    rt::TapRecord &r = Make(TapKind::OpenFailed, "/dev/tty\t\xC3(\xE4\xB8\xAD");
    r.fault = c.fault;
    r.error = c.error;
    std::strcpy(r.systemWords, "EACCES: Permission denied");
    decoder.Take(r);
    // Bytes no text may hold are escaped: the row stays one line.
    EXPECT_EQ(Lines().back(), "打开 /dev/tty\\x09\\xC3(中|" + std::string(c.verdict));
    EXPECT_EQ(rows.rbegin()->second.bytes, "EACCES: Permission denied");
  }
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
  std::ifstream file(std::string(NUVARO_SOURCE_DIR) + "/docs/usage.md");
  ASSERT_TRUE(file);
  std::string table = "\n";
  for (std::string line; std::getline(file, line);)
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
