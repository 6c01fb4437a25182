// The send button: downloads Settings to the device.
#pragma once

#include "link/sequence.h" // commOk, DownloadSettings

int send(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
