// nuvaroctl's command line: the command, the port, the options and their
// values as typed. Only the form is checked here; values are checked against
// the panel's limits later (values.h), before any port is opened.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace cli {

enum class Command { None, Ports, Download, Check, Rate };

struct Invocation {
  Command command = Command::None;
  bool help = false;
  bool version = false;
  bool json = false;
  bool sweep = false; // download sweep; download fixed otherwise
  std::string port;   // --port: a device path, or "demo"
  // Every option with a value but --port, by name without "--", as typed:
  // the download's parameters, --count and --interval.
  std::map<std::string, std::string> values;
};

// Reads the arguments that follow the program's name. Options may come before
// or after the command, as "--name value" or "--name=value"; "--" ends them.
// false, with the reason in `error`, for a usage error.
bool ParseArguments(const std::vector<std::string> &args, Invocation *invocation,
                    std::string *error);

// The text of --help, ending with where the manual is.
std::string Usage(const std::string &manual);

} // namespace cli
