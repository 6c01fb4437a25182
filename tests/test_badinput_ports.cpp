// Port choices that name no serial device: a regular file, a directory, a
// path that does not exist, a FIFO, /dev/null, links. Chosen by typing into
// the port choice or by number, each attempt to open shows the port error,
// the port LED stays dark and nothing else changes.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "badinput_fixture.h"
#include "runtime/controls/port_selector.h"

namespace {

class PortPaths : public BadInputTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BadInputTest::SetUp());
    ASSERT_TRUE(dir.isValid());
  }

  std::string Path(const char *name) const {
    return dir.filePath(QString::fromUtf8(name)).toStdString();
  }

  // The operator types a path into the port choice and presses Enter.
  void TypePath(const std::string &path) {
    QLineEdit *edit = Control<PortSelector>(CTL_PORT)->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(path));
    // Enter goes to the completion drop-down when it is open, as it would.
    QWidget *popup = edit->completer() ? edit->completer()->popup() : nullptr;
    QTest::keyClick(popup && popup->isVisible() ? popup : static_cast<QWidget *>(edit),
                    Qt::Key_Return);
  }

  // The program's way: the path gets a number, the control is set to it and
  // the control's value-changed event follows.
  void ChooseByNumber(const std::string &path) {
    const int port = rt::AddTypedPortChoice(path);
    ASSERT_GT(port, 0);
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, port), 0);
    Event(CTL_PORT, EVENT_VAL_CHANGED);
  }

  // The bad paths, created in the temporary folder.
  Strings MakeBadPaths() {
    Strings paths;
    QFile file(QString::fromStdString(Path("regular")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a terminal\n");
    file.close();
    paths.push_back(Path("regular"));
    QFile(QString::fromStdString(Path("empty"))).open(QIODevice::WriteOnly);
    paths.push_back(Path("empty"));
    EXPECT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    paths.push_back(Path("folder"));
    paths.push_back(Path("missing"));
    paths.push_back(Path("missing-folder/ttyUSB0"));
    paths.push_back(dir.path().toStdString() + "/" + std::string(5000, 'x')); // too long a name
#ifndef _WIN32
    EXPECT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    paths.push_back(Path("pipe"));
    EXPECT_EQ(::symlink(Path("nowhere").c_str(), Path("dangling").c_str()), 0);
    paths.push_back(Path("dangling"));
    EXPECT_EQ(::symlink(Path("folder").c_str(), Path("linked").c_str()), 0);
    paths.push_back(Path("linked"));
    paths.push_back("/dev/null"); // a device, but no terminal
#endif
    return paths;
  }

  // One more port error, the port dark and counted closed, the choice still
  // new, nothing sent anywhere, Settings as stored.
  void ExpectRefused(std::size_t popupsSoFar) {
    EXPECT_EQ(popups, Strings(popupsSoFar, kPortError));
    EXPECT_EQ(popupTitles, Strings(popupsSoFar, ""));
    ExpectPortClosedAndChosenAnew();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Settings, stored);
  }

  QTemporaryDir dir;
};

TEST_F(PortPaths, EveryBadPathTypedOrChosenByNumber) {
  std::size_t expected = 0;
  for (const std::string &path : MakeBadPaths()) {
    for (const bool typed : {true, false}) {
      SCOPED_TRACE((typed ? "typed " : "by number ") + path.substr(0, 80));
      ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, kDevicePort), 0); // quietly back
      slectportchanged = 0;
      SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_SENT);
      if (typed)
        TypePath(path);
      else
        ChooseByNumber(path);
      ASSERT_EQ(Value(CTL_PORT), rt::PortNumberForPath(path))
          << "the path did not become the choice";
      EXPECT_EQ(slectportchanged, 1);
      EXPECT_EQ(SendColour(), COLOR_PENDING);

      Download();
      ExpectRefused(++expected);
      Event(CTL_PORT_LED, EVENT_LEFT_CLICK); // every attempt says so
      ExpectRefused(++expected);
      Event(CTL_COMM_LED, EVENT_LEFT_CLICK); // the link check does not try
      Tick();                                // nor does the timer
      ExpectRefused(expected);
      EXPECT_EQ(Value(CTL_COMM_LED), 0);
    }
  }
}

TEST_F(PortPaths, TypedPathIsTakenExactlyAsTyped) {
  // A listed path that starts with the one typed is never chosen instead.
  // Completion acts only in an active window.
  DisplayPanel(panelHandle);
  QWidget *window = Control<PortSelector>(CTL_PORT)->window();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  TypePath(Path("ttyUSB10"));
  TypePath(Path("ttyUSB1"));
  EXPECT_EQ(rt::PortAssignmentFor(Value(CTL_PORT)).path, Path("ttyUSB1"));
  EXPECT_EQ(Control<PortSelector>(CTL_PORT)->currentText().toStdString(), Path("ttyUSB1"));
  TypePath(Path("ttyUSB10"));
  EXPECT_EQ(rt::PortAssignmentFor(Value(CTL_PORT)).path, Path("ttyUSB10"));
#ifndef _WIN32
  TypePath(Path("TTYUSB1")); // differs from a listed path only in case
  EXPECT_EQ(rt::PortAssignmentFor(Value(CTL_PORT)).path, Path("TTYUSB1"));
#endif
}

TEST_F(PortPaths, NoChoiceFromBlankTextOrUnknownNumbers) {
  Download();
  ASSERT_EQ(portReady, 1);
  for (const char *text : {"", "   ", "\t"}) {
    TypePath(text);
    EXPECT_EQ(Value(CTL_PORT), kDevicePort);
    EXPECT_EQ(slectportchanged, 0);
  }
  int unlisted = 1;
  for (const rt::PortChoice &c : rt::CurrentPortChoices())
    unlisted = std::max(unlisted, c.port + 1);
  for (const int number : {0, -1, INT_MIN, INT_MAX, COM_MAX_PORT + 1, unlisted}) {
    EXPECT_LT(SetCtrlVal(panelHandle, CTL_PORT, number), 0) << number;
    EXPECT_EQ(Value(CTL_PORT), kDevicePort);
  }
  EXPECT_TRUE(popups.empty());
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK); // still the device's port
  EXPECT_EQ(portReady, 1);
  EXPECT_EQ(portNumber, kDevicePort);
}

TEST_F(PortPaths, BackToTheDeviceAfterABadPath) {
  Download(); // the device's port is open and stays so underneath
  ASSERT_EQ(Value(CTL_COMM_LED), 1);
  device->ClearRecord();
  TypePath(Path("missing"));
  Download();
  ExpectRefused(1);
  EXPECT_EQ(Value(CTL_COMM_LED), 1); // nothing was sent, nothing reported on the link
  for (int i = 0; i < 3; ++i)
    Tick();
  Event(CTL_COMM_LED, EVENT_LEFT_CLICK);
  ExpectRefused(1);
  EXPECT_EQ(Value(CTL_COMM_LED), 0);

  ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, kDevicePort), 0);
  Event(CTL_PORT, EVENT_VAL_CHANGED);
  Download();
  EXPECT_EQ(popups.size(), 1u);
  EXPECT_EQ(Sent(), Expected(Settings).commands);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(portReady, 1);
  EXPECT_EQ(portNumber, kDevicePort);
}

} // namespace
