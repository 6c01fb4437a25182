// The control table: for each control of the panel, its ID, its objectName,
// the callback it sends its events to and the event that callback acts on.
// The application registers its table before it loads the panel; LoadPanel
// then checks the panel file against it and binds each control's callback
// from it. A panel file that does not match the table does not load:
//   - a control names a callback that is not the one its table entry gives
//     (a misspelled name, or a callback the table does not have);
//   - a control of the table is missing, or carries another objectName;
//   - a control cannot send the event its callback acts on;
//   - two controls share an ID.
// A control the table does not list loads when it names no callback.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/events.h"

namespace rt {

struct ControlRow {
  int id;                   // the control's ctrlId in the panel file
  const char *objectName;   // its objectName there
  const char *callbackName; // its callback property there; "" for none
  CtrlCallbackPtr callback; // the function behind that name; nullptr for none
  int event;                // the event the callback acts on; 0 for none
};

// Replaces the registered table with a copy of `table`.
void RegisterControls(const ControlRow *table, int count);
// The registered table; its names stay valid until the next RegisterControls.
std::vector<ControlRow> RegisteredControls();
// The entry for control `id`, or nullptr.
const ControlRow *FindControlRow(int id);

// Puts `function` behind every entry whose callback is `name` (tests swap in
// a recorder or a blocking callback this way); returns the function that was
// there, or nullptr when no entry names that callback.
CtrlCallbackPtr RegisterCallback(const std::string &name, CtrlCallbackPtr function);

} // namespace rt
