#include "link/download.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "link/frame.h"
#include "link/port.h"
#include "runtime/core/runtime.h"

int send(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  if (slectportchanged)
    portReady = PortInit();
  if (!portReady)
    return 0;

  SuspendTimerCallbacks();
  DownloadSettings();
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
