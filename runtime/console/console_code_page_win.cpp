#include "runtime/console/console_code_page.h"

#include <windows.h>

#include <cstdlib>

namespace rt {

namespace {
UINT savedCodePage = 0; // 0: nothing to restore
} // namespace

void UseUtf8ConsoleOutput() {
  if (savedCodePage != 0)
    return;
  // No console (started from a program with windows, output redirected and
  // no console attached): nothing to switch.
  const UINT current = ::GetConsoleOutputCP();
  if (current == 0 || current == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8))
    return;
  savedCodePage = current;
  std::atexit(RestoreConsoleOutput);
}

void RestoreConsoleOutput() {
  if (savedCodePage != 0)
    ::SetConsoleOutputCP(savedCodePage);
  savedCodePage = 0;
}

} // namespace rt
