// SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU,
// SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR and the real-time signals close
// the open ports before the process ends; SIGPIPE is ignored. SIGABRT,
// SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGSYS, the signals of a broken
// process, only let go of the ports' lock files and exclusive use before
// they end it (a sanitizer's own handlers of them stay).
//
// A logout, a service stop or `kill` sends SIGTERM, Ctrl+C SIGINT, Ctrl+\ (a
// backslash) SIGQUIT, a closed terminal SIGHUP; the others end a process by
// default too.
// Left to their default action they end the process without
// the ports' close: the tty keeps its exclusive flag and Qt's lock file stays
// under /run/lock, so the next open of a pseudo-terminal fails as busy until
// its other side is restarted. Here the handler only writes the signal's
// number into a pipe, which is all it may safely do; the pipe is read from
// the event loop (a popup's nested loop included) and each time Delay blocks,
// since a download runs no event loop for seconds. Then the ports are
// closed the normal way and the same signal is raised again with its default
// action: the process ends as the signal says (SIGQUIT with its core), and
// the quit button's callback does not run. A signal the program was started ignoring (nohup)
// stays ignored.
//
// On Windows the console's control events take their place: Ctrl+C, Ctrl+Break,
// a closed console window, a log-off and a shutdown. The handler, which runs
// on a thread of its own, hands the event to the main thread (the event loop,
// or Delay) and, for the last three, after which the system ends the process
// as soon as the handler returns, waits until the ports are closed. Then the
// process ends with STATUS_CONTROL_C_EXIT (0xC000013A), as a process that
// Ctrl+C ends does by default. A program with windows (the panel) has no
// console: a log-off reaches it as WM_QUERYENDSESSION and WM_ENDSESSION, for
// which Qt emits aboutToQuit, and there the ports are closed. Files:
// stop_signals_posix.cpp, stop_signals_win.cpp.
//
// One list for both programs: the panel (InitCVIRTE) and the console program
// (InitConsoleRTE, runtime/core/console_ops.h), which runs no event loop, so
// only Delay and the exit look at the pipe there.
#pragma once

namespace rt::stop {

// Installs the handlers and the pipe's reader. Once, by InitCVIRTE or
// InitConsoleRTE, with the application object made.
void Install();

// Acts on a signal caught since, if any; called where no event loop runs.
void ActOnPending();

// Closes the open ports and ends the process as `signal` does by default
// (on Windows, a console event: with STATUS_CONTROL_C_EXIT).
[[noreturn]] void EndBy(int signal);

#ifdef _WIN32
// The console's control handler, as the system calls it (also from a test):
// TRUE for the events above, FALSE for any other.
int OnConsoleEvent(unsigned long event);
#endif

} // namespace rt::stop
