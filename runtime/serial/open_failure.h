// Why a device could not be opened, as the system's error number.
//
// On POSIX QSerialPort keeps errno to itself, and its error string is
// translated when Qt's Chinese translations are loaded; the link view wants
// the number, and words of its own. The device is opened once more, as
// plainly as possible, and closed at once: the error that open gives is the
// reason. A device that opens then is held through Qt's lock file by another
// program (Locked), or is no terminal (ENOTTY) (open_failure_posix.cpp).
// On Windows the port's own open gives Windows' error number, which the
// link view's words are chosen by as the POSIX number that names the same
// trouble (open_failure.cpp, read and tested on every system).
#pragma once

#include <QSerialPort>

#include <string>

#include "runtime/serial/serial_endpoint.h"

namespace rt {

#ifndef _WIN32
OpenFailure OpenFailureOf(const std::string &path, QSerialPort::SerialPortError qtError);
#endif

// Windows' error number from opening a port, kept, and the POSIX number for
// the same trouble (a port held by another program is EBUSY); EIO for others.
OpenFailure OpenFailureOfWindowsError(unsigned long error);

} // namespace rt
