// Starting the run-time for a console program.
#include "runtime/core/console_ops.h"

#include <QCoreApplication>

#include <string>
#include <vector>

#include "runtime/console/stop_signals.h"
#include "runtime/core/delay.h"

int InitConsoleRTE(char **argv) {
  if (QCoreApplication::instance()) {
    rt::stop::Install();
    return 1;
  }
  // QCoreApplication keeps references to argc and argv for its lifetime.
  static std::vector<std::string> arguments;
  static std::vector<char *> pointers;
  static int argc = 0;
  for (char **a = argv; a && *a; ++a)
    arguments.emplace_back(*a);
  if (arguments.empty())
    arguments.emplace_back("nuvaroctl");
  for (std::string &a : arguments)
    pointers.push_back(a.data());
  pointers.push_back(nullptr);
  argc = static_cast<int>(arguments.size());
  new QCoreApplication(argc, pointers.data());
  rt::stop::Install();
  // No event loop runs here: a stop signal is looked for each time Delay
  // blocks, as the panel's busy hook does during a download.
  rt::SetBusyHook(&rt::stop::ActOnPending);
  return 1;
}

void EndLikeSignal(int signal) {
  rt::stop::EndBy(signal);
}
