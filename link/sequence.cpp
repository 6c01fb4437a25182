#include "link/sequence.h"

#include "app/state/parameters.h"
#include "app/state/settings.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/vocabulary.h"
#include "runtime/core/delay.h"
#include "runtime/core/fmt.h"
#include "runtime/core/serial_ops.h"

int commOk = 0;

namespace {

void OrderOrFail(const char *text) {
  if (order(text) == 0)
    commOk = 0;
}

// The command of a parameter with a number of its own, its value as Settings
// holds it.
void OrderValue(int SettingsRecord::*field) {
  Fmt(buf, FormatOf(field), Settings.*field);
  OrderOrFail(buf);
}

} // namespace

int DownloadSettings() {
  Delay(DOWNLOAD_SETTLE_WAIT);
  FlushInQ(portNumber);
  commOk = 1;

  // The mode command gates the rest; after it every command is sent even when
  // an earlier one failed.
  Fmt(buf, Settings.signalMode ? CMD_SIGNAL_MODE_ON : CMD_SIGNAL_MODE_OFF);
  OrderOrFail(buf);
  if (commOk) {
    OrderValue(&SettingsRecord::angle);
    OrderValue(&SettingsRecord::width);
    if (Settings.workMode) {
      Fmt(buf, CMD_FIXED_RATE);
      OrderOrFail(buf);
      OrderValue(&SettingsRecord::rate);
    } else {
      Fmt(buf, CMD_SWEEP_RANGE, Settings.sweepMin, Settings.sweepMax, Settings.sweepStep);
      OrderOrFail(buf);
      OrderValue(&SettingsRecord::repeat);
      Fmt(buf, CMD_SWEEP);
      OrderOrFail(buf);
    }
  }
  return commOk;
}

int CheckLink() {
  commOk = 1;
  Fmt(buf, CMD_LINK_CHECK);
  OrderOrFail(buf);
  return commOk;
}
