// What the system says of an open serial port beyond QSerialPort's errors
// (POSIX; a Windows port does without QSerialPort, serial_device_win.cpp).
#pragma once

#include <QSerialPort>

namespace rt {

// An unplugged adapter, or a pseudo-terminal whose other side closed, hangs
// up the line: reads then return nothing forever instead of failing.
bool LineHungUp(const QSerialPort &port);

// Qt reports a write that would block as a resource error, as it does a
// vanished device; only the absence of a hang-up tells them apart.
bool WriteWouldHaveBlocked(const QSerialPort &port);

} // namespace rt
