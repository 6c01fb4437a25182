// What an open serial port holds against other programs, kept where a
// signal handler can let it go (rt::ReleasePortLocksFromSignal, serial_ops.h):
// on POSIX, Qt's lock file and the terminal's exclusive use; on Windows
// nothing, since the system releases the port's claim with the process.
// Files: held_locks_posix.cpp, held_locks_win.cpp.
#pragma once

class QSerialPort;

namespace rt {

// After `port` opened.
void NoteHeldLock(const QSerialPort &port);
// Before it closes.
void ForgetHeldLock(const QSerialPort &port);

} // namespace rt
