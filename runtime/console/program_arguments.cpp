#include "runtime/console/program_arguments.h"

namespace rt {

ProgramArguments &KeepProgramArguments(char **argv, const char *programName) {
  static ProgramArguments kept = [argv, programName] {
    ProgramArguments a;
    for (char **arg = argv; arg && *arg; ++arg)
      a.texts.emplace_back(*arg);
    if (a.texts.empty())
      a.texts.emplace_back(programName);
    for (std::string &text : a.texts)
      a.pointers.push_back(text.data());
    a.pointers.push_back(nullptr);
    a.argc = static_cast<int>(a.texts.size());
    return a;
  }();
  return kept;
}

} // namespace rt
