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
// Why an open failed, in the record: the error number the words are chosen
// by, and the system's own words for it (runtime/serial/system_words.h);
// `systemError` is Windows' own number, 0 elsewhere.
void TapKeepSystemError(TapRecord *record, int error, unsigned long systemError);

} // namespace rt
