// The strip chart under the meter: which readings it keeps, what it tells a
// screen reader, and that a burst of readings on one pixel column still
// shows their extremes.
#include <gtest/gtest.h>

#include <QImage>

#include "runtime/controls/rate_trend.h"
#include "runtime/core/clock.h"

namespace {

class RateTrendTest : public ::testing::Test {
protected:
  void At(double seconds, int value) {
    clock.Advance(seconds - clock.Now());
    trend.addSample(value);
  }

  rt::VirtualClock clock;
  rt::ScopedClock useClock{clock};
  RateTrend trend;
};

TEST_F(RateTrendTest, KeepsTheLastMinuteAndOneReadingBeforeIt) {
  EXPECT_EQ(trend.accessibleDescription().toStdString(), "最近 60 秒没有转速报告");
  At(0, 3000);
  At(30, 5000);
  At(61, 4000);
  EXPECT_EQ(trend.sampleCount(), 3); // the one at 0 s: where the trace enters
  EXPECT_EQ(trend.windowMinimum(), 3000);
  At(95, 4500);
  EXPECT_EQ(trend.sampleCount(), 3);
  EXPECT_EQ(trend.windowMinimum(), 4000);
  EXPECT_EQ(trend.windowMaximum(), 5000);
  EXPECT_EQ(trend.accessibleDescription().toStdString(),
            "最近 60 秒的转速：最低 4000，最高 5000，最新 4500 r/min");
  for (int i = 0; i < RateTrend::kMaxSamples + 500; ++i)
    trend.addSample(4500);
  EXPECT_EQ(trend.sampleCount(), RateTrend::kMaxSamples);
}

TEST_F(RateTrendTest, ReadingsOnOnePixelColumnShowTheirExtremes) {
  trend.resize(200, 110);
  // Without a meter the scale is the values seen: 1000 to 9000. The first
  // and last readings are in the middle, the extremes between them.
  trend.addSample(5000);
  for (int i = 0; i < 500; ++i)
    trend.addSample(i % 2 ? 9000 : 1000);
  trend.addSample(5000);

  const QImage image = trend.grab().toImage();
  int top = image.height(), bottom = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 100 && c.blue() < 100) { // the trace's red
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  // The trace runs from the top of the plot to its bottom (the plot is the
  // widget less its labels: well over half its height).
  ASSERT_GE(bottom, 0) << "no trace drawn";
  EXPECT_GT(bottom - top, image.height() / 2) << top << " to " << bottom;
}

} // namespace
