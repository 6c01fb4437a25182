// The application's process-wide variables, as its libraries define them
// (the writable data nm finds there), are each reset in one place,
// ResetProcessState (app/process_state.cpp), which every test that loads the
// panel calls first: a new one that is not fails here, by name. Linux: the
// libraries are read with the build's nm.
#ifdef __linux__
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/process_state.h"
#include "app/state/settings.h"
#include "child_process.h"
#include "link/port.h"
#include "source_text.h"

namespace {

// The names of the writable variables of static storage `library` defines,
// without their scope ("(anonymous namespace)::decoder" is "decoder").
std::set<std::string> VariablesOf(const std::string &library) {
  const Child nm = SpawnChild({NUVARO_NM, "--format=sysv", "--demangle", library});
  std::istringstream listing(ReadAll(nm.out));
  EXPECT_EQ(WaitForExit(nm.pid), 0) << library;
  // System V format: name | value | class | type | size | line | section.
  static const std::regex row(R"(^([^|]*?) *\|[^|]*\|[^|]*\|[^|]*\|[^|]*\|[^|]*\| *(\S*))");
  static const std::regex writable(R"(^\.(bss|data|tbss|tdata)(\..*)?$)");
  std::set<std::string> names;
  for (std::string line; std::getline(listing, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, row) || !std::regex_match(m.str(2), writable) ||
        m.str(2).rfind(".data.rel.ro", 0) == 0)
      continue;
    const std::string name = m.str(1);
    // What the compiler adds: the personality routine's reference, the
    // guards of statics made at first use, a sanitizer's marks.
    if (name.rfind("DW.ref.", 0) == 0 || name.rfind("guard variable for ", 0) == 0 ||
        name.rfind("__odr_asan", 0) == 0) // AddressSanitizer's marks of each global
      continue;
    const std::size_t scope = name.rfind("::");
    names.insert(scope == std::string::npos ? name : name.substr(scope + 2));
  }
  return names;
}

TEST(ProcessState, EveryProcessWideVariableOfTheApplicationIsResetInOnePlace) {
  const std::string reset = SourceText("app/process_state.cpp");
  std::set<std::string> variables;
  std::istringstream libraries(NUVARO_APPLICATION_LIBRARIES);
  for (std::string library; std::getline(libraries, library, '|');)
    for (const std::string &name : VariablesOf(library))
      variables.insert(name);
  // The reader finds those there are.
  for (const char *known : {"Settings", "portReady", "slectportchanged", "datapoints", "decoder"})
    EXPECT_EQ(variables.count(known), 1u) << known << " was not found in the libraries";
  for (const std::string &name : variables)
    EXPECT_TRUE(std::regex_search(reset, std::regex("\\b" + name + "\\b")))
        << name << " is a process-wide variable of the application that "
        << "ResetProcessState (app/process_state.cpp) does not reset";

  // And it does what it says for those a test most often changes.
  portReady = 1, slectportchanged = 0, panelHandle = 9;
  Settings.rate = 12345;
  ResetProcessState();
  EXPECT_EQ(portReady, 0);
  EXPECT_EQ(slectportchanged, 1);
  EXPECT_EQ(panelHandle, 0);
  EXPECT_EQ(Settings, SettingsRecord{});
}

} // namespace

#endif
