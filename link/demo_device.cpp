#include "link/demo_device.h"

#include <memory>

#include "runtime/core/port_choices.h"
#include "runtime/core/port_table.h"
#include "sim/device_model.h"

void RegisterDemoDevice() {
  auto device = std::make_shared<sim::DeviceModel>();
  sim::DeviceKnobs knobs;
  knobs.latency = 0.005; // a few milliseconds, like a device on a real line
  device->SetKnobs(knobs);
  rt::AssignPortDevice(DEMO_DEVICE_PORT, device);
  rt::AddBuiltInPortChoice(DEMO_DEVICE_PORT, "演示设备（内置模拟）");
}
