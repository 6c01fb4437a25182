// The words of a console program in Chinese, readable where they land. A
// redirect or a pipe gets the program's UTF-8 as it is, on every system. A
// Windows console shows bytes in its output code page (936 on a Chinese
// system, 437 on an English one), not UTF-8: while the program runs the
// console is switched to UTF-8 (65001), and switched back at its end, as
// cmd and PowerShell expect. Nothing to do elsewhere. Files:
// console_code_page_posix.cpp, console_code_page_win.cpp.
#pragma once

namespace rt {

// Once, at the start of a console program.
void UseUtf8ConsoleOutput();
// The console's own code page again; also called by the stop handler.
void RestoreConsoleOutput();

} // namespace rt
