// Start-up, the event loop and shut-down.
#pragma once

// The whole program: returns the process exit code (0 after quit, -1 when the
// run-time cannot start or the panel cannot be loaded).
int NuvaroMain(int argc, char **argv);

void init();
int quit(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int Clean(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
