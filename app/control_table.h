// The panel's controls, in one table: ID, objectName, callback and the event
// the callback acts on (runtime/core/control_table.h says how LoadPanel
// checks the panel file against it). Tests walk the same table.
#pragma once

#include "runtime/core/control_table.h"

extern const rt::ControlRow controlTable[];
extern const int controlCount;

// Registers the control table and the built-in demo device. Before LoadPanel.
void RegisterAppControls();

// Port number of the built-in demo device.
constexpr int DEMO_DEVICE_PORT = 999;
