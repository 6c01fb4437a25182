#include "link/traffic_verdict.h"

#include <algorithm>
#include <cstdio>

#include "link/frame_codec.h"
#include "link/vocabulary.h"

namespace {

constexpr std::size_t kHexShown = 48;
constexpr std::size_t kTextShown = 32;

std::string Unreadable(const std::string &bytes) {
  return "无法识别（" + std::to_string(bytes.size()) + " 字节）";
}

} // namespace

bool FrameAt(const std::string &bytes, std::string &payload) {
  const int count = static_cast<int>(bytes.size());
  if (!IsReplyFrame(bytes.data(), count))
    return false;
  // A frame with no payload carries no reply letter: no reply to anyone.
  const int end = FramePayloadEnd(bytes.data(), count);
  if (end <= FRAME_PAYLOAD_START)
    return false;
  payload = bytes.substr(FRAME_PAYLOAD_START, static_cast<std::size_t>(end - FRAME_PAYLOAD_START));
  return true;
}

TrafficVerdict IncomingVerdict(const std::string &bytes) {
  TrafficVerdict v;
  if (FrameAt(bytes, v.payload)) {
    v.frame = true;
    v.letter = v.payload[0];
    v.number = PayloadNumber(v.payload.data(), static_cast<int>(v.payload.size()));
    if (v.letter == REPLY_ACKNOWLEDGEMENT)
      v.verdict = IsAcceptance(v.letter, v.number) ? "已确认" : "被拒绝";
    else if (v.letter == REPLY_RATE)
      v.verdict = "转速报告";
    else
      v.verdict = "未知应答";
    return v;
  }
  v.payload = PrintableBytes(bytes);
  // A "$" with a length that fits what was read, but the sum does not match.
  if (IsFrameWithBadChecksum(bytes.data(), static_cast<int>(bytes.size()))) {
    const int end = FramePayloadEnd(bytes.data(), static_cast<int>(bytes.size()));
    v.payload = PrintableBytes(
        bytes.substr(FRAME_PAYLOAD_START, static_cast<std::size_t>(end - FRAME_PAYLOAD_START)));
    v.verdict = "校验和错误";
    return v;
  }
  v.verdict = Unreadable(bytes);
  return v;
}

std::string KindOfRead(const TrafficVerdict &v) {
  if (v.frame)
    return std::string(1, v.letter) + v.verdict;
  return v.verdict == "校验和错误" ? v.verdict : "无法识别";
}

TrafficVerdict OutgoingVerdict(const std::string &bytes) {
  TrafficVerdict v;
  const int n = CommandPayloadLength(bytes.data(), static_cast<int>(bytes.size()));
  if (n <= 0) {
    v.payload = PrintableBytes(bytes);
    v.verdict = Unreadable(bytes);
    return v;
  }
  v.frame = true;
  v.payload = bytes.substr(FRAME_PAYLOAD_START, static_cast<std::size_t>(n));
  v.letter = v.payload[0];
  return v;
}

std::string HexBytes(const std::string &bytes, long long total) {
  std::string out;
  const std::size_t shown = bytes.size() < kHexShown ? bytes.size() : kHexShown;
  out.reserve(shown * 3 + 24);
  char cell[4];
  for (std::size_t i = 0; i < shown; ++i) {
    std::snprintf(cell, sizeof cell, "%02X", static_cast<unsigned char>(bytes[i]));
    if (i)
      out += ' ';
    out += cell;
  }
  const long long count = std::max(total, static_cast<long long>(bytes.size()));
  if (static_cast<long long>(shown) < count)
    out += " …（共 " + std::to_string(count) + " 字节）";
  return out;
}

std::string PrintableBytes(const std::string &bytes) {
  std::string out;
  const std::size_t shown = bytes.size() < kTextShown ? bytes.size() : kTextShown;
  char cell[8];
  for (std::size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(cell, sizeof cell, "\\x%02X", c);
      out += cell;
    }
  }
  if (shown < bytes.size())
    out += "…";
  return out;
}
