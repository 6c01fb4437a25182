// The real panel file loaded with the application's control table, every
// callback in it replaced by a recorder, so that tests see which events each
// control sends. The application's table is registered again afterwards.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/control_table.h"
#include "app/process_state.h"
#include "app/state/controls.h"
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_access.h"

// One event a control sent to its callback.
struct RecordedEvent {
  int control;
  int event;
  bool operator==(const RecordedEvent &o) const { return control == o.control && event == o.event; }
};

inline void PrintTo(const RecordedEvent &e, std::ostream *os) {
  *os << "{" << e.control << ", " << e.event << "}";
}

// Shows `panel`'s window as the active one, as the operator has it; returns it.
inline QWidget *ShowActive(int panel) {
  QWidget *window = rt::PanelWidget(panel);
  window->show();
  QApplication::setActiveWindow(window);
  return window;
}

class PanelRuntimeTest : public ::testing::Test {
protected:
  using Events = std::vector<RecordedEvent>;

  static Events &Recorded() {
    static Events events;
    return events;
  }
  // The value a control had when it last sent an event, by (control, event),
  // for the controls that have one: what a callback taking it then stores.
  static std::map<std::pair<int, int>, int> &ValueAt() {
    static std::map<std::pair<int, int>, int> values;
    return values;
  }
  static int Record(int panel, int control, int event, void *, int, int) {
    Recorded().push_back({control, event});
    int value = 0;
    if (GetCtrlVal(panel, control, &value) == 0)
      ValueAt()[{control, event}] = value;
    return 0;
  }

  void SetUp() override {
    ResetProcessState();
    std::vector<rt::ControlRow> recording(controlTable, controlTable + controlCount);
    for (rt::ControlRow &row : recording)
      if (row.callback)
        row.callback = &PanelRuntimeTest::Record;
    rt::RegisterControls(recording.data(), static_cast<int>(recording.size()));
    Recorded().clear();
    ValueAt().clear();
    BindMore();
    panel = LoadPanel(0, "nuvaro.uir", MainPanel);
    ASSERT_GT(panel, 0);
  }

  void TearDown() override {
    DiscardPanel(panel);
    ResumeTimerCallbacks();
    rt::SetPopupHandler({});
    rt::RegisterControls(controlTable, controlCount);
  }

  // Binds further callbacks before the panel loads (it looks them up then).
  virtual void BindMore() {}

  template <typename T> T *Control(int id) {
    return qobject_cast<T *>(rt::ControlWidget(panel, id));
  }

  int Value(int id) {
    int v = -12345;
    EXPECT_EQ(GetCtrlVal(panel, id, &v), 0) << "control " << id;
    return v;
  }

  // Events recorded since the last call.
  Events Take() { return std::exchange(Recorded(), {}); }

  int panel = 0;
};
