// Windows: every console control event closes the open port before the
// program ends, and the program ends with STATUS_CONTROL_C_EXIT, as one that
// Ctrl+C ends does by default. The console program's start-up runs in a child
// (this test program in a child role) whose port has a device in the process
// that says when it is closed; the child calls the control handler as the
// system does, from a thread of its own, while it waits in Delay as nuvaroctl
// does. A closed console, a log-off and a shutdown end the process as soon as
// the handler returns: the handler must not return before the port is closed.
// Ctrl+C and Ctrl+Break sent through a real console are checked under Wine by
// scripts/windows-checks/.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <windows.h>

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "runtime/console/stop_signals.h"
#include "runtime/core/console_ops.h"
#include "runtime/core/delay.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"

namespace {

constexpr int kChildPort = 7;

// Says "closed" when the port that owns it lets it go.
class AnnouncingDevice final : public rt::ByteDevice {
public:
  ~AnnouncingDevice() override { std::puts("closed"); }
  void Receive(const unsigned char *, int, double) override {}
  int Readable(double) override { return 0; }
  int Take(unsigned char *, int, double) override { return 0; }
  void DiscardReadable(double) override {}
};

} // namespace

// The child role: opens the port, says "open", hands `event` to the control
// handler from another thread and waits in Delay. Says "handler returned"
// if the handler returns while the process still runs.
int ConsoleEventChild(int argc, char **argv) {
  if (argc < 3 || InitConsoleRTE(argv) == 0)
    return 1;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const unsigned long event = std::strtoul(argv[2], nullptr, 10);
  rt::AssignPortDevice(kChildPort, std::make_shared<AnnouncingDevice>());
  if (OpenComConfig(kChildPort, "", 38400, 0, 8, 1, 1000, 1000) != 0)
    return 1;
  rt::ClearPortAssignment(kChildPort); // the open port is the device's one owner
  std::puts("open");
  std::thread([event] {
    if (rt::stop::OnConsoleEvent(event))
      std::puts("handler returned");
  }).detach();
  for (int i = 0; i < 200; ++i)
    Delay(0.05);
  std::puts("still running");
  return 0;
}

namespace {

TEST(ConsoleEvents, EachClosesThePortAndEndsTheProgramAsCtrlCDoes) {
  struct Case {
    unsigned long event;
    bool handlerWaitsForTheClose; // else it may return before the main thread acts
  };
  const Case cases[] = {
      {CTRL_C_EVENT, false},     {CTRL_BREAK_EVENT, false},   {CTRL_CLOSE_EVENT, true},
      {CTRL_LOGOFF_EVENT, true}, {CTRL_SHUTDOWN_EVENT, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.event);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--console-event-child"), QString::number(c.event)});
    ASSERT_TRUE(child.waitForFinished(30000));
    const std::string said = QString::fromLocal8Bit(child.readAllStandardOutput())
                                 .remove(QLatin1Char('\r'))
                                 .toStdString();
    EXPECT_EQ(static_cast<unsigned long>(child.exitCode()), 0xC000013AUL);
    const auto open = said.find("open\n"), closed = said.find("closed\n"),
               returned = said.find("handler returned");
    EXPECT_EQ(open, 0u) << said;
    EXPECT_NE(closed, std::string::npos) << said;
    EXPECT_EQ(said.find("still running"), std::string::npos) << said;
    // The process may end before or after the handler returns; never does
    // the handler return before the port is closed.
    if (c.handlerWaitsForTheClose && returned != std::string::npos) {
      EXPECT_GT(returned, closed) << said;
    }
  }
  // Any other event is not the program's: the handler leaves it to the next.
  EXPECT_FALSE(rt::stop::OnConsoleEvent(99));
}

} // namespace
#endif
