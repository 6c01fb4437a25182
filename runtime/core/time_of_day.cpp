#include "runtime/core/time_of_day.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace rt {

long long WallClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

namespace {

// The hour, minute and second of `seconds` since the epoch in local time.
std::tm LocalTime(std::time_t seconds) {
  std::tm local{};
#ifdef _WIN32
  // Windows' own time zone, as the taskbar's clock shows it. The C run-time's
  // localtime_s follows a TZ variable instead when one is set, read in its
  // own syntax: a POSIX one (inherited under Wine, say) gives UTC.
  constexpr long long kEpochIn1601Seconds = 11644473600LL;
  const unsigned long long ticks =
      static_cast<unsigned long long>(seconds + kEpochIn1601Seconds) * 10000000ULL;
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{}, here{};
  if (seconds >= -kEpochIn1601Seconds && ::FileTimeToSystemTime(&file, &utc) &&
      ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &here)) {
    local.tm_hour = here.wHour;
    local.tm_min = here.wMinute;
    local.tm_sec = here.wSecond;
  } else {
    localtime_s(&local, &seconds);
  }
#else
  localtime_r(&seconds, &local);
#endif
  return local;
}

} // namespace

std::string TimeOfDayText(long long wallMs) {
  // Floor division, so that a time before the epoch keeps 0..999 ms.
  long long millis = wallMs % 1000;
  if (millis < 0)
    millis += 1000;
  const std::time_t seconds = static_cast<std::time_t>((wallMs - millis) / 1000);
  const std::tm local = LocalTime(seconds);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return text;
}

} // namespace rt
