#include "runtime/console/stop_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "runtime/core/serial_ops.h"

namespace rt::stop {

namespace {

// Every signal whose default action ends the process and that someone may
// send: a logout or `kill` (SIGTERM), Ctrl+C (SIGINT), a closed terminal
// (SIGHUP), Ctrl+\ (SIGQUIT, which still leaves its core), the ones no part
// of the program uses (SIGUSR1, SIGUSR2, SIGALRM), the limits of a shell's
// ulimit (SIGXCPU, SIGXFSZ), timers and I/O it never arms (SIGVTALRM,
// SIGPROF, SIGIO), a failing power supply (SIGPWR); and the real-time
// signals the C library leaves to programs, added at start.
constexpr int kStopSignals[] = {SIGTERM, SIGINT,  SIGHUP,    SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,
                                SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR};

// The signals of a process that is broken: its memory or its code can no
// longer be trusted, so its ports are not closed the normal way. A minimal
// handler lets go of their locks and the signal ends the process as it
// would have, core and all.
constexpr int kFaultSignals[] = {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGSYS};

// Read end, write end; both non-blocking.
int pipeEnds[2] = {-1, -1};

void OnFault(int signal) {
  ReleasePortLocksFromSignal();
  // SA_RESETHAND has put back the default action: raised again, the signal
  // ends the process as the fault would have.
  ::raise(signal);
}

// Our handler for `signal`, but where it is ignored (nohup) and, with
// `onlyDefault`, where someone else handles it (a sanitizer's handlers of
// faults stay theirs).
void Handle(int signal, void (*handler)(int), int flags, bool onlyDefault) {
  struct sigaction old {};
  if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN ||
      (onlyDefault && (old.sa_handler != SIG_DFL || (old.sa_flags & SA_SIGINFO))))
    return;
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  ::sigaction(signal, &action, nullptr);
}

void OnSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  // When the pipe is full, a signal is already waiting to be acted on.
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
  errno = saved;
}

int TakePending() {
  unsigned char number = 0;
  return pipeEnds[0] >= 0 && ::read(pipeEnds[0], &number, 1) == 1 ? number : 0;
}

[[noreturn]] void RaiseAgain(int signal) {
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  std::_Exit(128 + signal); // not reached: the default action ends the process
}

// A signal caught after the event loop ended still ends the program as the
// signal says. Registered before the port table is first used, this runs
// after the table's own exit handler has closed the ports.
void RaiseAtExit() {
  if (const int signal = TakePending())
    RaiseAgain(signal);
}

bool MakePipe() {
  if (::pipe(pipeEnds) != 0)
    return false;
  for (int end : pipeEnds) {
    ::fcntl(end, F_SETFD, FD_CLOEXEC);
    ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
  }
  return true;
}

} // namespace

void Install() {
  QCoreApplication *app = QCoreApplication::instance();
  if (pipeEnds[0] >= 0 || !app || !MakePipe())
    return;
  std::atexit(RaiseAtExit);
  // A write to a closed pipe (stderr piped into a pager that quit, then any
  // warning of Qt's) fails with EPIPE instead of ending the program unseen.
  ::signal(SIGPIPE, SIG_IGN);
  auto *reader = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, app);
  QObject::connect(reader, &QSocketNotifier::activated, app, [] { ActOnPending(); });
  for (int signal : kStopSignals)
    Handle(signal, &OnSignal, SA_RESTART, false);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
    Handle(signal, &OnSignal, SA_RESTART, false);
  for (int signal : kFaultSignals)
    Handle(signal, &OnFault, SA_RESETHAND | SA_NODEFER, true);
}

void ActOnPending() {
  if (const int signal = TakePending())
    EndBy(signal);
}

void EndBy(int signal) {
  CloseAllPorts();
  RaiseAgain(signal);
}

} // namespace rt::stop
