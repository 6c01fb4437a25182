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
  const int prefix =
      std::snprintf(out, static_cast<std::size_t>(size), "Windows 错误 %lu", systemError);
  if (prefix < 0 || prefix >= size)
    return;
  wchar_t words[160];
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(systemError), 0, words,
                             sizeof words / sizeof words[0], nullptr);
  while (n > 0 && (words[n - 1] == L'\r' || words[n - 1] == L'\n' || words[n - 1] == L' '))
    --n;
  if (n == 0)
    return; // a number Windows has no words for
  char utf8[480];
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, words, static_cast<int>(n), utf8,
                                           sizeof utf8, nullptr, nullptr);
  static const char kColon[] = "：";
  const int colon = static_cast<int>(sizeof kColon - 1);
  const int room = size - 1 - prefix - colon;
  if (length <= 0 || room <= 0)
    return;
  char *at = out + prefix;
  std::memcpy(at, kColon, static_cast<std::size_t>(colon));
  at += colon;
  const int kept = WholeCharacters(utf8, length, room);
  std::memcpy(at, utf8, static_cast<std::size_t>(kept));
  at[kept] = '\0';
}

} // namespace rt
