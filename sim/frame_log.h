// Log lines for the frames the simulated device receives.
#pragma once

#include <string>
#include <string_view>

#include "sim/device_model.h"

namespace sim {

// Printable ASCII as it is; any other byte, and "\", as \xNN.
std::string Printable(std::string_view bytes);
// Bytes as two-digit hex numbers separated by spaces: "24 05 46".
std::string HexBytes(std::string_view bytes);
// "F3, -> E1", "?1, -> R3000", "W5, (no reply)",
// "bad frame (bad checksum): 24 05 46 31 2C 00".
std::string DescribeFrameEvent(const FrameEvent &event);

} // namespace sim
