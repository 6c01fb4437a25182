#include "link/sequence.h"

#include "app/state/parameters.h"
#include "app/state/settings.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/line_account.h"
#include "link/vocabulary.h"
#include "runtime/core/clock.h"
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

double Now() {
  return rt::CurrentClock().Now();
}

// The group's end: when the exchange took every command but the line's
// account cannot yet vouch for it, the line is read a while more (nothing is
// sent); a refusal the exchange could not count fails the group. The verdict
// goes to the serial tap for the link view.
int Conclude() {
  if (commOk && AccountNeedsLook()) {
    AccountLook();
    for (int i = 0; i < ORDER_ATTEMPTS && AccountVerdict() != LINE_REFUSAL_UNCOUNTED; ++i) {
      Delay(ORDER_REPLY_WAIT);
      if (TakeWaiting() < 0)
        break;
    }
  }
  const int verdict = AccountClose(Now());
  NoteLineVerdict(portNumber, verdict, lineAccount.firstInDoubt);
  if (verdict == LINE_REFUSAL_UNCOUNTED)
    commOk = 0;
  return commOk;
}

} // namespace

int DownloadSettings() {
  Delay(DOWNLOAD_SETTLE_WAIT);
  DiscardWaiting();
  AccountOpen(LINE_GROUP_DOWNLOAD, Now());
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
  return Conclude();
}

int CheckLink() {
  AccountOpen(LINE_GROUP_LINK_CHECK, Now());
  commOk = 1;
  Fmt(buf, CMD_LINK_CHECK);
  OrderOrFail(buf);
  return Conclude();
}
