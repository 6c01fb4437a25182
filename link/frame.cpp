#include "link/frame.h"

#include <climits>
#include <cstring>

#include "runtime/runtime.h"

int portNumber = 0;
char buf[FRAME_BUFFER_SIZE];
char send_data[FRAME_BUFFER_SIZE];
char read_data[FRAME_BUFFER_SIZE];

namespace {
// The length byte is one signed byte: payloads longer than this cannot be framed.
constexpr int kLongestPayload = 123;
} // namespace

int SendOrder(const char *text) {
  if (!text)
    return 0;
  const std::size_t n = strnlen(text, kLongestPayload + 1);
  if (n > static_cast<std::size_t>(kLongestPayload))
    return 0;
  const int length = static_cast<int>(n) + 2;
  unsigned sum = 0;
  for (std::size_t i = 0; i < n; ++i)
    sum += static_cast<unsigned char>(text[i]);
  Fmt(send_data, "$%c%s%c", length, text, static_cast<int>((length + sum) & 0xFFu));
  // The terminator goes out too; a 0x00 checksum ends the text in front of
  // it, and then is itself the last byte sent.
  const int count = static_cast<int>(strlen(send_data)) + 1;
  ComWrt(portNumber, send_data, count);
  return count;
}

int ChInQu() {
  int waiting = GetInQLen(portNumber);
  if (waiting <= 0)
    return 0;
  // Keep a 0x00 behind the bytes read. Every call takes all waiting bytes:
  // what does not fit is discarded, so that a backlog of noise costs one tick.
  const bool more = waiting > FRAME_BUFFER_SIZE - 1;
  if (more)
    waiting = FRAME_BUFFER_SIZE - 1;
  memset(read_data, 0, sizeof read_data);
  const int taken = ComRd(portNumber, read_data, waiting);
  if (more)
    FlushInQ(portNumber);
  if (taken <= 0)
    return 0;

  // A reply is only ever the first thing read: a "$" further in is inside
  // noise or inside another frame. Its length byte must have been read too,
  // not be the 0x00 behind a lone "$".
  if (taken < 2 || read_data[0] != '$')
    return 0;
  const int textLength = static_cast<int>(strlen(read_data));
  const int length = static_cast<signed char>(read_data[1]);
  if (length != textLength - 1)
    return 0;
  unsigned sum = 0;
  int j = 1;
  for (; j < length; ++j)
    sum += static_cast<unsigned char>(read_data[j]);
  // The checksum is a byte from 0 to 255, compared as such.
  return (sum & 0xFFu) == static_cast<unsigned char>(read_data[j]) ? 1 : 0;
}

char ReplyLetter() {
  // A frame with no payload (L < 3) has no letter: byte 2 is its checksum
  // or its terminator, or whatever followed it.
  return static_cast<signed char>(read_data[1]) >= 3 ? read_data[2] : '\0';
}

int ReplyNumber() {
  // The payload runs from byte 2 up to the checksum at byte L.
  int end = static_cast<signed char>(read_data[1]);
  if (end > FRAME_BUFFER_SIZE - 1)
    end = FRAME_BUFFER_SIZE - 1;
  int i = 3;
  while (i < end && (read_data[i] == ' ' || read_data[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < end && (read_data[i] == '-' || read_data[i] == '+'))
    negative = read_data[i++] == '-';
  long long value = 0;
  for (; i < end && read_data[i] >= '0' && read_data[i] <= '9'; ++i) {
    value = value * 10 + (read_data[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1)
      value = static_cast<long long>(INT_MAX) + 1; // saturate instead of overflowing
  }
  if (negative)
    value = -value;
  if (value > INT_MAX)
    value = INT_MAX;
  return static_cast<int>(value);
}
