#include "link/monitor.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "link/frame.h"
#include "link/port.h"
#include "link/rate_poll.h"
#include "link/sequence.h"
#include "runtime/core/runtime.h"

int Comm(int, int, int event, void *, int, int) {
  if (event != EVENT_LEFT_CLICK)
    return 0;
  if (!portReady) {
    SetCtrlVal(panelHandle, CTL_COMM_LED, 0);
    return 0;
  }
  CheckLink();
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
  if (PollRate() < 0) {
    PortLost(); // no popup from the timer: the dark port LED says it
    return 0;
  }
  // A poll's answer is picked up by a later tick.
  int rate = 0;
  if (TakeRate(&rate))
    SetCtrlVal(panelHandle, CTL_RATE_METER, rate);
  return 0;
}
