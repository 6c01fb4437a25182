// What the system says of an open serial port beyond QSerialPort's errors,
// one file per system (line_state_posix.cpp, line_state_win.cpp).
#pragma once

#include <QSerialPort>

namespace rt {

// An unplugged adapter, or a pseudo-terminal whose other side closed, hangs
// up the line: reads then return nothing forever instead of failing.
bool LineHungUp(const QSerialPort &port);

// Qt reports a write that would block as a resource error, as it does a
// vanished device; only the absence of a hang-up tells them apart.
bool WriteWouldHaveBlocked(const QSerialPort &port);

// Makes sure the bytes the system holds for the port are being read into its
// buffer. On Windows Qt reads only after the driver's "character received"
// event or a read of the program's; a driver that does not signal the event
// would leave a reply unread until the program read for some other reason.
// Nothing to do on POSIX, where Qt reads what poll finds.
void StartDriverRead(QSerialPort &port);

} // namespace rt
