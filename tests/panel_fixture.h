// The real panel loaded from "nuvaro.uir" with the application's callbacks,
// on a virtual clock, with popups recorded instead of shown, and a simulated
// device on a port of its own.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/lifecycle.h"
#include "app/process_state.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "expected_download.h"
#include "link/download.h"
#include "link/frame.h"
#include "link/line_account.h"
#include "link/port.h"
#include "parameters.h"
#include "runtime/controls/log_view.h"
#include "runtime/core/clock.h"
#include "runtime/core/panel_ops.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "runtime/core/serial_tap.h"
#include "runtime/panel/panel_access.h"
#include "sim/device_model.h"

using Strings = std::vector<std::string>;

inline const char *const kCommError = "  硬件通讯错误";
inline const char *const kPortError = "串口错误，请重新选择串口";
constexpr double kTickInterval = 0.5; // the panel timer's, in seconds

// The controls the operator sees: every control of the control table but the
// timer, the link view, which starts closed, and the demo device's notice,
// shown only while the demo device is chosen.
inline const std::vector<int> kVisibleControls = [] {
  std::vector<int> ids;
  for (int i = 0; i < controlCount; ++i) {
    const int id = controlTable[i].id;
    if (id != CTL_TIMER && id != CTL_LINK_VIEW && id != CTL_DEMO_NOTICE)
      ids.push_back(id);
  }
  return ids;
}();

// Control `id` of the main panel as the widget class it is; nullptr if it is
// not one.
template <typename T> T *Control(int id) {
  return qobject_cast<T *>(rt::ControlWidget(panelHandle, id));
}

// The link view's rows as the operator copies them, one line each, with
// everything the line carried so far decoded.
inline QStringList LinkViewRows() {
  rt::DrainSerialTap();
  auto *view = Control<LogView>(CTL_LINK_VIEW);
  if (!view)
    return {};
  view->refreshNow();
  return view->copyText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class PanelTest : public ::testing::Test {
protected:
  static constexpr int kDevicePort = 42;

  void SetUp() override {
    ResetProcessState();
    RegisterAppControls();
    device = std::make_shared<sim::DeviceModel>(3000);
    rt::AssignPortDevice(kDevicePort, device);
    rt::AddBuiltInPortChoice(kDevicePort, "test device");
    rt::SetPopupHandler([this](const std::string &title, const std::string &text) {
      popupTitles.push_back(title);
      popups.push_back(text);
    });
    panelHandle = LoadPanel(0, "nuvaro.uir", MainPanel);
    ASSERT_GT(panelHandle, 0);
    init();
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, kDevicePort), 0);
  }

  void TearDown() override {
    DiscardPanel(panelHandle);
    panelHandle = 0;
    rt::CloseAllPorts();
    rt::SetPopupHandler({});
    rt::ClearPortAssignment(kDevicePort);
  }

  int Value(int control) {
    int v = -12345;
    GetCtrlVal(panelHandle, control, &v);
    return v;
  }
  int Event(int control, int event) {
    return rt::DispatchControlEvent(panelHandle, control, event);
  }
  // Sets `control` as the operator would and sends its callback `event`.
  void Change(int control, int value, int event = EVENT_COMMIT) {
    SetCtrlVal(panelHandle, control, value);
    Event(control, event);
  }
  void Download() { Event(CTL_SEND, 1); }
  // The simulated device's faults, from none: Knobs([](auto &k) { k.silent = true; }).
  template <typename Edit> void Knobs(Edit change) {
    sim::DeviceKnobs knobs;
    change(knobs);
    device->SetKnobs(knobs);
  }
  void Tick() { Event(CTL_TIMER, 15); }
  // `n` timer ticks, the timer's interval apart.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      Tick();
      clock.Advance(kTickInterval);
    }
  }
  int SendColour() { return rt::CommandButtonColor(panelHandle, CTL_SEND); }
  // The port LED dark and the port counted closed, to be opened anew.
  void ExpectPortClosedAndChosenAnew() {
    EXPECT_EQ(Value(CTL_PORT_LED), 0);
    EXPECT_EQ(portReady, 0);
    EXPECT_EQ(slectportchanged, 1);
  }

  std::vector<std::string> Sent() { return device->Payloads(); }

  rt::VirtualClock clock;
  rt::ScopedClock useClock{clock};
  std::shared_ptr<sim::DeviceModel> device;
  std::vector<std::string> popups;
  std::vector<std::string> popupTitles;
};
