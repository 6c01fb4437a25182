// What the serial operations call to record each operation for the tap
// (runtime/core/serial_tap.h says what is recorded).
#pragma once

#include <string>

#include "runtime/core/serial_tap.h"

namespace rt {

void TapNote(TapKind kind, int port, int result, const char *bytes = nullptr, int count = 0,
             const std::string &reason = {}, const std::string &systemWords = {});

} // namespace rt
