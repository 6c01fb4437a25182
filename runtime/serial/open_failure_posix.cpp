#include "runtime/serial/open_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace rt {

OpenFailure OpenFailureOf(const std::string &path, QSerialPort::SerialPortError) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return {TapOpenFault::System, errno};
  const bool terminal = ::isatty(fd) == 1;
  ::close(fd);
  if (!terminal)
    return {TapOpenFault::System, ENOTTY};
  return {TapOpenFault::Locked, 0};
}

} // namespace rt
