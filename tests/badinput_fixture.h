// The real panel fed bad input: helpers to check that Settings holds what the
// callbacks last stored, that a download sends it, and that the preview stayed
// inside its traces.
#pragma once

#include <gtest/gtest.h>

#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fake_device.h"
#include "panel_fixture.h"
#include "preview/synthesis.h"
#include "runtime/controls/graph.h"

// A virtual clock that calls `onSleep` before each wait, so that a test can
// act in the middle of a blocking callback (between the attempts of a
// command, during the download's settle wait).
class HookedClock final : public rt::Clock {
public:
  double Now() override { return now_; }
  void Sleep(double seconds) override {
    if (onSleep)
      onSleep(seconds);
    if (seconds > 0)
      now_ += seconds;
  }
  std::function<void(double seconds)> onSleep;

private:
  double now_ = 0.0;
};

// `count` bytes from a fixed seed, so that a failure can be replayed.
inline std::string RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 engine(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(count, '\0');
  for (char &c : bytes)
    c = static_cast<char>(byte(engine));
  return bytes;
}

class BadInputTest : public PanelTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PanelTest::SetUp());
    stored = Settings;
  }

  // Puts `d` on the test port in place of the device model.
  template <typename D> std::shared_ptr<D> Attach(std::shared_ptr<D> d) {
    rt::AssignPortDevice(kDevicePort, d);
    return d;
  }

  // Downloads on a HookedClock that calls `onSleep` before each wait.
  void DownloadHooked(std::function<void(double seconds)> onSleep) {
    HookedClock hooked;
    rt::ScopedClock use(hooked);
    hooked.onSleep = std::move(onSleep);
    Download();
  }

  // What the parameter controls show, field by field.
  SettingsRecord Shown() {
    SettingsRecord s{};
    for (const Parameter &p : Parameters())
      s.*p.field = Value(p.control);
    return s;
  }

  // Downloads with the device's record cleared: it must receive Settings.
  void DownloadAndExpectSettingsSent() {
    device->ClearRecord();
    Download();
    EXPECT_EQ(Sent(), Expected(Settings).commands);
    EXPECT_EQ(Value(CTL_COMM_LED), 1);
    EXPECT_TRUE(popups.empty());
  }

  // Each preview graph carries one plot of exactly the trace length, every
  // sample at one of its trace's levels, on a finite positive x scale.
  void ExpectPreviewSane() {
    struct Trace {
      int control;
      std::vector<double> levels;
    };
    for (const Trace &t :
         {Trace{CTL_PULSE_GRAPH, {-8.0, 0.0, 8.0}}, Trace{CTL_LOGIC_GRAPH, {0.0, 5.0}}}) {
      Graph *g = Control<Graph>(t.control);
      ASSERT_NE(g, nullptr);
      ASSERT_EQ(g->plotCount(), 1) << "graph " << t.control;
      const QList<QPointF> points = g->plotPoints(g->plotHandles().front());
      ASSERT_EQ(points.size(), WAVE_SAMPLES) << "graph " << t.control;
      for (const QPointF &p : points) {
        const bool known = std::find(t.levels.begin(), t.levels.end(), p.y()) != t.levels.end();
        ASSERT_TRUE(known) << "graph " << t.control << " sample " << p.x() << " = " << p.y();
      }
      EXPECT_TRUE(std::isfinite(g->xGain()) && g->xGain() > 0) << g->xGain();
    }
  }

  SettingsRecord stored{}; // what Settings must still hold: as the panel started
};
