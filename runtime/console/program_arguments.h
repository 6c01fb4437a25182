// The command line a Qt application object is made with. It keeps references
// to argc and argv for its whole life, so they are copied once into storage
// that lasts as long as the program.
#pragma once

#include <string>
#include <vector>

namespace rt {

struct ProgramArguments {
  std::vector<std::string> texts;
  std::vector<char *> pointers; // into texts, then a null
  int argc = 0;
};

// `argv` (null-terminated) kept, or `programName` alone when it holds none.
// The first call decides; later calls return the same arguments.
ProgramArguments &KeepProgramArguments(char **argv, const char *programName);

} // namespace rt
