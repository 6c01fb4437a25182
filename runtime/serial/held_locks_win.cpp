#include "runtime/core/serial_ops.h"
#include "runtime/serial/held_locks.h"

namespace rt {

// The named mutex that claims a port goes with the process however it ends.
void NoteHeldLock(const QSerialPort &) {}
void ForgetHeldLock(const QSerialPort &) {}
void ReleasePortLocksFromSignal() {}

} // namespace rt
