// The send button: downloads Settings to the device.
#pragma once

extern int commOk; // 1 while every command of a sequence has been acknowledged

int send(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
