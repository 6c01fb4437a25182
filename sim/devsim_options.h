// Command-line options of nuvaro-devsim.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/device_knobs.h"

namespace sim {

struct DevsimOptions {
  int startRate = 0;
  DeviceKnobs knobs;
  bool quiet = false;
  bool help = false;
};

// Parses the arguments after the program name. Values follow their option as
// the next argument or after "=". Nothing, with `error` set, on a bad option.
std::optional<DevsimOptions> ParseDevsimOptions(const std::vector<std::string> &args,
                                                std::string &error);
std::string DevsimUsage(const std::string &program);

} // namespace sim
