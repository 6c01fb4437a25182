#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "runtime/core/console_ops.h"

bool WriteConsoleText(ConsoleStream stream, const std::string &text) {
  std::FILE *file = stream == ConsoleStream::Error ? stderr : stdout;
  const HANDLE handle =
      ::GetStdHandle(stream == ConsoleStream::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  // A pipe or a file: the UTF-8 bytes, with the C library's CR LF.
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode))
    return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
  // A console shows what the C library wrote in its code page's reading;
  // the console's own call shows every character whatever the code page.
  std::fflush(file);
  std::wstring wide(text.size(), L'\0');
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      wide.data(), static_cast<int>(wide.size()));
  const wchar_t *at = wide.data();
  for (DWORD left = static_cast<DWORD>(n > 0 ? n : 0); left > 0;) {
    DWORD written = 0;
    if (!::WriteConsoleW(handle, at, left, &written, nullptr) || written == 0) {
      errno = EIO;
      return false;
    }
    at += written;
    left -= written;
  }
  return true;
}
