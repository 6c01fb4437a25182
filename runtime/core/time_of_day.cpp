#include "runtime/core/time_of_day.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace rt {

long long WallClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string TimeOfDayText(long long wallMs) {
  // Floor division, so that a time before the epoch keeps 0..999 ms.
  long long millis = wallMs % 1000;
  if (millis < 0)
    millis += 1000;
  const std::time_t seconds = static_cast<std::time_t>((wallMs - millis) / 1000);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return text;
}

} // namespace rt
