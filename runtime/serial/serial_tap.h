// What the serial operations call to note each operation for the tap
// (runtime/core/serial_tap.h says what is noted and when it is handed out).
#pragma once

#include "runtime/core/serial_tap.h"

namespace rt {

// A new record at the end of the ring, with its kind, port and clocks filled
// in, for the caller to complete before it returns; nullptr when nobody
// listens or the ring is full (the record is then counted as lost).
TapRecord *TapAdd(TapKind kind, int port, int result = 0);
// Keeps the first of `bytes` in the record's head; `count` is their number.
void TapKeepBytes(TapRecord *record, const char *bytes, long long count);
// The system's words for `error` in the record: its name and its untranslated
// description ("EACCES: Permission denied"), whatever the machine's locale.
void TapKeepSystemError(TapRecord *record, int error);

} // namespace rt
