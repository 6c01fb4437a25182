// The real panel on the steady clock, its port on a real pseudo-terminal
// through QSerialPort, with the device model serving the other side on its
// own thread. Each check waits at most a bounded number of short delays, so
// a fault fails instead of hanging.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <random>
#include <string>

#include "fake_device.h"
#include "panel_fixture.h"
#include "runtime/core/delay.h"
#include "sim/pty_device.h"
#include "sim/raw_pty.h"

namespace {

class PtyPanel : public PanelTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PanelTest::SetUp());
    pty = std::make_unique<sim::PtyDevice>(device);
    std::string error;
    ASSERT_TRUE(pty->Start(&error)) << error;
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, rt::AddTypedPortChoice(pty->SlavePath())), 0);
  }
  void TearDown() override {
    PanelTest::TearDown();
    if (pty)
      pty->Stop();
  }

  rt::SteadyClock steady;
  rt::ScopedClock useSteady{steady};
  std::unique_ptr<sim::PtyDevice> pty;
};

TEST_F(PtyPanel, DownloadsInBothModesAndFollowsTheRate) {
  SettingsRecord s = PanelStart();
  Download();
  EXPECT_EQ(Sent(), Expected(s).commands);
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  EXPECT_TRUE(popups.empty());

  device->ClearRecord();
  Change(CTL_WORKMODE, 0);
  Download();
  s.workMode = 0;
  EXPECT_EQ(Sent(), Expected(s).commands);
  EXPECT_EQ(Value(CTL_COMM_LED), 1);

  // Back to a fixed rate of 2500, then poll until the meter shows it.
  Change(CTL_WORKMODE, 1);
  Change(CTL_RATE, 2500, EVENT_VAL_CHANGED);
  Download();
  SetCtrlVal(panelHandle, CTL_RATE_METER, 0);
  for (int tick = 0; tick < 100 && Value(CTL_RATE_METER) != 2500; ++tick) {
    Tick();
    Delay(0.02);
  }
  EXPECT_EQ(Value(CTL_RATE_METER), 2500);
}

TEST_F(PtyPanel, SimulatorGoneMeansADarkPortNotAHang) {
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  ASSERT_EQ(Value(CTL_PORT_LED), 1);
  pty->Stop(); // the other side closes
  for (int tick = 0; tick < 100 && portReady; ++tick) {
    Tick();
    Delay(0.01);
  }
  EXPECT_EQ(portReady, 0);
  EXPECT_EQ(Value(CTL_PORT_LED), 0);
  EXPECT_TRUE(popups.empty());
}

TEST_F(PtyPanel, PollsAgainWithinTwoTicksOfANoiseBurst) {
  // A raw terminal whose other side the test plays: noise, then rate reports.
  std::string problem;
  const sim::RawPty raw = sim::OpenRawPty(&problem);
  ASSERT_GE(raw.master, 0) << problem;
  const int master = raw.master;
  ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, rt::AddTypedPortChoice(raw.slavePath)), 0);
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  ASSERT_EQ(Value(CTL_PORT_LED), 1);

  const std::string poll = Frame("?1,");
  // One tick; true when a poll went out in it. Replies are readable by the
  // next tick.
  const auto tick = [&](int rate) {
    Delay(0.02);
    Tick();
    std::string out;
    char chunk[256];
    for (ssize_t n; (n = read(master, chunk, sizeof chunk)) > 0;)
      out.append(chunk, static_cast<std::size_t>(n));
    const bool polled = out.find(poll) != std::string::npos;
    if (polled && rate > 0) {
      const std::string frame = Frame("R" + std::to_string(rate));
      EXPECT_EQ(write(master, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
    }
    return polled;
  };

  std::mt19937 random(20261207);
  int rate = 1000;
  for (const std::size_t burst :
       {std::size_t{1024}, std::size_t{128 * 1024}, std::size_t{1 << 20}}) {
    SCOPED_TRACE(burst);
    std::string noise(burst, '\0');
    for (char &c : noise)
      c = static_cast<char>(random());
    // Noise as fast as the terminal takes it, ticking meanwhile (hang guard only).
    std::size_t sent = 0;
    for (int guard = 0; sent < noise.size() && guard < 20000; ++guard) {
      const ssize_t n = write(master, noise.data() + sent, noise.size() - sent);
      if (n > 0)
        sent += static_cast<std::size_t>(n);
      if (sent < noise.size())
        tick(0);
    }
    ASSERT_EQ(sent, noise.size());
    // From the device's last noise byte: a poll within two ticks, the rate
    // on the meter within four.
    rate += 111;
    int firstPoll = 0, shown = 0;
    for (int t = 1; t <= 4 && !shown; ++t) {
      if (tick(rate) && !firstPoll)
        firstPoll = t;
      if (Value(CTL_RATE_METER) == rate)
        shown = t;
    }
    EXPECT_GE(firstPoll, 1);
    EXPECT_LE(firstPoll, 2);
    EXPECT_GE(shown, 1);
    EXPECT_EQ(Value(CTL_PORT_LED), 1);
  }
  EXPECT_TRUE(popups.empty());
  rt::CloseAllPorts();
  close(master);
}

} // namespace
#endif
