// The panel's controls, in one table: ID, objectName, callback and the event
// the callback acts on (runtime/core/control_table.h says how LoadPanel
// checks the panel file against it). The parameters' rows are made from the
// parameter table (app/state/parameters.h). Tests walk the same table.
#pragma once

#include "link/demo_device.h" // DEMO_DEVICE_PORT
#include "runtime/core/control_table.h"

extern const rt::ControlRow *const controlTable;
extern const int controlCount;

// Registers the control table and the built-in demo device. Before LoadPanel.
void RegisterAppControls();
