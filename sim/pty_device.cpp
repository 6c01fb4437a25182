#include "sim/pty_device.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "sim/raw_pty.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace sim {

PtyDevice::PtyDevice(std::shared_ptr<DeviceModel> model)
    : model_(std::move(model)), epoch_(std::chrono::steady_clock::now()) {}

PtyDevice::~PtyDevice() {
  Stop();
}

double PtyDevice::Now() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch_).count();
}

void PtyDevice::SetFrameLog(std::function<void(const FrameEvent &)> log) {
  model_->SetFrameObserver(std::move(log));
}

#ifdef _WIN32

bool PtyDevice::Start(std::string *error) {
  if (error)
    *error = "pseudo-terminals are not available on this system";
  return false;
}

void PtyDevice::Stop() {}
void PtyDevice::Serve() {}
void PtyDevice::CloseAll() {}

#else

namespace {

std::string SystemError(const char *what) {
  return std::string(what) + ": " + std::strerror(errno);
}

bool AddFlags(int fd, int statusFlags) {
  const int status = fcntl(fd, F_GETFL);
  if (status < 0 || fcntl(fd, F_SETFL, status | statusFlags) != 0)
    return false;
  const int descriptor = fcntl(fd, F_GETFD);
  return descriptor >= 0 && fcntl(fd, F_SETFD, descriptor | FD_CLOEXEC) == 0;
}

} // namespace

bool PtyDevice::Start(std::string *error) {
  if (Running())
    return true;
  std::string problem;
  auto fail = [&](const char *what) {
    problem = SystemError(what);
    CloseAll();
    if (error)
      *error = problem;
    return false;
  };

  RawPty pty = OpenRawPty(&problem);
  if (pty.master < 0) {
    if (error)
      *error = problem;
    return false;
  }
  master_ = pty.master;
  slavePath_ = std::move(pty.slavePath);

  slaveKeeper_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveKeeper_ < 0)
    return fail("open (slave)");
  if (!MakeRaw(slaveKeeper_))
    return fail("tcsetattr (slave)");

  int wake[2];
  if (pipe(wake) != 0)
    return fail("pipe");
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  if (!AddFlags(wakeRead_, O_NONBLOCK) || !AddFlags(wakeWrite_, O_NONBLOCK))
    return fail("fcntl");

  stopping_ = false;
  thread_ = std::thread(&PtyDevice::Serve, this);
  return true;
}

void PtyDevice::Stop() {
  if (thread_.joinable()) {
    stopping_ = true;
    const char wake = 'x';
    [[maybe_unused]] ssize_t ignored = write(wakeWrite_, &wake, 1);
    thread_.join();
  }
  CloseAll();
}

void PtyDevice::CloseAll() {
  for (int *fd : {&master_, &slaveKeeper_, &wakeRead_, &wakeWrite_}) {
    if (*fd >= 0)
      close(*fd);
    *fd = -1;
  }
}

void PtyDevice::Serve() {
  // Longest sleep without news: lets replies queued by someone calling the
  // model directly (a test) go out too.
  constexpr int kIdleWaitMs = 50;
  std::string outbound;
  unsigned char input[512];

  while (!stopping_) {
    if (outbound.empty()) {
      const double now = Now();
      const int ready = model_->Readable(now);
      if (ready > 0) {
        outbound.resize(static_cast<std::size_t>(ready));
        const int taken =
            model_->Take(reinterpret_cast<unsigned char *>(outbound.data()), ready, now);
        outbound.resize(static_cast<std::size_t>(std::max(taken, 0)));
      }
    }
    if (!outbound.empty()) {
      const ssize_t written = write(master_, outbound.data(), outbound.size());
      if (written > 0)
        outbound.erase(0, static_cast<std::size_t>(written));
    }

    int waitMs = kIdleWaitMs;
    if (!outbound.empty()) {
      waitMs = 10; // the terminal's queue is full; try again shortly
    } else if (std::optional<double> next = model_->NextReplyTime(Now())) {
      const double ms = std::ceil((*next - Now()) * 1000.0);
      waitMs = static_cast<int>(std::clamp(ms, 0.0, static_cast<double>(kIdleWaitMs)));
    }

    pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int polled = poll(fds, 2, waitMs);
    if (polled < 0 && errno != EINTR)
      break;
    if (fds[1].revents != 0)
      break;
    if (fds[0].revents & POLLIN) {
      const ssize_t got = read(master_, input, sizeof input);
      if (got > 0)
        model_->Receive(input, static_cast<int>(got), Now());
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      // Nobody holds the slave (should not happen while slaveKeeper_ is
      // open); avoid spinning.
      usleep(10 * 1000);
    }
  }
}

#endif

} // namespace sim
