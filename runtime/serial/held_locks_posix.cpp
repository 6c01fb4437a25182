#include <QSerialPort>
#include <QStandardPaths>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

#include "runtime/core/serial_ops.h"
#include "runtime/serial/held_locks.h"

namespace rt {

namespace {

// Room for the ports one program holds at once; a port beyond it is only
// released by a normal close.
constexpr int kMostHeld = 16;
constexpr std::size_t kPathBytes = 256;

struct Held {
  std::atomic<int> fd{-1}; // -1: the slot is free
  char lockFile[kPathBytes] = {};
};

Held held[kMostHeld];

// Where Qt keeps the lock file of a port: "LCK.." and the device's name
// below /dev with its slashes as underscores, in the first of its folders
// that holds it. The one naming this process is ours.
std::string LockFileOf(const QSerialPort &port) {
  std::string name = port.portName().toStdString();
  if (name.rfind("/dev/", 0) == 0)
    name.erase(0, 5);
  for (char &c : name)
    if (c == '/')
      c = '_';
  const std::string folders[] = {
      "/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
      QStandardPaths::writableLocation(QStandardPaths::TempLocation).toStdString()};
  for (const std::string &folder : folders) {
    const std::string path = folder + "/LCK.." + name;
    std::ifstream lock(path);
    long owner = 0;
    if (lock >> owner && owner == static_cast<long>(getpid()))
      return path;
  }
  return {};
}

} // namespace

void NoteHeldLock(const QSerialPort &port) {
  const int fd = static_cast<int>(port.handle());
  if (fd < 0)
    return;
  const std::string lockFile = LockFileOf(port);
  for (Held &h : held) {
    if (h.fd.load() != -1)
      continue;
    std::snprintf(h.lockFile, kPathBytes, "%s",
                  lockFile.size() < kPathBytes ? lockFile.c_str() : "");
    h.fd.store(fd);
    return;
  }
}

void ForgetHeldLock(const QSerialPort &port) {
  const int fd = static_cast<int>(port.handle());
  for (Held &h : held)
    if (fd >= 0 && h.fd.load() == fd)
      h.fd.store(-1);
}

// Only what a signal handler may call: ioctl and unlink.
void ReleasePortLocksFromSignal() {
  for (Held &h : held) {
    const int fd = h.fd.load();
    if (fd < 0)
      continue;
    ::ioctl(fd, TIOCNXCL);
    if (h.lockFile[0])
      ::unlink(h.lockFile);
  }
}

} // namespace rt
