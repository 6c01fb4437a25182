#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "link_fixture.h"
#include "runtime/core/delay.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "runtime/core/serial_tap.h"
#include "sim/raw_pty.h"

namespace {

constexpr int kPort = 11;

int Open(const std::string &path) {
  return OpenComConfig(kPort, path.c_str(), 38400, 0, 8, 1, 1000, 1000);
}

// Closed ports, invalid numbers and paths that are no serial device.
TEST(SerialOps, ClosedOrInvalidPortsAndPathsOfNoSerialDeviceReportErrors) {
  char bytes[4] = {};
  EXPECT_EQ(GetInQLen(kPort), COM_ERR_NOT_OPEN);
  EXPECT_EQ(ComRd(kPort, bytes, 4), COM_ERR_NOT_OPEN);
  EXPECT_EQ(ComWrt(kPort, "x", 1), COM_ERR_NOT_OPEN);
  EXPECT_EQ(FlushInQ(kPort), COM_ERR_NOT_OPEN);
  for (const int bad : {0, -5, COM_MAX_PORT + 1})
    EXPECT_EQ(OpenComConfig(bad, "", 38400, 0, 8, 1, 1000, 1000), COM_ERR_BAD_PORT) << bad;

  const auto dir = std::filesystem::temp_directory_path() / "nuvaro-serial-test";
  std::filesystem::create_directories(dir);
  const auto file = dir / "plain.txt";
  std::ofstream(file) << "not a serial port";
  EXPECT_EQ(Open(file.string()), COM_ERR_OPEN);
  EXPECT_EQ(Open(dir.string()), COM_ERR_OPEN);
  EXPECT_EQ(Open((dir / "missing").string()), COM_ERR_OPEN);
  EXPECT_FALSE(rt::IsPortOpen(kPort));
  std::filesystem::remove_all(dir);
}

TEST(SerialOps, UnassignedNumbersUseThePlatformName) {
#ifdef _WIN32
  EXPECT_EQ(rt::DefaultDeviceName(3), "COM3");
#else
  EXPECT_EQ(rt::DefaultDeviceName(1), "/dev/ttyS0");
#endif
  rt::AssignPortPath(kPort, "/dev/nuvaro-none");
  EXPECT_EQ(rt::PortAssignmentFor(kPort).path, "/dev/nuvaro-none");
  rt::ClearPortAssignment(kPort);
  EXPECT_EQ(rt::PortAssignmentFor(kPort).path, rt::DefaultDeviceName(kPort));
}

// The fake device on port LinkTest::kPort.
using InProcessPort = LinkTest;
using SerialTap = LinkTest;

TEST_F(InProcessPort, VanishedDeviceReportsAnError) {
  device->Queue("abc");
  EXPECT_EQ(GetInQLen(kPort), 3);
  device->present = false;
  EXPECT_LT(GetInQLen(kPort), 0);
  EXPECT_LT(ComWrt(kPort, "x", 1), 0);
  // Opening it again fails cleanly while it is gone.
  EXPECT_EQ(Reopen(), COM_ERR_OPEN);
  device->present = true;
  EXPECT_EQ(Reopen(), 0);
}

// The tap holds what the program did until the event loop runs. A burst
// longer than its ring keeps the oldest records, drops the rest and says how
// many after the kept ones; a record keeps the first bytes and the true count.
TEST_F(SerialTap, AFullRingKeepsTheOldestAndCountsWhatItDropped) {
  static std::vector<rt::TapRecord> seen;
  seen.clear();
  rt::SetSerialTap([](const rt::TapRecord &r) { seen.push_back(r); });
  ASSERT_EQ(Reopen(), 0); // one record
  const std::string longWrite(rt::kTapHeadBytes + 100, 'w');
  EXPECT_EQ(ComWrt(kPort, longWrite.c_str(), static_cast<int>(longWrite.size())),
            static_cast<int>(longWrite.size()));
  const int more = rt::kTapRingSize + 40;
  for (int i = 0; i < more; ++i)
    ComWrt(kPort, std::to_string(i).c_str(), static_cast<int>(std::to_string(i).size()));
  EXPECT_EQ(rt::SerialTapWaiting(), rt::kTapRingSize);
  EXPECT_TRUE(seen.empty()); // nothing is handed out inside the serial calls

  rt::DrainSerialTap();
  ASSERT_EQ(seen.size(), static_cast<std::size_t>(rt::kTapRingSize) + 1);
  EXPECT_EQ(seen[0].kind, rt::TapKind::Opened);
  EXPECT_EQ(seen[1].count, static_cast<long long>(longWrite.size()));
  EXPECT_EQ(seen[1].headCount, rt::kTapHeadBytes);
  const rt::TapRecord &lastKept = seen[rt::kTapRingSize - 1];
  EXPECT_EQ(std::string(lastKept.head, static_cast<std::size_t>(lastKept.headCount)),
            std::to_string(rt::kTapRingSize - 3));
  EXPECT_EQ(seen.back().kind, rt::TapKind::Lost);
  EXPECT_EQ(seen.back().count, more - (rt::kTapRingSize - 2));
  EXPECT_EQ(rt::SerialTapWaiting(), 0);

  // Once drained, the next record goes through and no loss is told again.
  seen.clear();
  ComWrt(kPort, "x", 1);
  rt::DrainSerialTap();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, rt::TapKind::Wrote);

  rt::SetSerialTap(nullptr);
}

#ifndef _WIN32
// A pseudo-terminal opened through the serial device code: bytes pass
// unaltered both ways, and bytes that arrive while the program is blocked are
// counted without running the event loop.
class PseudoTerminalPort : public ::testing::Test {
protected:
  void SetUp() override {
    std::string problem;
    sim::RawPty pty = sim::OpenRawPty(&problem);
    ASSERT_GE(pty.master, 0) << problem;
    master = pty.master;
    path = pty.slavePath;
    rt::AssignPortPath(kPort, path);
  }
  void TearDown() override {
    CloseCom(kPort);
    rt::ClearPortAssignment(kPort);
    if (master >= 0)
      close(master);
  }

  // GetInQLen after each of up to `tries` short delays, until `done` holds for it.
  static int InQLenOnce(bool (*done)(int), int tries = 200) {
    int waiting = 0;
    for (int i = 0; i < tries && !done(waiting); ++i) {
      Delay(0.005);
      waiting = GetInQLen(kPort);
    }
    return waiting;
  }

  int master = -1;
  std::string path;
};

TEST_F(PseudoTerminalPort, BytesPassUnalteredBothWays) {
  ASSERT_EQ(Open(""), 0) << path;
  const std::string all = [] {
    std::string s;
    for (int i = 0; i < 256; ++i)
      s += static_cast<char>(i);
    return s;
  }();
  ASSERT_EQ(ComWrt(kPort, all.data(), static_cast<int>(all.size())), 256);
  EXPECT_EQ(ReadBytes(master, 256), all);

  ASSERT_EQ(write(master, all.data(), all.size()), 256);
  ASSERT_EQ(InQLenOnce([](int n) { return n >= 256; }), 256);
  char back[256];
  ASSERT_EQ(ComRd(kPort, back, 256), 256);
  EXPECT_EQ(std::string(back, 256), all);
  EXPECT_EQ(GetInQLen(kPort), 0);
}

TEST_F(PseudoTerminalPort, FlushDiscardsWaitingBytesAndReopenWorks) {
  ASSERT_EQ(Open(""), 0);
  ASSERT_EQ(write(master, "hello", 5), 5);
  InQLenOnce([](int n) { return n >= 5; });
  EXPECT_EQ(FlushInQ(kPort), 0);
  EXPECT_EQ(GetInQLen(kPort), 0);
  ASSERT_EQ(Open(""), 0); // opening an open port starts it afresh
  EXPECT_TRUE(rt::IsPortOpen(kPort));
}

TEST_F(PseudoTerminalPort, OtherSideClosingIsAnError) {
  ASSERT_EQ(Open(""), 0);
  close(master);
  master = -1;
  EXPECT_LT(InQLenOnce([](int n) { return n < 0; }, 50), 0);
}
#endif

} // namespace
