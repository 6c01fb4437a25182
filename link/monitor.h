// The link check (a click on the communication LED) and the rate monitor.
#pragma once

int Comm(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int MyTimer(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
