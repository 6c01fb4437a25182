// The link over a real pseudo-terminal through QSerialPort, with the device
// model serving the other side on its own thread. Real clock: each check
// waits at most a bounded number of short delays, so a fault fails instead of
// hanging.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/lifecycle.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "fake_device.h"
#include "link/download.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/port.h"
#include "runtime/core/delay.h"
#include "runtime/core/panel_ops.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "runtime/panel/panel_access.h"
#include "sim/pty_device.h"
#include "sim/raw_pty.h"

namespace {

using Strings = std::vector<std::string>;

class PtyLink : public ::testing::Test {
protected:
  void SetUp() override {
    model = std::make_shared<sim::DeviceModel>(3000);
    pty = std::make_unique<sim::PtyDevice>(model);
    std::string error;
    ASSERT_TRUE(pty->Start(&error)) << error;
  }
  void TearDown() override {
    rt::CloseAllPorts();
    pty->Stop();
  }

  std::shared_ptr<sim::DeviceModel> model;
  std::unique_ptr<sim::PtyDevice> pty;
};

TEST_F(PtyLink, OrderGetsTheAcknowledgementFromTheOtherSide) {
  constexpr int kPort = 61;
  rt::AssignPortPath(kPort, pty->SlavePath());
  ASSERT_EQ(OpenComConfig(kPort, "", 38400, 0, 8, 1, 1000, 1000), 0);
  portNumber = kPort;
  EXPECT_EQ(order("F1,"), 1);
  EXPECT_EQ(model->RawBytes(), std::string("\x24\x05\x46\x31\x2C\xA8\x00", 7));
  EXPECT_EQ(std::string(read_data, 6), std::string("\x24\x04\x45\x31\x7A\x00", 6));
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
  rt::AssignPortPath(kPort, pty->SlavePath());
  ASSERT_EQ(OpenComConfig(kPort, "", 38400, 0, 8, 1, 1000, 1000), 0);
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

class PtyPanel : public PtyLink {
protected:
  void SetUp() override {
    PtyLink::SetUp();
    RegisterAppControls();
    rt::SetPopupHandler(
        [this](const std::string &, const std::string &text) { popups.push_back(text); });
    portReady = 0;
    slectportchanged = 1;
    panelHandle = LoadPanel(0, "nuvaro.uir", MainPanel);
    ASSERT_GT(panelHandle, 0);
    init();
    const int port = rt::AddTypedPortChoice(pty->SlavePath());
    ASSERT_GT(port, 0);
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, port), 0);
  }
  void TearDown() override {
    DiscardPanel(panelHandle);
    rt::SetPopupHandler({});
    PtyLink::TearDown();
  }
  int Value(int control) {
    int v = 0;
    GetCtrlVal(panelHandle, control, &v);
    return v;
  }

  std::vector<std::string> popups;
};

TEST_F(PtyPanel, DownloadsInBothModesAndFollowsTheRate) {
  rt::DispatchControlEvent(panelHandle, CTL_SEND, 1);
  EXPECT_EQ(model->Payloads(), (Strings{"F3,", "T30,", "W100,", "F1,", "R3000,"}));
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  EXPECT_TRUE(popups.empty());

  model->ClearRecord();
  SetCtrlVal(panelHandle, CTL_WORKMODE, 0);
  rt::DispatchControlEvent(panelHandle, CTL_WORKMODE, 1);
  rt::DispatchControlEvent(panelHandle, CTL_SEND, 1);
  EXPECT_EQ(model->Payloads(), (Strings{"F3,", "T30,", "W100,", "D1000,6000,100,", "P1,", "F2,"}));
  EXPECT_EQ(Value(CTL_COMM_LED), 1);

  // Back to a fixed rate of 2500, then poll until the meter shows it.
  SetCtrlVal(panelHandle, CTL_WORKMODE, 1);
  rt::DispatchControlEvent(panelHandle, CTL_WORKMODE, 1);
  SetCtrlVal(panelHandle, CTL_RATE, 2500);
  rt::DispatchControlEvent(panelHandle, CTL_RATE, 2);
  rt::DispatchControlEvent(panelHandle, CTL_SEND, 1);
  SetCtrlVal(panelHandle, CTL_RATE_METER, 0);
  for (int tick = 0; tick < 100 && Value(CTL_RATE_METER) != 2500; ++tick) {
    rt::DispatchControlEvent(panelHandle, CTL_TIMER, 15);
    Delay(0.02);
  }
  EXPECT_EQ(Value(CTL_RATE_METER), 2500);
}

TEST_F(PtyPanel, SimulatorGoneMeansADarkPortNotAHang) {
  rt::DispatchControlEvent(panelHandle, CTL_PORT_LED, 3);
  ASSERT_EQ(Value(CTL_PORT_LED), 1);
  pty->Stop(); // the other side closes
  for (int tick = 0; tick < 100 && portReady; ++tick) {
    rt::DispatchControlEvent(panelHandle, CTL_TIMER, 15);
    Delay(0.01);
  }
  EXPECT_EQ(portReady, 0);
  EXPECT_EQ(Value(CTL_PORT_LED), 0);
  EXPECT_TRUE(popups.empty());
}

TEST_F(PtyPanel, PollsAgainWithinTwoTicksOfANoiseBurst) {
  // A raw terminal whose other side the test plays: noise, then rate reports.
  std::string problem;
  const sim::RawPty pty = sim::OpenRawPty(&problem);
  ASSERT_GE(pty.master, 0) << problem;
  const int master = pty.master;
  const int port = rt::AddTypedPortChoice(pty.slavePath);
  ASSERT_GT(port, 0);
  ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, port), 0);
  rt::DispatchControlEvent(panelHandle, CTL_PORT_LED, 3);
  ASSERT_EQ(Value(CTL_PORT_LED), 1);

  const std::string poll = Frame("?1,");
  // One tick; true when a poll went out in it. Replies are readable by the
  // next tick.
  const auto tick = [&](int rate) {
    Delay(0.02);
    rt::DispatchControlEvent(panelHandle, CTL_TIMER, 15);
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
