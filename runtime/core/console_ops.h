// The run-time for a program without a window (nuvaroctl): started without a
// display, with the serial operations, Delay and Fmt of the panel's run-time,
// and none of its panels.
#pragma once

#include <string>

// Starts the run-time for a console program: Qt's core application object,
// no display needed. The stop signals are handled as the panel handles them:
// SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 and SIGALRM close the
// open ports and then end the process as the signal says, also when caught
// while Delay blocks (no event loop runs here); SIGPIPE is ignored. 1 on
// success, 0 when the run-time cannot start.
int InitConsoleRTE(char **argv);

// Closes the open ports and ends the process as `signal` does by default:
// what a console program does when its standard output is closed (SIGPIPE,
// which is otherwise ignored).
[[noreturn]] void EndLikeSignal(int signal);

enum class ConsoleStream { Output, Error };

// Writes UTF-8 text to standard output or standard error, and flushes it. To
// a Windows console through WriteConsoleW, which shows every character
// whatever the console's code page; to a pipe or a file, and on POSIX, the
// bytes as they are (Windows' C library makes each line end CR LF). false
// when not all of it was written, errno saying why.
bool WriteConsoleText(ConsoleStream stream, const std::string &text);

// Where the manual's first page (HTML) is: manual\index.html beside a Windows
// program, <prefix>/share/doc/nuvaro/manual/index.html for a program in
// <prefix>/bin, the build's manual folder for a program in a build tree.
std::string ManualPlace();
