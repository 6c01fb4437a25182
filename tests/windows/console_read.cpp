// Test helper (Windows, for scripts/windows-checks/): runs a program on a new
// console, its standard output and error that console, and writes what the
// console's screen buffer then shows, read back with
// ReadConsoleOutputCharacterW, as UTF-8 lines into OUTPUT. Exits with the
// program's status (2 when it cannot run it, 3 when it did not end in 60 s).
//   console_read OUTPUT PROGRAM [ARGS...]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t **argv) {
  if (argc < 3) {
    std::fputs("usage: console_read OUTPUT PROGRAM [ARGS...]\n", stderr);
    return 2;
  }
  std::wstring command;
  for (int i = 2; i < argc; ++i) {
    if (i > 2)
      command += L' ';
    command += L'"' + std::wstring(argv[i]) + L'"';
  }
  FreeConsole();
  if (!AllocConsole()) {
    std::fprintf(stderr, "console_read: no console (%lu)\n", GetLastError());
    return 2;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, OPEN_EXISTING, 0, nullptr);
  const HANDLE keys =
      CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, OPEN_EXISTING, 0, nullptr);
  if (screen == INVALID_HANDLE_VALUE || keys == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "console_read: cannot open the console (%lu)\n", GetLastError());
    return 2;
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = keys;
  si.hStdOutput = screen;
  si.hStdError = screen;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::fprintf(stderr, "console_read: cannot start (%lu)\n", GetLastError());
    return 2;
  }
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_TIMEOUT) {
    TerminateProcess(pi.hProcess, 1);
    return 3;
  }
  DWORD status = 0;
  GetExitCodeProcess(pi.hProcess, &status);

  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(screen, &info)) {
    std::fprintf(stderr, "console_read: no screen buffer (%lu)\n", GetLastError());
    return 2;
  }
  FILE *out = _wfopen(argv[1], L"wb");
  if (!out)
    return 2;
  std::vector<wchar_t> row(static_cast<std::size_t>(info.dwSize.X));
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), {0, y}, &read);
    while (read > 0 && row[read - 1] == L' ')
      --read;
    std::string utf8(read * 4 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, row.data(), static_cast<int>(read), utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    std::fprintf(out, "%s\n", utf8.c_str());
  }
  std::fclose(out);
  return static_cast<int>(status);
}
