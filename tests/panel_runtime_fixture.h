// The real panel file loaded with every callback name bound to a recorder, so
// that tests see which events each control sends. The callbacks registered
// before are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "runtime/callbacks.h"
#include "runtime/panel_access.h"
#include "runtime/panel_ops.h"

// One event a control sent to its callback.
struct RecordedEvent {
  int control;
  int event;
  bool operator==(const RecordedEvent &o) const { return control == o.control && event == o.event; }
};

inline void PrintTo(const RecordedEvent &e, std::ostream *os) {
  *os << "{" << e.control << ", " << e.event << "}";
}

class PanelRuntimeTest : public ::testing::Test {
protected:
  using Events = std::vector<RecordedEvent>;

  static constexpr const char *kCallbackNames[] = {
      "SelectPort", "WorkMode", "Rate",    "SweepMin", "SweepMax", "SweepStep",
      "SingalMode", "send",     "Tqj",     "Tig_Width", "PortLed", "Comm",
      "Repeat",     "quit",     "Clean",   "MyTimer",  "ShowLinkView"};

  static Events &Recorded() {
    static Events events;
    return events;
  }
  static int Record(int, int control, int event, void *, int, int) {
    Recorded().push_back({control, event});
    return 0;
  }

  void SetUp() override {
    for (const char *name : kCallbackNames) {
      saved_[name] = rt::FindCallback(name);
      rt::RegisterCallback(name, &PanelRuntimeTest::Record);
    }
    Recorded().clear();
    BindMore();
    panel = LoadPanel(0, "nuvaro.uir", MainPanel);
    ASSERT_GT(panel, 0);
  }

  void TearDown() override {
    DiscardPanel(panel);
    ResumeTimerCallbacks();
    rt::SetPopupHandler({});
    for (const auto &[name, function] : saved_)
      rt::RegisterCallback(name, function);
  }

  // Binds further callbacks before the panel loads (it looks them up then).
  virtual void BindMore() {}

  template <typename T> T *Control(int id) { return qobject_cast<T *>(rt::ControlWidget(panel, id)); }

  int Value(int id) {
    int v = -12345;
    EXPECT_EQ(GetCtrlVal(panel, id, &v), 0) << "control " << id;
    return v;
  }

  // Events recorded since the last call.
  Events Take() { return std::exchange(Recorded(), {}); }

  int panel = 0;

private:
  std::map<std::string, CtrlCallbackPtr> saved_;
};
