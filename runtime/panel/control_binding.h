// Binding a loaded panel to the control table (runtime/core/control_table.h):
// the check that makes a panel file that does not match the table a load
// failure, and the lookup of each control's callback.
#pragma once

#include "runtime/panel/panel_registry.h"

namespace rt {

// Checks the controls collected from a panel file against the registered
// control table and gives each control the callback its entry names.
// UIE_FILE, with a warning saying which control is wrong, when they do not
// match; 0 otherwise.
int BindControls(PanelEntry &panel);

} // namespace rt
