#include "sim/raw_pty.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace sim {

#ifdef _WIN32

RawPty OpenRawPty(std::string *error) {
  if (error)
    *error = "pseudo-terminals are not available on this system";
  return {};
}

bool MakeRaw(int) {
  return false;
}

#else

bool MakeRaw(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0)
    return false;
  cfmakeraw(&tio);
  cfsetispeed(&tio, B38400);
  cfsetospeed(&tio, B38400);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &tio) == 0;
}

RawPty OpenRawPty(std::string *error) {
  RawPty pty;
  const char *failed = nullptr;
  pty.master = posix_openpt(O_RDWR | O_NOCTTY);
  if (pty.master < 0) {
    failed = "posix_openpt";
  } else if (grantpt(pty.master) != 0) {
    failed = "grantpt";
  } else if (unlockpt(pty.master) != 0) {
    failed = "unlockpt";
  } else {
#ifdef __linux__
    char name[128];
    if (ptsname_r(pty.master, name, sizeof name) == 0)
      pty.slavePath = name;
#else
    if (const char *name = ptsname(pty.master))
      pty.slavePath = name;
#endif
    const int status = fcntl(pty.master, F_GETFL);
    if (pty.slavePath.empty())
      failed = "ptsname";
    else if (status < 0 || fcntl(pty.master, F_SETFL, status | O_NONBLOCK) != 0 ||
             fcntl(pty.master, F_SETFD, FD_CLOEXEC) != 0)
      failed = "fcntl";
    else if (!MakeRaw(pty.master))
      failed = "tcsetattr (master)";
  }
  if (!failed)
    return pty;
  const std::string problem = std::string(failed) + ": " + std::strerror(errno);
  if (pty.master >= 0)
    close(pty.master);
  if (error)
    *error = problem;
  return {};
}

#endif

} // namespace sim
