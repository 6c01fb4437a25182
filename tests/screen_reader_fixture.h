// What a screen reader hears of the panel: the fixture of the screen-reader
// tests. test_access_screenreader.cpp builds the accessibility bridge plug-in
// that records each event into `listening` while a test runs.
#pragma once

#include <QAccessible>
#include <QVariant>

#include <algorithm>
#include <iterator>
#include <vector>

#include "panel_fixture.h"

namespace screen_reader_test {

struct Heard {
  QObject *object;
  QAccessible::Event type;
  QVariant value;           // ValueChanged
  QAccessible::State state; // StateChanged: the states that changed
};

// Where the bridge records what it hears; null between tests.
inline std::vector<Heard> *listening = nullptr;

class ScreenReader : public PanelTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PanelTest::SetUp());
    listening = &heard;
    QAccessibleEvent probe(rt::PanelWidget(panelHandle), QAccessible::NameChanged);
    QAccessible::updateAccessibility(&probe);
    if (heard.empty())
      GTEST_SKIP() << "this platform does not pass accessibility events to bridges";
    heard.clear();
  }
  void TearDown() override {
    listening = nullptr;
    PanelTest::TearDown();
  }

  QAccessibleInterface *A(int id) {
    return QAccessible::queryAccessibleInterface(rt::ControlWidget(panelHandle, id));
  }
  std::vector<Heard> HeardFrom(int id, QAccessible::Event type) {
    std::vector<Heard> out;
    std::copy_if(heard.begin(), heard.end(), std::back_inserter(out), [&](const Heard &h) {
      return h.object == rt::ControlWidget(panelHandle, id) && h.type == type;
    });
    return out;
  }
  QString Description(int id) { return A(id)->text(QAccessible::Description); }

  std::vector<Heard> heard;
};

} // namespace screen_reader_test
