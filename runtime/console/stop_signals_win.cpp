#include "runtime/console/stop_signals.h"

#include <windows.h>

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "runtime/core/serial_ops.h"

namespace rt::stop {

namespace {

// What a process ended by Ctrl+C gets from Windows' default handler; the same
// here for every console event, so that a script sees one status.
constexpr UINT kStatusControlCExit = 0xC000013A; // STATUS_CONTROL_C_EXIT

// The console event caught and not yet acted on, plus one (0: none).
std::atomic<unsigned long> pending{0};
// Set once the ports are closed, for a handler that must not return before.
HANDLE portsClosed = nullptr;
// Beyond this the system ends the process anyway (it allows 5 s).
constexpr DWORD kCloseWaitMs = 4000;

void ActOnPendingAtExit() {
  ActOnPending();
}

} // namespace

int OnConsoleEvent(unsigned long event) {
  switch (event) {
  case CTRL_C_EVENT:
  case CTRL_BREAK_EVENT:
  case CTRL_CLOSE_EVENT:
  case CTRL_LOGOFF_EVENT:
  case CTRL_SHUTDOWN_EVENT: break;
  default: return FALSE;
  }
  unsigned long none = 0;
  pending.compare_exchange_strong(none, event + 1);
  // This runs on a thread of its own: the main thread acts on it, from its
  // event loop or where Delay blocks.
  if (QCoreApplication *app = QCoreApplication::instance())
    QMetaObject::invokeMethod(
        app, [] { ActOnPending(); }, Qt::QueuedConnection);
  // A closed console, a log-off or a shutdown ends the process as soon as
  // this returns: not before the ports are closed.
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && portsClosed)
    ::WaitForSingleObject(portsClosed, kCloseWaitMs);
  return TRUE;
}

namespace {
BOOL WINAPI ConsoleHandler(DWORD event) {
  return OnConsoleEvent(event);
}
} // namespace

void Install() {
  QCoreApplication *app = QCoreApplication::instance();
  if (portsClosed || !app)
    return;
  portsClosed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atexit(ActOnPendingAtExit);
  ::SetConsoleCtrlHandler(&ConsoleHandler, TRUE);
  // A log-off or shutdown ends a program with windows after
  // WM_QUERYENDSESSION and WM_ENDSESSION, when Qt has emitted aboutToQuit;
  // the process is ended right after, before the exit handlers run.
  QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { CloseAllPorts(); });
}

void ActOnPending() {
  if (const unsigned long event = pending.load())
    EndBy(static_cast<int>(event - 1));
}

void EndBy(int) {
  CloseAllPorts();
  std::fflush(nullptr);
  if (portsClosed)
    ::SetEvent(portsClosed);
  ::ExitProcess(kStatusControlCExit);
}

} // namespace rt::stop
