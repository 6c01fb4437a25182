#include "runtime/serial/open_failure.h"

#include <windows.h>

#include <QString>

#include <cerrno>

namespace rt {

namespace {

// The name CreateFile takes: a bare port name goes into the device
// namespace, as Qt opens it ("COM12" alone does not open beyond COM9).
QString DeviceName(const std::string &path) {
  const QString name = QString::fromStdString(path);
  const bool bare = !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char('/'));
  return bare ? QStringLiteral("\\\\.\\") + name : name;
}

} // namespace

OpenFailure OpenFailureOf(const std::string &path, QSerialPort::SerialPortError) {
  // Opened once more, exclusively as a port is: the error that gives is the
  // reason. A device that opens now is no serial line, or could not be set
  // up as one.
  const QString name = DeviceName(path);
  const HANDLE handle =
      ::CreateFileW(reinterpret_cast<const wchar_t *>(name.utf16()), GENERIC_READ | GENERIC_WRITE,
                    0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return OpenFailureOfWindowsError(::GetLastError());
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  const bool serial = ::GetCommState(handle, &dcb) != 0;
  ::CloseHandle(handle);
  return {TapOpenFault::System, serial ? EIO : ENOTTY};
}

} // namespace rt
