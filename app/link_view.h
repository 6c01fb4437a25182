// The link view wired up: the serial tap's records go to the decoder
// (traffic/) from the event loop, its rows to the view, and the download's
// progress, read from the tap's ring, to the send button while it blocks.
// The application's callbacks know nothing of it.
#pragma once

// Before the panel is loaded (RegisterAppControls does it), and again to
// start afresh: the view closed, the decoder new.
void StartLinkView();

// The "通讯记录" button: shows or hides the view.
int ShowLinkView(int panel, int control, int event, void *callbackData, int eventData1,
                 int eventData2);
