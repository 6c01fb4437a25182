#include "link/frame_codec.h"

#include <climits>
#include <cstring>

unsigned char FrameChecksum(const char *payload, int n) {
  unsigned sum = static_cast<unsigned>(n + 2);
  for (int i = 0; i < n; ++i)
    sum += static_cast<unsigned char>(payload[i]);
  return static_cast<unsigned char>(sum & 0xFFu);
}

int EncodeFrame(const char *text, char *out, int capacity) {
  if (!text || !out)
    return 0;
  const int n = static_cast<int>(strnlen(text, FRAME_LONGEST_PAYLOAD + 1));
  if (n > FRAME_LONGEST_PAYLOAD || n + 4 > capacity)
    return 0;
  const unsigned char checksum = FrameChecksum(text, n);
  out[0] = '$';
  out[1] = static_cast<char>(n + 2);
  std::memcpy(out + FRAME_PAYLOAD_START, text, static_cast<std::size_t>(n));
  out[n + 2] = static_cast<char>(checksum);
  out[n + 3] = '\0';
  return checksum == 0 ? n + 3 : n + 4;
}

int IsReplyFrame(const char *bytes, int count) {
  if (!bytes || count < 2 || bytes[0] != '$')
    return 0;
  const int length = static_cast<signed char>(bytes[1]);
  // The checksum is the last byte before the end or the first 0x00, at L.
  const int text = static_cast<int>(strnlen(bytes, static_cast<std::size_t>(count)));
  if (length != text - 1)
    return 0;
  // L and the payload; "$",0x00 is the empty frame, its 0x00 both L and checksum.
  unsigned sum = 0;
  int j = 1;
  for (; j < length; ++j)
    sum += static_cast<unsigned char>(bytes[j]);
  // The checksum is a byte from 0 to 255, compared as such.
  return (sum & 0xFFu) == static_cast<unsigned char>(bytes[j]) ? 1 : 0;
}

int IsFrameWithBadChecksum(const char *bytes, int count) {
  if (!bytes || count < 4 || bytes[0] != '$')
    return 0;
  const int length = static_cast<signed char>(bytes[1]);
  if (length < 3 || length >= count)
    return 0;
  return FrameChecksum(bytes + FRAME_PAYLOAD_START, length - 2) !=
         static_cast<unsigned char>(bytes[length]);
}

int CommandPayloadLength(const char *bytes, int count) {
  if (!bytes || count < 3 || bytes[0] != '$')
    return -1;
  const int n = static_cast<signed char>(bytes[1]) - 2;
  // The shortest frame of n payload bytes is n + 3 long: look no further.
  if (n < 0 || n > FRAME_LONGEST_PAYLOAD || n + 3 > count ||
      memchr(bytes + FRAME_PAYLOAD_START, 0, static_cast<std::size_t>(n)) != nullptr)
    return -1;
  const unsigned char checksum = FrameChecksum(bytes + FRAME_PAYLOAD_START, n);
  // A 0x00 checksum ends the frame; otherwise the terminator follows it.
  if (count != (checksum == 0 ? n + 3 : n + 4) ||
      static_cast<unsigned char>(bytes[n + 2]) != checksum || (checksum != 0 && bytes[n + 3] != 0))
    return -1;
  return n;
}

int PayloadNumber(const char *payload, int n) {
  int i = 1; // after the letter
  while (i < n && (payload[i] == ' ' || payload[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < n && (payload[i] == '-' || payload[i] == '+'))
    negative = payload[i++] == '-';
  long long value = 0;
  for (; i < n && payload[i] >= '0' && payload[i] <= '9'; ++i) {
    value = value * 10 + (payload[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1)
      value = static_cast<long long>(INT_MAX) + 1; // saturate instead of overflowing
  }
  if (negative)
    value = -value;
  if (value > INT_MAX)
    value = INT_MAX;
  return static_cast<int>(value);
}

int IsPlainNumber(const char *text, int n) {
  if (!text || n <= 0)
    return 0;
  const bool negative = text[0] == '-';
  const int first = negative ? 1 : 0;
  const int digits = n - first;
  if (digits <= 0 || digits > 10 || (text[first] == '0' && (digits > 1 || negative)))
    return 0;
  long long value = 0;
  for (int i = first; i < n; ++i) {
    if (text[i] < '0' || text[i] > '9')
      return 0;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? value <= static_cast<long long>(INT_MAX) + 1 : value <= INT_MAX;
}

int FramePayloadEnd(const char *frame, int count) {
  const int end = static_cast<signed char>(frame[1]);
  return end < count ? end : count;
}
