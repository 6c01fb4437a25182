// Why QSerialPort could not open a device, as the system's error number.
//
// QSerialPort keeps errno to itself, and its error string is translated when
// Qt's Chinese translations are loaded; the link view wants the number, and
// words of its own. On POSIX the device is opened once more, as plainly as
// possible, and closed at once: the error that open gives is the reason. A
// device that opens then is held through Qt's lock file by another program
// (Locked), or is no terminal (ENOTTY). On Windows the port is opened once
// more the same way, and Windows' error number is given as the POSIX one
// that names the same trouble. One file per system (open_failure_posix.cpp,
// open_failure_win.cpp).
#pragma once

#include <QSerialPort>

#include <string>

#include "runtime/serial/serial_endpoint.h"

namespace rt {

OpenFailure OpenFailureOf(const std::string &path, QSerialPort::SerialPortError qtError);

// Windows' error number from opening a port, as the POSIX number for the
// same trouble (a port held by another program is EBUSY); EIO for others.
OpenFailure OpenFailureOfWindowsError(unsigned long error);

} // namespace rt
