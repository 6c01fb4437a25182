// The system's own words for why a device did not open, for the link view's
// bytes column and nuvaroctl's error line, beside the Chinese reason the
// link view chooses by the POSIX error number.
//
// On POSIX the error's name and its untranslated description ("EACCES:
// Permission denied"), whatever the machine's locale. On Windows Windows'
// own number and FormatMessageW's words for it, in the system's language
// ("Windows 错误 5：Access is denied."): an operator there knows no errno.
// Written into a fixed buffer, cut at a whole character; no allocation.
// Files: system_words_posix.cpp, system_words_win.cpp.
#pragma once

namespace rt {

void SystemErrorWords(int error, unsigned long systemError, char *out, int size);

} // namespace rt
