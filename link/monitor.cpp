#include "link/monitor.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "link/download.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/port.h"
#include "link/vocabulary.h"
#include "runtime/core/runtime.h"

int Comm(int, int, int event, void *, int, int) {
  if (event != EVENT_LEFT_CLICK)
    return 0;
  if (!portReady) {
    SetCtrlVal(panelHandle, CTL_COMM_LED, 0);
    return 0;
  }
  commOk = 1;
  Fmt(buf, CMD_LINK_CHECK);
  if (order(buf) == 0)
    commOk = 0;
  if (commOk) {
    SetCtrlVal(panelHandle, CTL_COMM_LED, 1);
  } else {
    MessagePopup("", "  硬件通讯错误");
    SetCtrlVal(panelHandle, CTL_COMM_LED, 0);
    if (GetInQLen(portNumber) < 0)
      PortLost();
  }
  return 0;
}

int MyTimer(int, int, int event, void *, int, int) {
  if (event != EVENT_TIMER_TICK)
    return 0;
  if (!portReady)
    return 0;
  const int waiting = GetInQLen(portNumber);
  if (waiting < 0) {
    PortLost(); // no popup from the timer: the dark port LED says it
    return 0;
  }
  // A poll's answer is picked up by a later tick.
  if (waiting == 0) {
    Fmt(buf, CMD_RATE_POLL);
    SendOrder(buf);
  }
  if (ChInQu() == 1 && ReplyLetter() == REPLY_RATE)
    SetCtrlVal(panelHandle, CTL_RATE_METER, ReplyNumber());
  return 0;
}
