// The link view's decoder grouping what it is fed: folded polls, link checks,
// the line's verdict on a group, the bytes a flush drained and failed opens.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "decoding_fixture.h"
#include "expected_download.h"
#include "link/frame.h"
#include "link/line_account.h"
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

// What the line's account concluded heads the group: out of step, a refusal
// the exchange could not count, or nothing to add. The reads of the look
// after the last command are rows of the group; a check's read names every
// reply it held; the commands from the first try in doubt on are the ones
// whose results nuvaroctl gives as unknown.
TEST_F(Decoding, TheLinesVerdictHeadsTheGroupAndTheLookIsPartOfIt) {
  const struct {
    const char *name;
    bool linkCheck;
    int verdict;
    int firstInDoubt;
    const char *header;
  } cases[] = {
      {"download, refusal uncounted", false, LINE_REFUSAL_UNCOUNTED, 0,
       "拒绝未计入：有命令被设备拒绝；全部已确认（2 条）"},
      {"download, out of step", false, LINE_LATE, 0,
       "应答迟到：结果可能属于上一条命令；全部已确认（2 条）"},
      {"download, in step", false, LINE_IN_STEP, -1, "全部已确认（2 条）"},
      {"link check, out of step", true, LINE_LATE, 0,
       "应答迟到：结果可能属于上一条命令；全部已确认（1 条）"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    rows.clear();
    std::vector<int> lastTries;
    std::vector<int> concluded;
    decoder = traffic::Decoder([this](const LogRow &row) { rows[row.id] = row; }, 0,
                               [&](const traffic::Outcome &o) { lastTries.push_back(o.lastTry); },
                               [&](int verdict, int firstInDoubt) {
                                 concluded = {verdict, firstInDoubt};
                               });
    const std::string first = c.linkCheck ? "Q1" : "F3,";
    if (!c.linkCheck)
      StartDownload();
    Send(first);
    Check("", 0);                          // nothing yet: try 2 follows
    Try(first, Frame("E1") + Frame("E0")); // the first try's answer, and a refusal behind it
    EXPECT_EQ(Lines(false).back(), "已确认；另有 E0 被拒绝");
    if (!c.linkCheck)
      Try("T30,", Frame("E1"));
    const long long header = Header().id;
    Check(Frame("E1")); // the look: a reply after the last command
    EXPECT_EQ(Lines().back(), "E1|已确认 （末条命令之后）");
    Conclude(c.verdict, c.firstInDoubt);
    EXPECT_EQ(rows[header].verdict, c.header);
    EXPECT_EQ(rows[header].tone == 2, c.verdict != LINE_IN_STEP);
    EXPECT_EQ(concluded, (std::vector<int>{c.verdict, c.firstInDoubt}));
    EXPECT_EQ(lastTries, c.linkCheck ? std::vector<int>{1} : (std::vector<int>{1, 2}));
    // After the conclusion a read belongs to no group: the polls' row.
    Check(Frame("E1"));
    EXPECT_EQ(Lines().back(), "?1, → E1|已确认");
    EXPECT_EQ(rows[header].verdict, c.header);
  }
}

// A download's flush that throws away an acknowledgement opens the new
// download and leaves the one before as it was concluded.
TEST_F(Decoding, AnAcknowledgementTheNextDownloadThrowsAwayIsShownThere) {
  StartDownload();
  Try("F3,", Frame("E1"));
  Conclude(LINE_IN_STEP, -1);
  const long long first = Header().id;
  StartDownload(Frame("E1"));
  EXPECT_EQ(rows[first].verdict, "全部已确认（1 条）");
  EXPECT_EQ(Lines(false).back(), "下载前丢弃（6 字节）");
  EXPECT_NE(Header().id, first);
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
