// A number assistive technology gives a control through its value interface,
// as the whole number the control takes. The bridge passes on whatever it got
// (a double from AT-SPI, often far outside int), so the number is clamped
// while it is still a double and only then rounded and converted: no
// out-of-range double ever becomes an int. Not a number is refused.
#pragma once

#include <QVariant>

namespace rt {

// `value` rounded to the nearest whole number within [minimum, maximum]
// (infinities take the nearer end); false, and *result untouched, for NaN or
// a value that is no number at all.
bool AssistantNumber(const QVariant &value, int minimum, int maximum, int *result);

} // namespace rt
