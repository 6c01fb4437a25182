// A record of every serial operation, for the link view.
//
// The serial operations note here what crossed each port: the bytes ComWrt
// sent (and how many of them the line did not take), the count GetInQLen
// found, the bytes ComRd returned and FlushInQ discarded (each of them
// counted), and each open with why it failed. The tap
// moves bytes only: it decodes nothing and knows no widget.
//
// Noting a record costs the device path a copy into a fixed ring of
// kTapRingSize records, and nothing else: no allocation, no call out. A
// record keeps the first kTapHeadBytes bytes and their true count. The
// records are handed to the one listener later, oldest first, on the
// event loop: whenever it is about to wait for events, when a callback's busy
// state ends (runtime/panel/busy.h), and when DrainSerialTap is called. When
// the ring is full, new records are dropped and counted, and the listener
// gets a Lost record with the count after the records that were kept.
//
// Each record carries the runtime clock (for intervals: tests on the virtual
// clock see the waits the program made) and the wall clock (the time of day
// the operator reads).
#pragma once

namespace rt {

enum class TapKind {
  Opened,     // head: the device path ("" for an in-process device)
  OpenFailed, // head: the device path; fault, error and systemWords: why
  Wrote,      // head, count: what the program gave; result: ComWrt's result; notTaken
  Checked,    // result: the count waiting, or an error
  Read,       // head, count: what the read returned; result: the count or an error
  Discarded,  // head, count (countAtLeast): what the flush threw away; result: 0 or an error
  Lost,       // count: records dropped because the ring was full
  Concluded,  // result: the program's verdict on its group of commands; count: the
              // first try in doubt, counted from the group's first send (-1: none)
};

// Why an open failed.
enum class TapOpenFault {
  None,
  System,            // error: the system's error number
  Locked,            // another program holds the port's lock file
  PortOutOfRange,    // no such port number
  BadLineSettings,   // baud rate, parity, data or stop bits out of range
  NoDevicePath,      // the port number names no device
  DeviceUnavailable, // the in-process device is gone
};

constexpr int kTapRingSize = 256;
constexpr int kTapHeadBytes = 200;  // a whole read of ChInQu, a whole command frame
constexpr int kTapWordsBytes = 112; // "ENOENT: No such file or directory"

struct TapRecord {
  TapKind kind = TapKind::Checked;
  int port = 0;
  int result = 0;
  long long count = 0;       // bytes the operation moved; head holds the first of them
  bool countAtLeast = false; // Discarded: more came than a flush counts, dropped uncounted
  int notTaken = 0;          // Wrote: bytes the line did not take (dropped, not sent)
  int headCount = 0;
  char head[kTapHeadBytes];
  TapOpenFault fault = TapOpenFault::None;
  int error = 0;                      // OpenFailed with fault System
  char systemWords[kTapWordsBytes]{}; // the system's own words for `error`, untranslated
  double clock = 0.0;                 // runtime clock, seconds
  long long wallMs = 0;               // wall clock, milliseconds since the epoch
};

using TapListener = void (*)(const TapRecord &record);

// Where the records go; nullptr stops recording and drops what waits.
void SetSerialTap(TapListener listener);
// Hands every waiting record to the listener now, oldest first.
void DrainSerialTap();
// The records not yet handed out, oldest first (index 0): what the program
// did since the event loop last ran.
int SerialTapWaiting();
const TapRecord &SerialTapWaitingRecord(int index);

} // namespace rt
