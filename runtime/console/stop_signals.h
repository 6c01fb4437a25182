// SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 and SIGALRM close the
// open ports before the process ends; SIGPIPE is ignored.
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
// since a download runs no event loop for up to about 3 s. Then the ports are
// closed the normal way and the same signal is raised again with its default
// action: the process ends as the signal says (SIGQUIT with its core), and
// the quit button's callback does not run. A signal the program was started ignoring (nohup)
// stays ignored. Nothing happens on Windows.
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

// Closes the open ports and ends the process as `signal` does by default.
[[noreturn]] void EndBy(int signal);

} // namespace rt::stop
