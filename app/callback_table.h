#pragma once

// Registers every callback the panel file names, and the built-in demo device.
void RegisterAppCallbacks();

// Port number of the built-in demo device.
constexpr int DEMO_DEVICE_PORT = 999;
