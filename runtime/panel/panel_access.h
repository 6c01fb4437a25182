// Qt-side access to loaded panels, for tests, tools and accessibility work.
// Application code does not use this header.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace rt {

// The top-level widget of a loaded panel, or nullptr.
QWidget *PanelWidget(int panel);
// The widget that carries control ID `control` on `panel`, or nullptr.
QWidget *ControlWidget(int panel, int control);
// The callback name the panel file gives the control ("" when none).
std::string ControlCallbackName(int panel, int control);

// Replaces what MessagePopup shows. The handler gets the title and the text
// (UTF-8) and returns when the popup counts as dismissed. An empty function
// restores the modal message box.
using PopupHandler = std::function<void(const std::string &title, const std::string &message)>;
void SetPopupHandler(PopupHandler handler);

// Calls the control's callback as the panel would for `event`; returns what
// the callback returned, or a negative UIE_ code.
int DispatchControlEvent(int panel, int control, int event);

// The command button's colour as 0xRRGGBB, or a negative UIE_ code.
int CommandButtonColor(int panel, int control);

// True while timer callbacks are suspended.
bool TimerCallbacksSuspended();

} // namespace rt
