// The link view's decoder grouping what it is fed: folded polls, link checks,
// replies that ran late, the bytes a flush drained and failed opens.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "decoding_fixture.h"
#include "expected_download.h"
#include "link/frame.h"
#include "parameters.h"

namespace {

using rt::TapKind;
using traffic_test::Decoding;
using traffic_test::Strings;

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

} // namespace
