#include "sim/frame_log.h"

#include <cstdio>

namespace sim {

std::string Printable(std::string_view bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text.push_back(static_cast<char>(c));
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    }
  }
  return text;
}

std::string HexBytes(std::string_view bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", c);
    if (!text.empty())
      text.push_back(' ');
    text += hex;
  }
  return text;
}

std::string DescribeFrameEvent(const FrameEvent &event) {
  if (!event.frame.valid)
    return "bad frame (" + event.frame.problem + "): " + HexBytes(event.frame.bytes);
  std::string line = Printable(event.frame.bytes);
  if (event.reply.empty())
    return line + " (no reply)";
  return line + " -> " + Printable(event.reply);
}

} // namespace sim
