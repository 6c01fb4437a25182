#include "sim/frame_log.h"

#include <cstdio>
#include <ctime>

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

std::string TimeOfDay(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                          when.time_since_epoch()).count() % 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                local.tm_sec, static_cast<int>(millis < 0 ? millis + 1000 : millis));
  return text;
}

} // namespace sim
