#include "preview/synthesis.h"

#include <cstdint>

double datapoints[WAVE_SAMPLES];
double datapoints1[WAVE_SAMPLES];

namespace {

constexpr double kPulseHigh = 8.0;
constexpr double kPulseLow = -8.0;
constexpr double kLogicHigh = 5.0;
constexpr double kLogicLow = 0.0;

// The sample at which `angle` falls: the 32-bit product 1000 x angle, read as
// unsigned, over 360. Negative angles wrap to huge samples, past the trace.
long long AngleSample(int angle) {
  const std::uint32_t product = 1000u * static_cast<std::uint32_t>(angle);
  return product / 360u;
}

// The pulse width in samples: the 32-bit product 1000 x width, read as
// unsigned, over the revolution time in microseconds, each step in double
// precision. A stopped device (rate 0) makes no pulses.
double PulseSamples(int rate, int width) {
  if (rate == 0)
    return 0.0;
  const std::uint32_t product = 1000u * static_cast<std::uint32_t>(width);
  const double minutesFraction = 60.0 / rate;
  const double revolutionMicroseconds = minutesFraction * 1000000.0;
  return static_cast<double>(product) / revolutionMicroseconds;
}

} // namespace

void GenerateWave(int rate, int signalMode, int width, int angle) {
  const double first = signalMode ? kPulseHigh : kPulseLow;
  const double second = signalMode ? kPulseLow : kPulseHigh;
  const long long s = AngleSample(angle);
  const double r = PulseSamples(rate, width);

  // Every loop stops at the last sample: a pulse reaching past the
  // revolution is cut there.
  datapoints[0] = 0.0;
  long long i = 1;
  for (; r > static_cast<double>(i) && i < WAVE_SAMPLES; ++i)
    datapoints[i] = first;
  for (; i < s && i < WAVE_SAMPLES; ++i)
    datapoints[i] = 0.0;
  i = s;
  for (long long k = 0; r > static_cast<double>(k) && i < WAVE_SAMPLES; ++i, ++k)
    datapoints[i] = second;
  for (; i < WAVE_SAMPLES; ++i)
    datapoints[i] = 0.0;
}

void GenerateWave1(int signalMode, int angle) {
  const double before = signalMode ? kLogicHigh : kLogicLow;
  const double after = signalMode ? kLogicLow : kLogicHigh;
  const long long s = AngleSample(angle);
  for (long long i = 0; i < WAVE_SAMPLES; ++i)
    datapoints1[i] = i < s ? before : after;
}
