// Test helper (Windows, for scripts/windows-checks/): prints the line
// settings GetCommState reads from a COM port, one name=value a line.
//   comm_state COM5
// Wine opens a port a second time while a program holds it, and both
// handles share the terminal's settings; Windows' own drivers refuse that.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t **argv) {
  if (argc != 2) {
    std::fputs("usage: comm_state COMn\n", stderr);
    return 2;
  }
  const std::wstring name = std::wstring(L"\\\\.\\") + argv[1];
  const HANDLE port =
      CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (port == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "comm_state: cannot open (%lu)\n", GetLastError());
    return 1;
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(port, &dcb)) {
    std::fprintf(stderr, "comm_state: GetCommState failed (%lu)\n", GetLastError());
    return 1;
  }
  CloseHandle(port);
  std::printf("baud=%lu\nbits=%u\nparity=%u\nstop=%u\nbinary=%u\nparity_check=%u\n"
              "error_char=%u\nnull_strip=%u\ncts_flow=%u\ndsr_flow=%u\nxon_out=%u\nxon_in=%u\n"
              "rts_control=%u\n",
              static_cast<unsigned long>(dcb.BaudRate), dcb.ByteSize, dcb.Parity, dcb.StopBits,
              dcb.fBinary, dcb.fParity, dcb.fErrorChar, dcb.fNull, dcb.fOutxCtsFlow,
              dcb.fOutxDsrFlow, dcb.fOutX, dcb.fInX, dcb.fRtsControl);
  return 0;
}
