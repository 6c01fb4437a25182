// Starting the run-time for a console program.
#include "runtime/core/console_ops.h"

#include <QCoreApplication>

#include "runtime/console/program_arguments.h"
#include "runtime/console/stop_signals.h"
#include "runtime/core/delay.h"

int InitConsoleRTE(char **argv) {
  if (QCoreApplication::instance()) {
    rt::stop::Install();
    return 1;
  }
  rt::ProgramArguments &arguments = rt::KeepProgramArguments(argv, "nuvaroctl");
  new QCoreApplication(arguments.argc, arguments.pointers.data());
  rt::stop::Install();
  // No event loop runs here: a stop signal is looked for each time Delay
  // blocks, as the panel's busy hook does during a download.
  rt::SetBusyHook(&rt::stop::ActOnPending);
  return 1;
}

void EndLikeSignal(int signal) {
  rt::stop::EndBy(signal);
}
