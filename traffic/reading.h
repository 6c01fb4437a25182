// What one run of bytes on the line says, and how the view writes bytes.
//
// Outgoing bytes are a command frame the program built; incoming bytes are
// what one read returned. A read is a reply only under the rules by which the
// program itself recognises one (the frame codec's IsReplyFrame), so the view
// never disagrees with the exchange; anything else is named for what it is: a
// bad checksum, or bytes that cannot be read as a frame. The frames a read
// holds beyond that one are named too, found as the line's account finds
// them. Every question about the frame's layout goes to the codec.
//
// Text for the view never holds a control byte or invalid UTF-8, inside a
// frame or outside one: a copied row stays one line of tab-separated cells.
#pragma once

#include <string>

#include "traffic/words.h"

namespace traffic {

struct Reading {
  bool frame = false;  // a reply frame (incoming) or a command frame (outgoing)
  char letter = 0;     // its first payload byte
  int number = 0;      // the number after the letter (a reply's)
  std::string text;    // the payload, or the bytes, as the view shows them
  std::string command; // outgoing: the payload as sent, unescaped
  Verdict verdict = Verdict::Unreadable;
  // Incoming: the frames the read held beyond the one the exchange took, as
  // "E0 被拒绝、R3000 转速报告"; empty when none.
  std::string further;
};

Reading ReadIncoming(const char *bytes, int count);
Reading ReadOutgoing(const char *bytes, int count);
// Reads of one kind fold into one row: equal for two rate reports, two
// refusals, two runs of noise ...
int KindOf(const Reading &reading);

// True when the flush `r` drops the rest of a read made at `readClock` (-1:
// the record before it was no read): it follows the read at once, where the
// flush that starts a download follows the download's settle wait.
bool IsDrain(const rt::TapRecord &r, double readClock);

// "24 05 45 31 7B 00"; past 48 bytes the rest is counted, not shown:
// `count` is how many went by, of which `bytes` holds the first `shown`.
std::string HexBytes(const char *bytes, int shown, long long count, bool atLeast = false);
// Printable ASCII as it is, every other byte as \xNN; at most 32 bytes shown,
// then "…" (also when `more` says the bytes went on).
std::string EscapedBytes(const char *bytes, int count, bool more = false);
// A name (a device path, the system's words): valid UTF-8 kept, control
// bytes and invalid UTF-8 as \xNN.
std::string EscapedName(const char *bytes, int count);

} // namespace traffic
