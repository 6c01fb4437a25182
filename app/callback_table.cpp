#include "app/callback_table.h"

#include <memory>

#include "app/lifecycle.h"
#include "app/link_view.h"
#include "link/download.h"
#include "link/monitor.h"
#include "link/port.h"
#include "panel/params.h"
#include "runtime/callbacks.h"
#include "runtime/port_choices.h"
#include "runtime/port_table.h"
#include "sim/device_model.h"

namespace {

const rt::CallbackBinding kCallbacks[] = {
    {"SelectPort", SelectPort}, {"WorkMode", WorkMode},     {"Rate", Rate},
    {"SweepMin", SweepMin},     {"SweepMax", SweepMax},     {"SweepStep", SweepStep},
    {"SingalMode", SingalMode}, {"send", send},             {"Tqj", Tqj},
    {"Tig_Width", Tig_Width},   {"PortLed", PortLed},       {"Comm", Comm},
    {"Repeat", Repeat},         {"quit", quit},             {"Clean", Clean},
    {"MyTimer", MyTimer},       {"ShowLinkView", ShowLinkView},
};

// A device model in this process, so that the whole panel works with no
// hardware attached.
void RegisterDemoDevice() {
  auto device = std::make_shared<sim::DeviceModel>();
  sim::DeviceKnobs knobs;
  knobs.latency = 0.005; // a few milliseconds, like a device on a real line
  device->SetKnobs(knobs);
  rt::AssignPortDevice(DEMO_DEVICE_PORT, device);
  rt::AddBuiltInPortChoice(DEMO_DEVICE_PORT, "演示设备（内置模拟）");
}

} // namespace

void RegisterAppCallbacks() {
  rt::RegisterCallbacks(kCallbacks, static_cast<int>(sizeof kCallbacks / sizeof kCallbacks[0]));
  RegisterDemoDevice();
  StartLinkView();
}
