// Why QSerialPort could not open a device, as the system's error number.
//
// QSerialPort keeps errno to itself, and its error string is translated when
// Qt's Chinese translations are loaded; the link view wants the number, and
// words of its own. On POSIX the device is opened once more, as plainly as
// possible, and closed at once: the error that open gives is the reason. A
// device that opens then is held through Qt's lock file by another program
// (Locked), or is no terminal (ENOTTY). Elsewhere Qt's error is mapped.
#pragma once

#include <QSerialPort>

#include <string>

#include "runtime/serial/serial_endpoint.h"

namespace rt {

OpenFailure OpenFailureOf(const std::string &path, QSerialPort::SerialPortError qtError);

} // namespace rt
