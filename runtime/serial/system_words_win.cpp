#include "runtime/serial/system_words.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace rt {

namespace {

// The bytes of `text` that fit in `room`, ending at a whole UTF-8 character.
int WholeCharacters(const char *text, int length, int room) {
  if (length <= room)
    return length;
  int end = room;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return end;
}

} // namespace

void SystemErrorWords(int, unsigned long systemError, char *out, int size) {
  if (size <= 0)
    return;
  char text[600];
  int length = std::snprintf(text, sizeof text, "Windows 错误 %lu", systemError);
  wchar_t words[160];
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(systemError), 0, words,
                             sizeof words / sizeof words[0], nullptr);
  while (n > 0 && (words[n - 1] == L'\r' || words[n - 1] == L'\n' || words[n - 1] == L' '))
    --n;
  // A number Windows has no words for stands alone.
  static const char kColon[] = "：";
  if (n > 0) {
    std::memcpy(text + length, kColon, sizeof kColon - 1);
    length += static_cast<int>(sizeof kColon - 1);
    const int converted =
        ::WideCharToMultiByte(CP_UTF8, 0, words, static_cast<int>(n), text + length,
                              static_cast<int>(sizeof text) - length - 1, nullptr, nullptr);
    length += converted > 0 ? converted : 0;
  }
  const int kept = WholeCharacters(text, length, size - 1);
  std::memcpy(out, text, static_cast<std::size_t>(kept));
  out[kept] = '\0';
}

} // namespace rt
