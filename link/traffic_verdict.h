// What one run of bytes on the line says, in the words the link view shows.
//
// Outgoing bytes are a command frame the program built; incoming bytes are
// what one read returned. A read is a reply only under the rules by which the
// program itself recognises one (FrameAt); anything else is named for what it
// is: a bad checksum, or bytes that cannot be read as a frame.
#pragma once

#include <string>

struct TrafficVerdict {
  bool frame = false;  // a valid reply (incoming) or command (outgoing) frame
  char letter = 0;     // first payload byte of a valid frame
  int number = 0;      // the number after the letter (a reply's)
  std::string payload; // the payload, or the bytes as text when not a frame
  std::string verdict; // "已确认", "被拒绝", "转速报告", "校验和错误", "无法识别（5 字节）", ...
};

// The payload of the reply frame that `bytes` are, by the program's own
// frame codec (so the view never disagrees with ChInQu), or false; a frame
// with no payload carries no reply letter and counts as none.
bool FrameAt(const std::string &bytes, std::string &payload);

TrafficVerdict IncomingVerdict(const std::string &bytes);
// What kind of read a verdict is: a rate report, a refusal, noise ... (the
// link view folds a run of one kind into one row).
std::string KindOfRead(const TrafficVerdict &v);
TrafficVerdict OutgoingVerdict(const std::string &bytes);

// "24 05 45 31 7B 00"; past 48 bytes the rest is counted, not shown.
// `total`: the count to give when more bytes went by than `bytes` holds.
std::string HexBytes(const std::string &bytes, long long total = 0);
// Printable ASCII as it is, other bytes as \xNN; at most 32 bytes shown.
std::string PrintableBytes(const std::string &bytes);
