#include "traffic/reading.h"

#include <algorithm>
#include <cstdio>

#include "link/frame_codec.h"
#include "link/line_account.h"
#include "link/vocabulary.h"

namespace traffic {

namespace {

constexpr int kHexShown = 48;
constexpr int kTextShown = 32;

void AppendEscaped(std::string &out, unsigned char c) {
  char cell[8];
  std::snprintf(cell, sizeof cell, "\\x%02X", c);
  out += cell;
}

// The length of the valid UTF-8 sequence of two to four bytes at `p`, or 0.
int Utf8Length(const unsigned char *p, int left) {
  const int n = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
  if (n == 0 || n > left)
    return 0;
  for (int i = 1; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80)
      return 0;
  // No overlong forms, no surrogates, nothing past U+10FFFF.
  if ((n == 3 && p[0] == 0xE0 && p[1] < 0xA0) || (n == 3 && p[0] == 0xED && p[1] >= 0xA0) ||
      (n == 4 && p[0] == 0xF0 && p[1] < 0x90) || (n == 4 && p[0] == 0xF4 && p[1] >= 0x90))
    return 0;
  return n;
}

// What a valid reply frame says, by its letter and number.
Verdict ReplyVerdict(char letter, int number) {
  return letter == REPLY_ACKNOWLEDGEMENT
             ? (IsAcceptance(letter, number) ? Verdict::Acknowledged : Verdict::Refused)
         : letter == REPLY_RATE ? Verdict::RateReport
                                : Verdict::UnknownReply;
}

// The frames of the read after the first item when `skipFirst`, each as its
// payload and what it says.
std::string FurtherFrames(const char *bytes, int count, bool skipFirst) {
  constexpr int kShown = 4;
  std::string out;
  int shown = 0;
  LineItem item;
  for (int at = 0, n; at < count && (n = NextLineItem(bytes + at, count - at, 0, &item)) > 0;
       at += n) {
    const char *frame = bytes + at;
    const bool first = at == 0;
    if ((first && skipFirst) || item.kind > LINE_ITEM_OTHER_FRAME ||
        FramePayloadEnd(frame, n) <= FRAME_PAYLOAD_START)
      continue;
    if (shown++ == kShown) {
      out += "、…";
      break;
    }
    const int length = FramePayloadEnd(frame, n) - FRAME_PAYLOAD_START;
    const char *payload = frame + FRAME_PAYLOAD_START;
    out += (out.empty() ? "" : "、") + EscapedBytes(payload, length) + " " +
           Word(ReplyVerdict(payload[0], PayloadNumber(payload, length)));
  }
  return out;
}

} // namespace

Reading ReadIncoming(const char *bytes, int count) {
  Reading r;
  r.further = FurtherFrames(bytes, count, IsReplyFrame(bytes, count) != 0);
  // A frame with no payload carries no reply letter: no reply to anyone.
  if (IsReplyFrame(bytes, count) && FramePayloadEnd(bytes, count) > FRAME_PAYLOAD_START) {
    const int n = FramePayloadEnd(bytes, count) - FRAME_PAYLOAD_START;
    const char *payload = bytes + FRAME_PAYLOAD_START;
    r.frame = true;
    r.letter = payload[0];
    r.number = PayloadNumber(payload, n);
    r.text = EscapedBytes(payload, n);
    r.verdict = ReplyVerdict(r.letter, r.number);
    return r;
  }
  if (IsFrameWithBadChecksum(bytes, count)) {
    r.text = EscapedBytes(bytes + FRAME_PAYLOAD_START,
                          FramePayloadEnd(bytes, count) - FRAME_PAYLOAD_START);
    r.verdict = Verdict::BadChecksum;
    return r;
  }
  r.text = EscapedBytes(bytes, count);
  return r;
}

Reading ReadOutgoing(const char *bytes, int count) {
  Reading r;
  const int n = CommandPayloadLength(bytes, count);
  if (n <= 0) {
    r.text = EscapedBytes(bytes, count);
    return r;
  }
  r.frame = true;
  r.command.assign(bytes + FRAME_PAYLOAD_START, static_cast<std::size_t>(n));
  r.letter = r.command[0];
  r.text = EscapedBytes(r.command.data(), n);
  return r;
}

int KindOf(const Reading &reading) {
  return static_cast<int>(reading.verdict) * 256 +
         (reading.frame ? static_cast<unsigned char>(reading.letter) : 0);
}

bool IsDrain(const rt::TapRecord &r, double readClock) {
  return r.kind == rt::TapKind::Discarded && readClock >= 0.0 &&
         r.clock - readClock < DOWNLOAD_SETTLE_WAIT / 2;
}

std::string HexBytes(const char *bytes, int shown, long long count, bool atLeast) {
  std::string out;
  const int n = std::min(shown, kHexShown);
  out.reserve(static_cast<std::size_t>(n) * 3 + 32);
  char cell[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(cell, sizeof cell, "%02X", static_cast<unsigned char>(bytes[i]));
    if (i)
      out += ' ';
    out += cell;
  }
  if (n < count || atLeast)
    out += " …（" + std::string(atLeast ? "" : "共 ") + ByteCount(count, atLeast) + "）";
  return out;
}

std::string EscapedBytes(const char *bytes, int count, bool more) {
  std::string out;
  const int shown = std::min(count, kTextShown);
  for (int i = 0; i < shown; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7F)
      out += static_cast<char>(c);
    else
      AppendEscaped(out, c);
  }
  if (shown < count || more)
    out += "…";
  return out;
}

std::string EscapedName(const char *bytes, int count) {
  std::string out;
  const auto *p = reinterpret_cast<const unsigned char *>(bytes);
  for (int i = 0; i < count;) {
    const int n = p[i] >= 0x80 ? Utf8Length(p + i, count - i) : 0;
    if (n > 0) {
      out.append(bytes + i, static_cast<std::size_t>(n));
      i += n;
    } else if (p[i] >= 0x20 && p[i] < 0x7F) {
      out += bytes[i++];
    } else {
      AppendEscaped(out, p[i++]);
    }
  }
  return out;
}

} // namespace traffic
