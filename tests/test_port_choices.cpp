// The system's ports as the port choice lists them, on given data: labels,
// numbers, and which paths name one port (on Windows a port name ignores
// case and the \\.\ prefix; on POSIX a path is a file name). Why a port did
// not open, from Windows' error numbers, in the link view's words. The time
// of day in local time.
#include <gtest/gtest.h>

#include <QDateTime>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/port_choices.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_tap.h"
#include "runtime/core/time_of_day.h"
#include "runtime/serial/open_failure.h"
#include "runtime/serial/system_words.h"
#include "traffic/reading.h"
#include "traffic/words.h"

namespace {

TEST(PortChoices, SystemPortsAreLabelledWithTheirDescriptionsAndListedOnce) {
#ifdef _WIN32
  const std::vector<rt::SystemPort> ports = {
      {"COM203", "\\\\.\\COM203", "USB Serial Port"},
      {"COM204", "\\\\.\\COM204", ""},
      {"COM205", "\\\\.\\COM205", "通讯端口"},
      {"com203", "\\\\.\\com203", "USB Serial Port"}, // the first again
  };
  const std::vector<int> numbers = {203, 204, 205};
#else
  const std::vector<rt::SystemPort> ports = {
      {"ttyUSB203", "/dev/ttyUSB203", "USB Serial Port"},
      {"ttyS204", "/dev/ttyS204", ""},
      {"ttyACM205", "/dev/ttyACM205", "通讯端口"},
  };
  const std::vector<int> numbers = {};
#endif
  const std::vector<rt::PortChoice> choices = rt::SystemPortChoices(ports);
  ASSERT_EQ(choices.size(), 3u);
  const std::vector<std::string> labels = {ports[0].name + " — USB Serial Port", ports[1].name,
                                           ports[2].name + " — 通讯端口"};
  for (std::size_t i = 0; i < choices.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(choices[i].label, labels[i]);
    // Listed as the operator types it: COM203, not \\.\COM203.
    EXPECT_EQ(choices[i].path, numbers.empty() ? ports[i].location : ports[i].name);
    EXPECT_EQ(choices[i].port, rt::PortNumberForPath(ports[i].location));
    EXPECT_FALSE(choices[i].typed || choices[i].builtIn);
    if (!numbers.empty())
      EXPECT_EQ(choices[i].port, numbers[i]); // COMn is number n
    else
      EXPECT_GE(choices[i].port, 33); // beyond the numbers of /dev/ttyS0..31
  }
}

TEST(PortChoices, PathsNameOnePortAsTheSystemDoes) {
  struct Case {
    const char *listed;
    const char *typed;
    bool samePort;
  };
#ifdef _WIN32
  const Case cases[] = {
      {"\\\\.\\COM212", "COM212", true},       {"\\\\.\\COM213", "com213", true},
      {"COM214", "\\\\.\\cOm214", true},       {"\\\\.\\COM215", "COM2150", false},
      {"\\\\.\\COM216", "\\\\.\\COM2", false}, {"COM217", "Com217", true},
  };
#else
  const Case cases[] = {
      {"/dev/ttyUSB212", "/dev/ttyUSB212", true},
      {"/dev/ttyUSB213", "/dev/TTYUSB213", false},
      {"/dev/ttyUSB214", "\\\\.\\/dev/ttyUSB214", false},
      {"/dev/ttyUSB215", "/dev/ttyUSB2150", false},
  };
#endif
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.listed) + " / " + c.typed);
    const int listed = rt::PortNumberForPath(c.listed);
    ASSERT_GT(listed, 0);
    EXPECT_EQ(rt::AddTypedPortChoice(c.typed) == listed, c.samePort);
    EXPECT_EQ(rt::PortPathKey(c.listed) == rt::PortPathKey(c.typed), c.samePort);
  }
}

// The name the list shows and the port table keeps is the one an operator
// types: on Windows a COM port of any case and number, with or without the
// device namespace, is COMn; anything else, and every POSIX path, as given.
TEST(PortChoices, EachPortIsNamedAsTheOperatorTypesIt) {
  struct Case {
    const char *given;
    const char *windows;
  };
  const Case cases[] = {
      {"com10", "COM10"},
      {"Com256", "COM256"},
      {"\\\\.\\com12", "COM12"},
      {"\\\\.\\COM1", "COM1"},
      {"COM", "COM"},
      {"com1x", "com1x"},
      {"\\\\.\\CNCA0", "\\\\.\\CNCA0"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.given);
#ifdef _WIN32
    EXPECT_EQ(rt::OperatorPortName(c.given), c.windows);
#else
    EXPECT_EQ(rt::OperatorPortName(c.given), c.given);
#endif
  }
#ifdef _WIN32
  // A typed com240 is listed, and opened, as COM240.
  const int port = rt::AddTypedPortChoice("com240");
  ASSERT_GT(port, 0);
  EXPECT_EQ(rt::PortAssignmentFor(port).path, "COM240");
  bool listed = false;
  for (const rt::PortChoice &choice : rt::CurrentPortChoices())
    listed = listed || (choice.port == port && choice.label == "COM240" && choice.path == "COM240");
  EXPECT_TRUE(listed);
#endif
}

// A port another program holds is busy, whichever of its two refusals
// Windows (access denied) or Wine (a sharing violation) gives.
TEST(OpenFailures, WindowsErrorsInTheLinkViewsWords) {
  struct Case {
    unsigned long error;
    int errnoValue;
    const char *words;
  };
  const Case cases[] = {
      {5, EBUSY, "设备忙：已被其他程序打开"},  // ERROR_ACCESS_DENIED
      {32, EBUSY, "设备忙：已被其他程序打开"}, // ERROR_SHARING_VIOLATION
      {2, ENOENT, "设备不存在"},               // ERROR_FILE_NOT_FOUND: no COM12
      {3, ENOENT, "设备不存在"},               // ERROR_PATH_NOT_FOUND
      {123, ENOENT, "设备不存在"},             // ERROR_INVALID_NAME
      {1617, ENXIO, "设备未连接"},             // ERROR_DEVICE_REMOVED
      {31, EIO, "输入输出错误"},               // ERROR_GEN_FAILURE
      {4, EMFILE, "打开的文件过多"},           // ERROR_TOO_MANY_OPEN_FILES
      {999999, EIO, "输入输出错误"},           // none the table knows
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.error);
    const rt::OpenFailure failure = rt::OpenFailureOfWindowsError(c.error);
    EXPECT_EQ(failure.fault, rt::TapOpenFault::System);
    EXPECT_EQ(failure.error, c.errnoValue);
    EXPECT_EQ(failure.systemError, c.error); // Windows' own number is kept
    EXPECT_EQ(traffic::OpenFailureWords(failure.fault, failure.error), c.words);
  }
}

// The system's own words beside the link view's: on Windows Windows' number
// and FormatMessageW's words, never an errno; on POSIX the error's name and
// its untranslated description. Cut at a whole character when long.
TEST(OpenFailures, TheSystemsOwnWordsFitTheirRoom) {
  char words[rt::kTapWordsBytes];
  rt::SystemErrorWords(EBUSY, 5, words, sizeof words); // ERROR_ACCESS_DENIED
  const std::string said = words;
#ifdef _WIN32
  EXPECT_EQ(said.rfind("Windows 错误 5：", 0), 0u) << said;
  EXPECT_GT(said.size(), std::string("Windows 错误 5：").size()) << said;
  EXPECT_EQ(said.find("errno"), std::string::npos) << said;
#else
  EXPECT_EQ(said, "EBUSY: Device or resource busy");
#endif
  for (int room : {1, 8, 10, 17, 20, 23}) {
    SCOPED_TRACE(room);
    char small[32];
    std::memset(small, 'x', sizeof small);
    rt::SystemErrorWords(EBUSY, 32, small, room);
    const std::size_t length = strnlen(small, sizeof small);
    ASSERT_LT(length, static_cast<std::size_t>(room));
    const std::string cut(small, length);
    EXPECT_EQ(traffic::EscapedName(cut.data(), int(cut.size())), cut) << "a character cut in two";
  }
}

// The link view's and nuvaroctl's clock agrees with Qt's local time (on
// Windows, Windows' own time zone), across the year's changes of offset.
TEST(TimeOfDay, IsLocalTime) {
  const long long dates[] = {
      0,               // the epoch
      1700000000123LL, // November
      1719835200999LL, // July: summer time where there is one
      1711846800500LL, // the end of March, around a change
      1730000000001LL, // the end of October, around a change
      -1500LL,         // before the epoch: 999 ms would be wrong
  };
  for (const long long ms : dates) {
    SCOPED_TRACE(ms);
    EXPECT_EQ(rt::TimeOfDayText(ms), QDateTime::fromMSecsSinceEpoch(ms)
                                         .toLocalTime()
                                         .toString(QStringLiteral("HH:mm:ss.zzz"))
                                         .toStdString());
  }
}

} // namespace
