#include "runtime/serial/line_state.h"

#include <windows.h>

namespace rt {

namespace {

// The count of bytes the driver holds, or -1 when it cannot tell: the
// device is gone (an unplugged USB adapter fails every call on its handle).
long long DriverQueue(const QSerialPort &port) {
  DWORD errors = 0;
  COMSTAT status{};
  if (!::ClearCommError(port.handle(), &errors, &status))
    return -1;
  return status.cbInQue;
}

} // namespace

bool LineHungUp(const QSerialPort &port) {
  return port.isOpen() && DriverQueue(port) < 0;
}

// An overlapped write never blocks the program: a full driver queue is a
// slow write, not an error.
bool WriteWouldHaveBlocked(const QSerialPort &) {
  return false;
}

void StartDriverRead(QSerialPort &port) {
  if (!port.isOpen() || DriverQueue(port) <= 0)
    return;
  // Setting the buffer's size (to what it is) makes Qt start its driver
  // read, when none is under way and the buffer has room.
  port.setReadBufferSize(port.readBufferSize());
}

} // namespace rt
