#include "runtime/serial/line_state.h"

#include <poll.h>

namespace rt {

bool LineHungUp(const QSerialPort &port) {
  pollfd fd{static_cast<int>(port.handle()), POLLIN, 0};
  return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool WriteWouldHaveBlocked(const QSerialPort &port) {
  return port.error() == QSerialPort::ResourceError && !LineHungUp(port);
}

} // namespace rt
