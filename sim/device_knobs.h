// Faults the simulated device can be told to show. All can change at any time.
#pragma once

#include <string>

namespace sim {

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

  // Seconds between the end of a command frame and its reply becoming readable.
  double latency = 0.0;

  bool strayByte = false;   // one kStrayByte in front of each reply frame
  bool badChecksum = false; // each reply's checksum off by one
  bool trailing = false;    // kTrailingBytes (CR LF) after each reply
};

constexpr unsigned char kStrayByte = 0xFF;
inline constexpr char kTrailingBytes[] = "\r\n";

} // namespace sim
