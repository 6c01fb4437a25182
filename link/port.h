// Opening the serial port on demand and showing its state on the port LED.
#pragma once

extern int portReady;        // nonzero: the last attempt to open the port succeeded
extern int slectportchanged; // nonzero: the port choice is new; the next download reopens

// 1 when the port is now open. On failure it has cleared portReady itself.
int PortInit();
// For a port that reports an error (the device vanished): it then counts as
// not open, its LED goes dark and the next download reopens it.
void PortLost();
int SelectPort(int panel, int control, int event, void *callbackData, int eventData1,
               int eventData2);
int PortLed(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
