// The link view's decoding: the verdict for each kind of read, in agreement
// with the program's own recognition, and a download as the operator sees it
// in the view.
#include <gtest/gtest.h>

#include <QStringList>
#include <QTreeView>

#include "link/frame.h"
#include "link/traffic_verdict.h"
#include "link_fixture.h"
#include "panel_fixture.h"
#include "runtime/controls/log_view.h"

namespace {

struct VerdictRow {
  const char *name;
  std::string bytes;
  std::string verdict;
  std::string payload;
};

const VerdictRow kReads[] = {
    {"acknowledged", Frame("E1"), "已确认", "E1"},
    {"refused", Frame("E0"), "被拒绝", "E0"},
    {"refused with another number", Frame("E7"), "被拒绝", "E7"},
    {"rate report", Frame("R3000"), "转速报告", "R3000"},
    {"without its terminator", Frame("E1").substr(0, 5), "已确认", "E1"},
    {"followed by CR LF", Frame("E1") + "\r\n", "已确认", "E1"},
    {"other reply letter", Frame("X1"), "未知应答", "X1"},
    {"checksum off by one",
     std::string("$\x04"
                 "E1\x7B",
                 5) +
         '\0',
     "校验和错误", "E1"},
    {"stray byte in front", "\xFF" + Frame("E1"), "无法识别（7 字节）", "\\xFF$\\x04E1z\\x00"},
    {"checksum 0x00 ends the text early", Frame("R699"), "无法识别（8 字节）",
     "$\\x06R699\\x00\\x00"},
    {"noise", "\x13\x37\x42", "无法识别（3 字节）", "\\x137B"},
    {"frame with no payload", std::string("$\x02\x02\x00", 4), "无法识别（4 字节）",
     "$\\x02\\x02\\x00"},
    {"a $ further in", std::string("\x41\x05\x45\x31\x24\x07\x78\x7F\x00", 9), "无法识别（9 字节）",
     "A\\x05E1$\\x07x\\x7F\\x00"},
};

using TrafficVerdicts = LinkTest;

TEST_F(TrafficVerdicts, EachReadIsNamedAsTheProgramTakesIt) {
  for (const VerdictRow &row : kReads) {
    SCOPED_TRACE(row.name);
    const TrafficVerdict v = IncomingVerdict(row.bytes);
    EXPECT_EQ(v.verdict, row.verdict);
    EXPECT_EQ(v.payload, row.payload);
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

// Downloads against a device with one fault each, as the view lists them.
class TrafficView : public PanelTest {
protected:
  QStringList Rows() {
    auto *view = qobject_cast<LogView *>(rt::ControlWidget(panelHandle, CTL_LINK_VIEW));
    if (!view)
      return {};
    view->refreshNow();
    return view->copyText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  // The header row of the last download.
  QString Header(const QStringList &rows) {
    for (qsizetype i = rows.size(); i > 0; --i)
      if (rows[i - 1].contains(QStringLiteral("\t下载")))
        return rows[i - 1];
    return {};
  }
};

TEST_F(TrafficView, TheGroupHeaderNamesTheCommandThatFailedAndHow) {
  struct Fault {
    const char *name;
    sim::DeviceKnobs knobs;
    const char *header;
    const char *row; // a row every such download shows
  };
  sim::DeviceKnobs refuseAngle, silent, noise;
  refuseAngle.refuse = true;
  refuseAngle.refusePrefix = "T";
  silent.silent = true;
  noise.strayByte = true;
  const Fault faults[] = {
      {"angle refused", refuseAngle, "T30,：被拒绝 5/5", "\t→\t    R3000,\t"},
      {"silent", silent, "F3,：无应答 5/5", "\t←\t    —\t\t无应答"},
      {"stray byte", noise, "F3,：无法识别 5/5", "无法识别（7 字节）"},
  };
  for (const Fault &f : faults) {
    SCOPED_TRACE(f.name);
    device->SetKnobs(f.knobs);
    Download();
    const QStringList rows = Rows();
    const QString header = Header(rows);
    EXPECT_TRUE(header.endsWith(QString::fromUtf8(f.header))) << header.toStdString();
    EXPECT_TRUE(rows.filter(QString::fromUtf8(f.row)).size() > 0) << rows.join('\n').toStdString();
  }
  // The refused angle: W, F1 and R were still sent, and each acknowledged.
  device->SetKnobs(refuseAngle);
  Download();
  const QStringList rows = Rows();
  const qsizetype at = rows.lastIndexOf(Header(rows));
  ASSERT_GE(at, 0);
  for (const char *command : {"W100,", "F1,", "R3000,"}) {
    const QString wanted = QStringLiteral("\t→\t    %1\t").arg(QLatin1String(command));
    qsizetype sent = at;
    while (sent < rows.size() && !rows[sent].contains(wanted))
      ++sent;
    ASSERT_LT(sent, rows.size()) << command;
    ASSERT_LT(sent + 1, rows.size());
    EXPECT_TRUE(rows[sent + 1].endsWith(QStringLiteral("已确认"))) << rows[sent + 1].toStdString();
  }
}

// The view is made when it is first opened; what the line carried before is
// listed then, in the list the operator sees.
TEST_F(TrafficView, RowsFromBeforeTheViewWasOpenedAreListedWhenItOpens) {
  Download();
  const QStringList rows = Rows();
  ASSERT_FALSE(rows.isEmpty());
  Event(CTL_LINK_BUTTON, EVENT_COMMIT);
  auto *view = qobject_cast<LogView *>(rt::ControlWidget(panelHandle, CTL_LINK_VIEW));
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->list()->model(), nullptr);
  EXPECT_EQ(view->list()->model()->rowCount(), rows.size());
  EXPECT_EQ(Rows(), rows);
}

} // namespace
