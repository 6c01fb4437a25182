// The wall clock as the logs show it: the link view's time column and the
// device simulator's frame log both write "09:41:07.512" in local time.
#pragma once

#include <string>

namespace rt {

// Milliseconds since the epoch, now.
long long WallClockMs();
// "09:41:07.512" for milliseconds since the epoch, in local time.
std::string TimeOfDayText(long long wallMs);

} // namespace rt
