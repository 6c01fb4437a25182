#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "preview/synthesis.h"

namespace {

// Runs of equal samples: (value, first, last).
struct Span {
  double value;
  int first, last;
  bool operator==(const Span &o) const = default;
};

std::vector<Span> Runs(const double *trace) {
  std::vector<Span> runs;
  for (int i = 0; i < WAVE_SAMPLES; ++i) {
    if (!runs.empty() && runs.back().value == trace[i])
      runs.back().last = i;
    else
      runs.push_back({trace[i], i, i});
  }
  return runs;
}

// The runs of the pulse trace for one setting and, unless left empty, of the
// logic trace.
void ExpectRuns(int rate, int mode, int width, int angle, const std::vector<Span> &pulse,
                const std::vector<Span> &logic = {}) {
  SCOPED_TRACE(::testing::Message() << rate << ", " << mode << ", " << width << ", " << angle);
  GenerateWave(rate, mode, width, angle);
  GenerateWave1(mode, angle);
  EXPECT_EQ(Runs(datapoints), pulse);
  if (!logic.empty()) {
    EXPECT_EQ(Runs(datapoints1), logic);
  }
}

TEST(Synthesis, TypicalSettingsAndTheirMirrorInSignalModeZero) {
  // r = 5.0, s = 83
  ExpectRuns(3000, 1, 100, 30,
             {{0.0, 0, 0}, {8.0, 1, 4}, {0.0, 5, 82}, {-8.0, 83, 87}, {0.0, 88, 999}},
             {{5.0, 0, 82}, {0.0, 83, 999}});
  ExpectRuns(3000, 0, 100, 30,
             {{0.0, 0, 0}, {-8.0, 1, 4}, {0.0, 5, 82}, {8.0, 83, 87}, {0.0, 88, 999}},
             {{0.0, 0, 82}, {5.0, 83, 999}});
}

TEST(Synthesis, PulseLengthsFollowTheDoubleResult) {
  // r = 3.5: samples 1..3 and four samples from s.
  GenerateWave(2100, 1, 100, 30);
  EXPECT_EQ(Runs(datapoints)[1], (Span{8.0, 1, 3}));
  EXPECT_EQ(Runs(datapoints)[3], (Span{-8.0, 83, 86}));
  // Rate 7, width 60000: r is exactly 7 in double precision.
  GenerateWave(7, 1, 60000, 180);
  EXPECT_EQ(Runs(datapoints)[1], (Span{8.0, 1, 6}));
  EXPECT_EQ(Runs(datapoints)[3], (Span{-8.0, 500, 506}));
  // 0 < r <= 1: no first pulse, the second is the single sample s.
  for (int width : {10, 20})
    ExpectRuns(3000, 1, width, 30, {{0.0, 0, 82}, {-8.0, 83, 83}, {0.0, 84, 999}});
}

// Stopped, a negative r, no width; and angle 0, which leaves one pulse of the
// second level.
TEST(Synthesis, NoPulsesOrOnlyTheSecond) {
  for (const auto &[rate, width] : {std::pair{0, 100}, {-3000, 100}, {3000, 0}})
    ExpectRuns(rate, 1, width, 30, {{0.0, 0, 999}});
  ExpectRuns(3000, 1, 100, 0, {{-8.0, 0, 4}, {0.0, 5, 999}}, {{0.0, 0, 999}});
}

TEST(Synthesis, PulsesAreOverwrittenOrCutWhereTheyOverlapOrEnd) {
  // r = 50, s = 50: the first pulse reaches past the angle.
  ExpectRuns(3000, 1, 1000, 18, {{0.0, 0, 0}, {8.0, 1, 49}, {-8.0, 50, 99}, {0.0, 100, 999}});
  GenerateWave(3000, 1, 100, 360); // s = 1000: the second pulse falls outside
  EXPECT_EQ(Runs(datapoints).back(), (Span{0.0, 5, 999}));
  GenerateWave1(1, 360);
  EXPECT_EQ(Runs(datapoints1), (std::vector<Span>{{5.0, 0, 999}}));
  GenerateWave(3000, 1, 100, 359); // s = 997: three samples of the pulse fit
  EXPECT_EQ(Runs(datapoints).back(), (Span{-8.0, 997, 999}));
}

// The controls clamp, but the traces must not depend on it: no value of any
// argument writes past sample 999 (the sanitizer build checks the writes) or
// leaves a sample at an unknown level.
TEST(Synthesis, ExtremeValuesStayInBounds) {
  const int values[] = {INT_MIN, -1000000, -360, -1,     0,       1,       359,
                        360,     361,      1000, 100000, 1000000, 4294967, INT_MAX};
  for (int rate : values)
    for (int width : values)
      for (int angle : values)
        for (int mode : {0, 1, INT_MIN}) {
          GenerateWave(rate, mode, width, angle);
          GenerateWave1(mode, angle);
          for (int i = 0; i < WAVE_SAMPLES; ++i) {
            const double p = datapoints[i], l = datapoints1[i];
            ASSERT_TRUE(p == 0.0 || p == 8.0 || p == -8.0)
                << rate << " " << width << " " << angle << " sample " << i;
            ASSERT_TRUE(l == 0.0 || l == 5.0) << angle << " sample " << i;
          }
        }
  // Angle -1 wraps to sample 11,930,461: the logic trace is high throughout.
  GenerateWave1(1, -1);
  EXPECT_EQ(Runs(datapoints1), (std::vector<Span>{{5.0, 0, 999}}));
  // Negative width wraps to a huge pulse that fills the revolution.
  ExpectRuns(3000, 1, -1, 30, {{0.0, 0, 0}, {8.0, 1, 82}, {-8.0, 83, 999}});
}

} // namespace
