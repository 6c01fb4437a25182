// The device model's faults as the fuzzer picks them: one bit (or a few) of
// a 16-bit field for each knob. The structured binding below names every
// field of sim::DeviceKnobs: a knob added there without its bit here stops
// the build, of the tests as well as of the fuzzer (tests/test_device_model.cpp
// checks that each bit changes a knob of its own).
#pragma once

#include <cstdint>

#include "sim/device_knobs.h"

namespace fuzz_knobs {

constexpr int kBits = 16;
// Latencies the low two bits of another header byte choose.
constexpr double kLatencies[] = {0.0, 0.03, 0.1, 2.0};

inline sim::DeviceKnobs FromBits(std::uint16_t bits, double latency = 0.0) {
  sim::DeviceKnobs knobs;
  auto &[refuse, refusePrefix, ackFrom, silent, silentPrefix, commonLatency, latencyFor, strayByte,
         strayPrefix, badChecksum, trailing, reportEvery, holdPrefix] = knobs;
  strayByte = bits & 0x0001;
  badChecksum = bits & 0x0002;
  trailing = bits & 0x0004;
  refuse = bits & 0x0008;
  refusePrefix = (bits & 0x0010) ? "R" : "";
  silent = bits & 0x0020;
  silentPrefix = "?";
  ackFrom = 1 + ((bits >> 6) & 3); // bits 0x0040 and 0x0080
  commonLatency = latency;
  if (bits & 0x0100)
    latencyFor = {{"T", 0.15}};
  strayPrefix = (bits & 0x0200) ? "F" : "";
  reportEvery = (bits & 0x0400) ? 0.2 : 0.0;
  holdPrefix = (bits & 0x0800) ? "F" : "";
  return knobs;
}

// The bits FromBits reads; the rest are free.
constexpr std::uint16_t kUsedBits = 0x0FFF;

} // namespace fuzz_knobs
