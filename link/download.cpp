#include "link/download.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/port.h"
#include "link/vocabulary.h"
#include "runtime/core/runtime.h"

int commOk = 0;

namespace {

void OrderOrFail(const char *text) {
  if (order(text) == 0)
    commOk = 0;
}

} // namespace

int send(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  if (slectportchanged)
    portReady = PortInit();
  if (!portReady)
    return 0;

  SuspendTimerCallbacks();
  Delay(DOWNLOAD_SETTLE_WAIT);
  FlushInQ(portNumber);
  commOk = 1;

  // The mode command gates the rest; after it every command is sent even when
  // an earlier one failed.
  Fmt(buf, Settings.signalMode ? CMD_SIGNAL_MODE_ON : CMD_SIGNAL_MODE_OFF);
  OrderOrFail(buf);
  if (commOk) {
    Fmt(buf, CMD_ANGLE, Settings.angle);
    OrderOrFail(buf);
    Fmt(buf, CMD_WIDTH, Settings.width);
    OrderOrFail(buf);
    if (Settings.workMode) {
      Fmt(buf, CMD_FIXED_RATE);
      OrderOrFail(buf);
      Fmt(buf, CMD_RATE, Settings.rate);
      OrderOrFail(buf);
    } else {
      Fmt(buf, CMD_SWEEP_RANGE, Settings.sweepMin, Settings.sweepMax, Settings.sweepStep);
      OrderOrFail(buf);
      Fmt(buf, CMD_REPEAT, Settings.repeat);
      OrderOrFail(buf);
      Fmt(buf, CMD_SWEEP);
      OrderOrFail(buf);
    }
  }

  if (commOk) {
    SetCtrlVal(panelHandle, CTL_COMM_LED, 1);
    SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_SENT);
  } else {
    MessagePopup("", "  硬件通讯错误");
    SetCtrlVal(panelHandle, CTL_COMM_LED, 0);
    if (GetInQLen(portNumber) < 0)
      PortLost();
  }
  ResumeTimerCallbacks();
  return 0;
}
