// A port opened on the fake device, on a virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/process_state.h"
#include "fake_device.h"
#include "link/frame.h"
#include "runtime/core/clock.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"

class LinkTest : public ::testing::Test {
protected:
  static constexpr int kPort = 7;

  void SetUp() override {
    ResetProcessState();
    device = std::make_shared<FakeDevice>();
    rt::AssignPortDevice(kPort, device);
    ASSERT_EQ(Reopen(), 0);
    portNumber = kPort;
  }
  // Opens the port on the device (again: an open port starts afresh).
  static int Reopen() { return OpenComConfig(kPort, "", 38400, 0, 8, 1, 1000, 1000); }
  void TearDown() override {
    CloseCom(kPort);
    rt::ClearPortAssignment(kPort);
    portNumber = 0;
  }

  rt::VirtualClock clock;
  rt::ScopedClock useClock{clock};
  std::shared_ptr<FakeDevice> device;
};
