// The built-in demo device: the simulator's device model living in this
// process on a port number of its own, so that the panel and nuvaroctl work
// with no hardware attached. Each program (each run of nuvaroctl) has a fresh
// one.
#pragma once

// Port number of the built-in demo device.
constexpr int DEMO_DEVICE_PORT = 999;

// Puts a fresh device model on DEMO_DEVICE_PORT and lists it last among the
// port choices, under the panel's label for it.
void RegisterDemoDevice();
