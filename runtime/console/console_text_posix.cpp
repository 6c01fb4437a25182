#include <cstdio>

#include "runtime/core/console_ops.h"

bool WriteConsoleText(ConsoleStream stream, const std::string &text) {
  std::FILE *file = stream == ConsoleStream::Error ? stderr : stdout;
  return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}
