// Test helper (Windows, for scripts/windows-checks/): runs a program on a new
// console it shares with it, sends the console's processes a control event
// after a delay, and prints and exits with the program's exit status
// ("exit status 0xC000013A"; 0x103 when the event did not end it).
//   ctrl_event_run c|break|none DELAY_MS PROGRAM [ARGS...]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
BOOL WINAPI SurviveTheEvent(DWORD) {
  return TRUE;
}
} // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 4) {
    std::fputs("usage: ctrl_event_run c|break DELAY_MS PROGRAM [ARGS...]\n", stderr);
    return 2;
  }
  const std::wstring kind = argv[1];
  const DWORD delay = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
  std::wstring command;
  for (int i = 3; i < argc; ++i) {
    if (i > 3)
      command += L' ';
    command += L'"' + std::wstring(argv[i]) + L'"';
  }
  // A console of the helper's own, shared with the program: the events go to
  // the processes of a console.
  FreeConsole();
  if (!AllocConsole()) {
    std::fprintf(stderr, "ctrl_event_run: no console (%lu)\n", GetLastError());
    return 2;
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::fprintf(stderr, "ctrl_event_run: cannot start (%lu)\n", GetLastError());
    return 2;
  }
  // Only now: a process started while its parent ignores Ctrl+C ignores it
  // too. The events go to every process of the console, this one included.
  SetConsoleCtrlHandler(&SurviveTheEvent, TRUE);
  if (WaitForSingleObject(pi.hProcess, delay) == WAIT_TIMEOUT) {
    const BOOL sent = kind == L"break" ? GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0)
                      : kind == L"c"   ? GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)
                                       : TRUE;
    if (!sent)
      std::fprintf(stderr, "ctrl_event_run: event not sent (%lu)\n", GetLastError());
  }
  if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_TIMEOUT)
    TerminateProcess(pi.hProcess, 0x103); // not ended by the event: reported as still running
  DWORD status = 0;
  GetExitCodeProcess(pi.hProcess, &status);
  std::printf("exit status 0x%08lX\n", status);
  std::fflush(stdout);
  return static_cast<int>(status);
}
