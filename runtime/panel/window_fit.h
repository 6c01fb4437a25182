// A panel's window fitted to the screen it opens on, before it is shown.
//
// The panel file stores the window's size for a roomy screen. On a small
// one, or at 125 % to 200 % scaling, that size can exceed the screen's
// available area (on Windows the taskbar is not available): the window then
// opens at the stored size cut down to what the area holds with the
// window's frame, never below what its layout needs, and centred in the
// area with its title bar on the screen.
#pragma once

class QWidget;

namespace rt {

void FitToScreen(QWidget *window);

} // namespace rt
