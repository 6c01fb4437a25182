// The link view through the real panel: a download as the operator sees it,
// the send button's progress and its shortcut, and what the view says under
// faults of the device (the simulated one, the shared fake byte device, or a
// pseudo-terminal the test plays) and of the port. The verdicts themselves
// are tested on the decoder alone (test_traffic.cpp).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTreeView>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>

#include "badinput_fixture.h"
#include "runtime/controls/log_view.h"
#ifndef _WIN32
#include "sim/raw_pty.h"
#endif

namespace {

class TrafficView : public BadInputTest {
protected:
  // The header row of the last download (no direction, unlike 下载前丢弃).
  QString Header(const QStringList &rows) {
    for (qsizetype i = rows.size(); i > 0; --i)
      if (rows[i - 1].contains(QStringLiteral("\t\t下载")))
        return rows[i - 1];
    return {};
  }
};

// The view is made when it is first opened; what the line carried before is
// listed then, in the list the operator sees.
TEST_F(TrafficView, RowsFromBeforeTheViewWasOpenedAreListedWhenItOpens) {
  Download();
  const QStringList rows = LinkViewRows();
  ASSERT_FALSE(rows.isEmpty());
  Event(CTL_LINK_BUTTON, EVENT_COMMIT);
  auto *view = Control<LogView>(CTL_LINK_VIEW);
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->list()->model(), nullptr);
  EXPECT_EQ(view->list()->model()->rowCount(), rows.size());
  EXPECT_EQ(LinkViewRows(), rows);
}

// Nothing is decoded while the download blocks, yet the button names each
// try as it waits; its own text and shortcut are back before the popup. The
// angle refused at every try heads the group, and the width and the rate
// commands were still sent and acknowledged.
TEST_F(TrafficView, TheSendButtonStepsThroughEachTryAndTheGroupSaysWhatFailed) {
  Knobs([](auto &k) { k.refuse = true, k.refusePrefix = "T"; });
  auto *button = Control<QAbstractButton>(CTL_SEND);
  const QString ownText = button->text();
  const QKeySequence ownShortcut = button->shortcut();
  ASSERT_FALSE(ownShortcut.isEmpty());
  QStringList shown, atPopup;
  rt::SetPopupHandler([&](const std::string &, const std::string &) {
    atPopup << button->text() << button->shortcut().toString();
  });
  DownloadHooked([&](double) { shown << button->text(); });
  const Strings commands = Expected(Settings).commands;
  const QString angle = QString::fromStdString(commands[1]);
  QStringList expected = {ownText}; // the settle wait: nothing sent yet
  for (const std::string &command : commands)
    for (int i = 1; i <= (command[0] == 'T' ? kTries : 1); ++i)
      expected << QStringLiteral("下载中 %1 %2/%3")
                      .arg(QString::fromStdString(command))
                      .arg(i)
                      .arg(kTries);
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(atPopup, (QStringList{ownText, ownShortcut.toString()}));
  EXPECT_EQ(button->text(), ownText);
  EXPECT_EQ(button->shortcut(), ownShortcut);

  const QStringList rows = LinkViewRows();
  EXPECT_TRUE(Header(rows).endsWith(QStringLiteral("\t%1：被拒绝 5/5").arg(angle)));
  for (std::size_t i = 2; i < commands.size(); ++i) {
    const qsizetype sent = rows.indexOf(QRegularExpression(
        QStringLiteral(".*\t    %1\t.*").arg(QString::fromStdString(commands[i]))));
    ASSERT_GE(sent, 0) << commands[i];
    ASSERT_LT(sent + 1, rows.size());
    EXPECT_TRUE(rows[sent + 1].endsWith(QStringLiteral("已确认"))) << rows[sent + 1].toStdString();
  }
}

// A device 150 ms late: every check finds the reply to the send before it.
// Refusing the angle, the download fails and the header says a refusal went
// uncounted; accepting everything, it succeeds, the header warns, and the
// look after the last command is a row of the group. A refusal read behind
// an acceptance is named in its check's row. A device in time that misses
// one reply: no note.
TEST_F(TrafficView, LateRepliesAreNamedAndOneMissedReplyIsNot) {
  Knobs([](auto &k) { k.latency = 0.15, k.refuse = true, k.refusePrefix = "T"; });
  Download();
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  EXPECT_TRUE(Header(LinkViewRows()).contains(QStringLiteral("拒绝未计入：有命令被设备拒绝")));

  clock.Advance(5.0);
  popups.clear();
  Knobs([](auto &k) { k.latency = 0.15; });
  Download();
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  QStringList rows = LinkViewRows();
  EXPECT_TRUE(Header(rows).contains(QStringLiteral("应答迟到：结果可能属于上一条命令")))
      << Header(rows).toStdString();
  EXPECT_TRUE(rows.back().endsWith(QStringLiteral("已确认 （末条命令之后）")))
      << rows.back().toStdString();

  clock.Advance(5.0);
  Knobs([](auto &k) { k.latencyFor = {{"F3", 0.15}}, k.refuse = true, k.refusePrefix = "T"; });
  Download();
  rows = LinkViewRows();
  EXPECT_TRUE(rows.filter(QStringLiteral("已确认；另有 E0 被拒绝")).size() == 1);

  auto fake = Attach(std::make_shared<FakeDevice>());
  int writes = 0;
  fake->onWrite = [&writes](FakeDevice &d, const std::string &bytes, double now) {
    if (++writes != 2 && bytes != Frame("?1,"))
      d.Queue(Frame("E1"), now);
  };
  slectportchanged = 1;
  clock.Advance(5.0);
  Download();
  clock.Advance(0.5);
  Tick();
  Tick();
  const QString header = Header(LinkViewRows());
  const std::size_t commands = Expected(Settings).commands.size();
  EXPECT_TRUE(header.endsWith(QStringLiteral("全部已确认（%1 条）").arg(commands)))
      << header.toStdString();
  EXPECT_FALSE(header.contains(QStringLiteral("应答迟到")));
}

// Unanswered polls after answered ones are 无应答; a reply with a tab and a
// newline in its frame still copies as one line of five cells.
TEST_F(TrafficView, PollsGoneQuietAndControlBytesInAFrame) {
  auto fake = Attach(std::make_shared<FakeDevice>());
  bool answer = true;
  fake->onWrite = [&answer](FakeDevice &d, const std::string &, double now) {
    if (answer)
      d.Queue(Frame("R12\t\n34"), now);
  };
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  for (int i = 0; i < 4; ++i)
    Tick();
  answer = false;
  for (int i = 0; i < 3; ++i)
    Tick();
  const QStringList rows = LinkViewRows();
  ASSERT_GE(rows.size(), 2);
  const QString reports = rows[rows.size() - 2];
  EXPECT_TRUE(reports.contains(QStringLiteral("R12\\x09\\x0A34\t"))) << reports.toStdString();
  EXPECT_TRUE(reports.endsWith(QStringLiteral("\t转速报告 12 ×4"))) << reports.toStdString();
  EXPECT_TRUE(rows.back().endsWith(QStringLiteral("\t无应答 ×3"))) << rows.back().toStdString();
  for (const QString &row : rows)
    EXPECT_EQ(row.count(QLatin1Char('\t')), 4) << row.toStdString();
}

#ifndef _WIN32 // pseudo-terminals: Linux only
// The line's faults over a pseudo-terminal whose other side the test plays.
class TrafficOverPty : public TrafficView {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TrafficView::SetUp());
    std::string problem;
    pty = sim::OpenRawPty(&problem);
    ASSERT_GE(pty.master, 0) << problem;
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, rt::AddTypedPortChoice(pty.slavePath)), 0);
  }
  void TearDown() override {
    rt::CloseAllPorts();
    close(pty.master);
    TrafficView::TearDown();
  }
  // Writes as much of `bytes` as `fd` takes now, down to its last byte of
  // room; returns the count.
  static std::size_t Stuff(int fd, const std::string &bytes) {
    std::size_t sent = 0;
    for (std::size_t chunk = bytes.size(); chunk > 0 && sent < bytes.size();) {
      const ssize_t n = write(fd, bytes.data() + sent, std::min(chunk, bytes.size() - sent));
      if (n > 0)
        sent += static_cast<std::size_t>(n);
      else
        chunk /= 2;
    }
    return sent;
  }
  sim::RawPty pty;
};

// A burst of 20,000 bytes right after a poll, far more than one read, the
// port's buffer and the terminal's input buffer hold, is counted byte for
// byte: what the flush after each read takes is read away and counted, not
// dropped by the system unseen.
TEST_F(TrafficOverPty, ABurstIsCountedByteForByte) {
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  Tick(); // the poll
  const std::string burst(20000, '\x13');
  std::size_t sent = Stuff(pty.master, burst);
  auto counted = [this] {
    const QString row = LinkViewRows().back();
    const qsizetype at = row.indexOf(QStringLiteral("无法识别（"));
    return at < 0 ? 0 : row.mid(at + 5).section(QLatin1Char(' '), 0, 0).toInt();
  };
  // Until every byte is counted; a count that falls short ends at the guard.
  for (int guard = 0; guard < 300 && (sent < burst.size() || counted() < 20000); ++guard) {
    Tick();
    sent += Stuff(pty.master, burst.substr(sent));
    usleep(2000); // the terminal passes the next bytes on
  }
  Tick();
  EXPECT_EQ(counted(), 20000) << LinkViewRows().back().toStdString();
  EXPECT_FALSE(LinkViewRows().back().contains(QStringLiteral("至少")));
}

// A peer that does not read: a frame the line did not take is 发送失败 in
// the view; the exchange, its popup and the LEDs are as they always were.
TEST_F(TrafficOverPty, FramesTheLineDidNotTakeAreSendFailures) {
  // Opened before the port takes the terminal for itself.
  const int stuffer = open(pty.slavePath.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(stuffer, 0);
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  // Until the line is full: the terminal makes room once more as it passes
  // what it holds on to the side that does not read.
  for (int guard = 0; guard < 50 && Stuff(stuffer, std::string(1 << 16, 'x')) > 0; ++guard)
    usleep(10000);
  Download();
  EXPECT_EQ(popups, std::vector<std::string>{kCommError});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  // The first try met the full line; dropping it emptied the line's queue, so
  // the system took the next tries, which the peer never answered.
  const QStringList rows = LinkViewRows();
  EXPECT_EQ(rows.filter(QStringLiteral("\t    F3,\t")).size(), 5) << rows.join('\n').toStdString();
  EXPECT_TRUE(
      rows.filter(QStringLiteral("\t    F3,\t")).first().endsWith(QStringLiteral("1/5 发送失败")));
  EXPECT_TRUE(Header(rows).endsWith(QStringLiteral("F3,：无应答 5/5")));
  close(stuffer);
}

// Missing, permission denied and busy are three reasons, in Chinese, with
// the system's own words after them in no language but its own.
TEST_F(TrafficOverPty, OpenFailuresSayWhyWhateverTheLocale) {
  constexpr int kHolder = COM_MAX_PORT; // another number on the same path
  rt::AssignPortPath(kHolder, pty.slavePath);
  ASSERT_EQ(OpenComConfig(kHolder, "", 38400, 0, 8, 1, 1000, 1000), 0);
  const bool root = getuid() == 0;
  struct Case {
    std::string path;
    const char *reason;
    const char *systemWords;
    bool needsPath = true;
  };
  const Case cases[] = {
      {"/dev/nuvaro-no-such-port", "设备不存在", "ENOENT: No such file or directory", false},
      // Not writable, not even by root.
      {"/sys/devices/system/cpu/online", "没有权限", "EACCES: Permission denied"},
      // The terminal, held under another number: by the lock file, and for
      // all but root by the exclusive flag.
      {pty.slavePath, root ? "设备忙：被其他程序锁定" : "设备忙：已被其他程序打开",
       root ? "" : "EBUSY: Device or resource busy"},
  };
  std::size_t tried = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.path);
    if (c.needsPath && access(c.path.c_str(), F_OK) != 0) {
      std::printf("skipped: no %s to be refused\n", c.path.c_str());
      continue;
    }
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, rt::AddTypedPortChoice(c.path)), 0);
    Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
    ++tried;
    const QString row = LinkViewRows().back();
    EXPECT_TRUE(
        row.endsWith(QStringLiteral("%1\t打开失败：%2")
                         .arg(QString::fromUtf8(c.systemWords), QString::fromUtf8(c.reason))))
        << row.toStdString();
  }
  EXPECT_EQ(popups, std::vector<std::string>(tried, kPortError)); // the popup as it always was
  CloseCom(kHolder);
  rt::ClearPortAssignment(kHolder);
}
#endif

} // namespace
