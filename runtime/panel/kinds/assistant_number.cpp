#include "runtime/panel/kinds/assistant_number.h"

#include <algorithm>
#include <cmath>

namespace rt {

bool AssistantNumber(const QVariant &value, int minimum, int maximum, int *result) {
  bool ok = false;
  const double number = value.toDouble(&ok);
  if (!ok || std::isnan(number) || minimum > maximum)
    return false;
  // Both ends are whole numbers, so the rounded value stays between them.
  const double clamped = std::clamp(number, double(minimum), double(maximum));
  *result = static_cast<int>(std::lround(clamped));
  return true;
}

} // namespace rt
