// A record of every serial operation, for the link view.
//
// The serial operations report here what crossed each port: the bytes ComWrt
// sent, the count GetInQLen found, the bytes ComRd returned and FlushInQ
// discarded, and each open with the system's reason when it failed. The tap
// moves bytes only: it decodes nothing and knows no widget. One listener at a
// time; without one, recording costs a pointer test per operation.
//
// Each record carries the runtime clock (for intervals: tests on the virtual
// clock see the waits the program made) and the wall clock (the time of day
// the operator reads).
#pragma once

#include <string>

namespace rt {

enum class TapKind {
  Opened,     // result 0
  OpenFailed, // result: the COM_ERR_ code; reason and systemWords: why
  Wrote,      // bytes: what the program gave; result: the count written or an error
  Checked,    // result: the count waiting, or an error
  Read,       // bytes: what the read returned; result: the count or an error
  Discarded,  // bytes: what the flush threw away; result: 0 or an error
};

struct TapRecord {
  TapKind kind = TapKind::Checked;
  int port = 0;
  int result = 0;
  std::string bytes;
  std::string reason;      // a few words in Chinese
  std::string systemWords; // the system's own reason, when it gave one
  double clock = 0.0;      // runtime clock, seconds
  long long wallMs = 0;    // wall clock, milliseconds since the epoch
};

using TapListener = void (*)(const TapRecord &record);

// nullptr stops recording.
void SetSerialTap(TapListener listener);
bool SerialTapActive();

} // namespace rt
