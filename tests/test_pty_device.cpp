// The device model behind a pseudo-terminal, and nuvaro-devsim, reached with
// plain POSIX calls; and the program's serial port on the same terminal
// (PtyLink).
// Reads wait for their bytes with a generous timeout that only guards
// against a hang (child_process.h); nothing here measures time.

#ifndef _WIN32

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "child_process.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "sim/frame_scanner.h"
#include "sim/pty_device.h"

namespace {

using Bytes = std::string;

const Bytes kE1("\x24\x04\x45\x31\x7A\x00", 6);

// Opens the slave as a serial program would. With `raw` false the terminal
// settings are left as the device made them.
int OpenSlave(const std::string &path, bool raw) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd >= 0 && raw) {
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
  }
  return fd;
}

void WriteAll(int fd, const Bytes &bytes) {
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

class PtyDeviceTest : public ::testing::Test {
protected:
  void SetUp() override {
    model = std::make_shared<sim::DeviceModel>(3000);
    pty = std::make_unique<sim::PtyDevice>(model);
    pty->SetFrameLog([this](const sim::FrameEvent &e) {
      std::lock_guard lock(logMutex);
      log.push_back(e.frame.valid ? e.frame.bytes + " -> " + e.reply : "bad");
    });
    std::string error;
    ASSERT_TRUE(pty->Start(&error)) << error;
    ASSERT_EQ(pty->SlavePath().rfind("/dev/", 0), 0u) << pty->SlavePath();
  }
  void TearDown() override {
    if (fd >= 0)
      close(fd);
    rt::CloseAllPorts();
    pty->Stop();
  }
  // Opens the slave as the program's port `port`.
  void OpenPort(int port) {
    rt::AssignPortPath(port, pty->SlavePath());
    ASSERT_EQ(OpenComConfig(port, "", 38400, 0, 8, 1, 1000, 1000), 0);
  }
  Bytes Exchange(const std::string &payload, std::size_t replyBytes) {
    WriteAll(fd, sim::EncodeFrame(payload));
    return ReadBytes(fd, replyBytes);
  }
  std::vector<std::string> Log() {
    std::lock_guard lock(logMutex);
    return log;
  }

  std::shared_ptr<sim::DeviceModel> model;
  std::unique_ptr<sim::PtyDevice> pty;
  int fd = -1;
  std::mutex logMutex;
  std::vector<std::string> log;
};

TEST_F(PtyDeviceTest, AcknowledgesReportsTheRateAndAnswersOnTheTerminalOpenedAgain) {
  fd = OpenSlave(pty->SlavePath(), true);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Exchange("F1,", 6), kE1);
  EXPECT_EQ(Exchange("?1,", 9), Bytes("\x24\x07R3000\x1C\x00", 9));
  EXPECT_EQ(model->RawBytes(), sim::EncodeFrame("F1,") + sim::EncodeFrame("?1,"));
  // The reply is written only after the frame has been logged.
  EXPECT_EQ(Log(), (std::vector<std::string>{"F1, -> E1", "?1, -> R3000"}));

  ASSERT_EQ(Exchange("Q1", 6), kE1);
  close(fd);
  fd = OpenSlave(pty->SlavePath(), true);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Exchange("Q1", 6), kE1);
  EXPECT_EQ(model->Payloads(), (std::vector<std::string>{"F1,", "?1,", "Q1", "Q1"}));
}

TEST_F(PtyDeviceTest, TerminalIsRawBothWaysWithoutHelpFromTheOpener) {
  fd = OpenSlave(pty->SlavePath(), false);
  ASSERT_GE(fd, 0);
  sim::DeviceKnobs knobs;
  knobs.trailing = true; // CR LF after the reply must arrive as CR LF
  model->SetKnobs(knobs);
  // Line-discipline bytes in the command: CR, LF, ^C, ^S, ^Q, DEL, 0xFF.
  const Bytes odd = sim::EncodeFrame(Bytes("T\r\n\x03\x13\x11\x7F\xFF,"));
  WriteAll(fd, odd);
  EXPECT_EQ(ReadBytes(fd, 8), Bytes("\x24\x04\x45\x30\x79\x00\r\n", 8)); // E0
  EXPECT_EQ(model->RawBytes(), odd);
}

using PtyLink = PtyDeviceTest;

TEST_F(PtyLink, OrderGetsTheAcknowledgementFromTheOtherSide) {
  constexpr int kPort = 61;
  OpenPort(kPort);
  portNumber = kPort;
  EXPECT_EQ(order("F1,"), 1);
  EXPECT_EQ(model->RawBytes(), Bytes("\x24\x05\x46\x31\x2C\xA8\x00", 7));
  EXPECT_EQ(std::string(read_data, 6), kE1);
  rt::ClearPortAssignment(kPort);
}

// Descriptors of this process open on `path`.
int DescriptorsOn(const std::string &path) {
  int n = 0;
  const QDir fds(QStringLiteral("/proc/self/fd"));
  for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
    const std::string target = fd.symLinkTarget().toStdString();
    if (target == path || target == path + " (deleted)")
      ++n;
  }
  return n;
}

TEST_F(PtyLink, HungUpPortIsClosedWithItsDescriptor) {
  constexpr int kPort = 62;
  OpenPort(kPort);
  const std::string slave = pty->SlavePath();
  const int before = DescriptorsOn(slave);
  ASSERT_GE(before, 1);
  pty->Stop(); // the other side hangs up
  // Nobody calls the port: the event loop alone finds the hang-up.
  for (int i = 0; i < 200 && rt::IsPortOpen(kPort); ++i) {
    QCoreApplication::processEvents();
    usleep(5000);
  }
  EXPECT_FALSE(rt::IsPortOpen(kPort));
  EXPECT_EQ(DescriptorsOn(slave), 0);
  EXPECT_EQ(GetInQLen(kPort), COM_ERR_IO); // it says why until opened again
  EXPECT_EQ(CloseCom(kPort), 0);
  EXPECT_EQ(GetInQLen(kPort), COM_ERR_NOT_OPEN);
  rt::ClearPortAssignment(kPort);
}

// The exit code, or -1 if the program is still running after the guard.
int ExitCode(pid_t pid) {
  const int status = WaitForExit(pid);
  return status < 0 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Every signal that ends a program by default stops it cleanly; SIGPIPE,
// sent first, does not.
TEST(DevsimProgram, AnswersOnItsTerminalLogsAndStopsOnEachStopSignal) {
  for (const int stop : {SIGTERM, SIGHUP, SIGQUIT, SIGUSR1}) {
    SCOPED_TRACE(stop);
    const Child devsim = SpawnChild({NUVARO_DEVSIM_EXE, "--rate", "1234"});
    ASSERT_GT(devsim.pid, 0);
    const std::string path = ReadLineFrom(devsim.out);
    const int fd = OpenSlave(path, true);
    EXPECT_GE(fd, 0) << "cannot open '" << path << "'";
    if (fd >= 0) {
      WriteAll(fd, sim::EncodeFrame("?1,"));
      EXPECT_EQ(ReadBytes(fd, 9), sim::EncodeFrame("R1234"));
      close(fd);
      const std::string logLine = ReadLineFrom(devsim.err);
      EXPECT_NE(logLine.find(" ?1, -> R1234"), std::string::npos) << logLine;
    }
    kill(devsim.pid, SIGPIPE);
    kill(devsim.pid, stop);
    EXPECT_EQ(ExitCode(devsim.pid), 0);
  }
}

TEST(DevsimProgram, BadOptionExitsWithTwo) {
  const Child devsim = SpawnChild({NUVARO_DEVSIM_EXE, "--latency", "soon"});
  ASSERT_GT(devsim.pid, 0);
  EXPECT_EQ(ExitCode(devsim.pid), 2);
  EXPECT_NE(ReadLineFrom(devsim.err).find("--latency"), std::string::npos);
}

} // namespace

#endif
