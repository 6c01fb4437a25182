// Faults the simulated device can be told to show. All can change at any time.
#pragma once

#include <string>
#include <vector>

namespace sim {

// A latency of its own for the replies to commands that start with `prefix`.
struct PrefixLatency {
  std::string prefix;
  double seconds = 0.0;
  bool operator==(const PrefixLatency &) const = default;
};

// Every knob has its bit in the device model's fuzzer (fuzz/fuzz_knobs.h),
// which names each field: a knob added here without one stops the build.
struct DeviceKnobs {
  // Answer "E0" without acting: every command when `refusePrefix` is empty,
  // otherwise only commands that start with it. Applies to the rate poll too.
  bool refuse = false;
  std::string refusePrefix;

  // Acknowledge a command only at its Nth attempt in a row: the earlier
  // attempts are answered "E0" and change nothing. Attempts are counted over
  // identical payloads sent one after another; rate polls neither count nor
  // break a run, and an acknowledgement starts the count afresh, so the next
  // download needs N attempts again. 1 acknowledges at once.
  int ackFrom = 1;

  // Answer nothing: to every command when `silentPrefix` is empty, otherwise
  // to commands that start with it. The device still acts on the command;
  // only its reply is lost.
  bool silent = false;
  std::string silentPrefix;

  // Seconds between the end of a command frame and its reply becoming
  // readable; the first entry of `latencyFor` whose prefix the command
  // starts with overrides it. A reply never overtakes an earlier one.
  double latency = 0.0;
  std::vector<PrefixLatency> latencyFor;

  // One kStrayByte in front of each reply frame, or, when `strayPrefix` is
  // not empty, in front of the replies to commands that start with it.
  bool strayByte = false;
  std::string strayPrefix;
  bool badChecksum = false; // each reply's checksum off by one
  bool trailing = false;    // kTrailingBytes (CR LF) after each reply

  // An unasked rate report every `reportEvery` seconds (0: none), as a device
  // that reports on its own would send.
  double reportEvery = 0.0;

  // The reply to the first command that starts with `holdPrefix` (empty:
  // none) is held back. It becomes readable right after the next flush of
  // what waits, or, when a command comes first (a device behind a
  // pseudo-terminal never sees the program's flush), just before that
  // command's reply: a reply still on its way when a download throws away
  // what came before. Setting the knobs again arms it again.
  std::string holdPrefix;

  bool operator==(const DeviceKnobs &) const = default;
};

constexpr unsigned char kStrayByte = 0xFF;
inline constexpr char kTrailingBytes[] = "\r\n";

} // namespace sim
