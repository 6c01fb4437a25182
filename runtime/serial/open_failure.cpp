#include "runtime/serial/open_failure.h"

#include <cerrno>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rt {

OpenFailure OpenFailureOf(const std::string &path, QSerialPort::SerialPortError qtError) {
#ifndef _WIN32
  (void)qtError;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return {TapOpenFault::System, errno};
  const bool terminal = ::isatty(fd) == 1;
  ::close(fd);
  if (!terminal)
    return {TapOpenFault::System, ENOTTY};
  return {TapOpenFault::Locked, 0};
#else
  (void)path;
  switch (qtError) {
  case QSerialPort::DeviceNotFoundError: return {TapOpenFault::System, ENOENT};
  case QSerialPort::PermissionError: return {TapOpenFault::System, EACCES};
  case QSerialPort::OpenError: return {TapOpenFault::System, EBUSY};
  case QSerialPort::UnsupportedOperationError: return {TapOpenFault::System, ENOTTY};
  default: return {TapOpenFault::System, EIO};
  }
#endif
}

} // namespace rt
