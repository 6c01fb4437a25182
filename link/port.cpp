#include "link/port.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "link/frame.h"
#include "link/line.h"
#include "runtime/core/runtime.h"

int portReady = 0;
int slectportchanged = 1;

int PortInit() {
  GetCtrlVal(panelHandle, CTL_PORT, &portNumber);
  const int result = OpenLine(portNumber);
  if (result == 0) {
    slectportchanged = 0;
    SetCtrlVal(panelHandle, CTL_PORT_LED, 1);
    return 1;
  }
  portReady = 0;
  SetCtrlVal(panelHandle, CTL_PORT_LED, 0);
  MessagePopup("", "串口错误，请重新选择串口");
  return 0;
}

void PortLost() {
  // The device went away: the port counts as not open, and the next download
  // or a click on the port LED opens it again.
  portReady = 0;
  slectportchanged = 1;
  SetCtrlVal(panelHandle, CTL_PORT_LED, 0);
}

int SelectPort(int, int, int event, void *, int, int) {
  if (event != EVENT_VAL_CHANGED)
    return 0;
  SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_PENDING);
  slectportchanged = 1;
  return 0;
}

int PortLed(int, int, int event, void *, int, int) {
  if (event != EVENT_LEFT_CLICK)
    return 0;
  portReady = PortInit();
  return 0;
}
