// Every word the link view shows, in one place: the verdicts of its result
// column, the labels of its groups and rows, and the reasons an open failed.
// The decoder writes rows only with these; the README's table of words is
// checked against these tables by a test, so the two cannot drift.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/serial_tap.h"

namespace traffic {

enum class Verdict {
  Acknowledged,            // an acknowledgement that accepts the command
  Refused,                 // an acknowledgement with another number
  NoAnswer,                // nothing was waiting when the check came
  BadChecksum,             // frame-shaped, but the checksum does not match
  Unreadable,              // bytes that are no reply
  RateReport,              // the rate the device runs at
  UnknownReply,            // a frame with a letter the program does not read
  PortError,               // the port failed: the device is gone
  SendFailed,              // a write the line did not take
  DrainedAfterRead,        // the rest of a backlog too long for one read
  DiscardedBeforeDownload, // what the flush before a download threw away
  Opened,                  // the port opened
  OpenFailed,              // the port did not open
  Poll,                    // rate polls with no read after them yet
  AllAcknowledged,         // a group whose every command was accepted
  LateReplies,             // replies ran out of step: results may be shifted
  RecordsLost,             // the tap's ring overflowed: records are missing
  RefusalUncounted,        // a refusal the exchange could not count against its command
  Count
};

enum class Label {
  Download,         // a group: the send button's download
  LinkCheck,        // a group: a click on the communication LED
  FixedRate,        // the download's mode, as its commands show it
  Sweep,            //
  DemoDevice,       // the built-in demo device
  DeviceGone,       // why a port failed
  AtLeast,          // a count of only part: the rest was dropped uncounted
  FurtherInRead,    // the frames a read held beyond the one the exchange took
  AfterLastCommand, // a read of the look after a group's last command
  Count
};

const char *Word(Verdict verdict);
const char *Word(Label label);

// The words for why an open failed: for a fault of the system by its error
// number, "无法打开（错误号 N）" for a number the table does not hold.
std::string OpenFailureWords(rt::TapOpenFault fault, int error);
// Every distinct word OpenFailureWords gives (the fallback without its number).
std::vector<std::string> AllOpenFailureWords();

// "2/5": the try `number` of a command.
std::string TryText(int number);
// "12 字节", or "至少 1048576 字节".
std::string ByteCount(long long count, bool atLeast);
// A verdict with a count of bytes: "无法识别（12 字节）".
std::string WordWithCount(Verdict verdict, long long count, bool atLeast);

} // namespace traffic
