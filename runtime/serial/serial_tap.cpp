#include "runtime/serial/serial_tap.h"

#include "runtime/core/clock.h"
#include "runtime/core/time_of_day.h"

namespace rt {

namespace {
TapListener listener = nullptr;
bool noting = false; // a listener that itself uses a port records nothing more
} // namespace

void SetSerialTap(TapListener l) {
  listener = l;
}

bool SerialTapActive() {
  return listener != nullptr;
}

void TapNote(TapKind kind, int port, int result, const char *bytes, int count,
             const std::string &reason, const std::string &systemWords) {
  if (!listener || noting)
    return;
  TapRecord record;
  record.kind = kind;
  record.port = port;
  record.result = result;
  if (bytes && count > 0)
    record.bytes.assign(bytes, static_cast<std::size_t>(count));
  record.reason = reason;
  record.systemWords = systemWords;
  record.clock = CurrentClock().Now();
  record.wallMs = WallClockMs();
  noting = true;
  listener(record);
  noting = false;
}

} // namespace rt
