// Test helper (Windows, for scripts/windows-checks/): prints the strings of a
// file's version resource, one NAME=VALUE a line in UTF-8, for each language
// it holds ("language=0804" first).
//   version_info FILE
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintUtf8(const wchar_t *text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
  std::fputs(utf8.c_str(), stdout);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc != 2) {
    std::fputs("usage: version_info FILE\n", stderr);
    return 2;
  }
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
  std::vector<char> data(size);
  if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, data.data())) {
    std::fprintf(stderr, "version_info: no version resource (%lu)\n", GetLastError());
    return 1;
  }
  struct Translation {
    WORD language, codePage;
  };
  Translation *translations = nullptr;
  UINT bytes = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void **>(&translations), &bytes) ||
      bytes < sizeof(Translation)) {
    std::fputs("version_info: no translation\n", stderr);
    return 1;
  }
  const wchar_t *names[] = {L"CompanyName",  L"FileDescription", L"FileVersion",
                            L"InternalName", L"LegalCopyright",  L"OriginalFilename",
                            L"ProductName",  L"ProductVersion"};
  for (UINT t = 0; t < bytes / sizeof(Translation); ++t) {
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translations[t].language,
             translations[t].codePage);
    std::printf("language=%04x\n", translations[t].language);
    for (const wchar_t *name : names) {
      wchar_t *value = nullptr;
      UINT length = 0;
      if (!VerQueryValueW(data.data(), (std::wstring(block) + name).c_str(),
                          reinterpret_cast<void **>(&value), &length))
        continue;
      PrintUtf8(name);
      std::fputs("=", stdout);
      PrintUtf8(value);
      std::fputs("\n", stdout);
    }
  }
  return 0;
}
