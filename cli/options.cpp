#include "cli/options.h"

#include <algorithm>

#include "cli/parameters.h"

namespace cli {

namespace {

constexpr unsigned kPorts = 1u << static_cast<int>(Command::Ports);
constexpr unsigned kDownload = 1u << static_cast<int>(Command::Download);
constexpr unsigned kCheck = 1u << static_cast<int>(Command::Check);
constexpr unsigned kRate = 1u << static_cast<int>(Command::Rate);
constexpr unsigned kOnPort = kDownload | kCheck | kRate;

struct Option {
  std::string name; // without "--"
  bool takesValue;
  unsigned commands; // where it may appear
};

std::vector<Option> Options() {
  std::vector<Option> options = {
      {"port", true, kOnPort}, {"json", false, kPorts | kOnPort},
      {"count", true, kRate},  {"interval", true, kRate},
      {"help", false, ~0u},    {"version", false, ~0u},
  };
  for (const ParameterRow *p : OptionParameters())
    options.push_back({p->option, true, kDownload});
  return options;
}

struct CommandWord {
  const char *word;
  Command command;
};
constexpr CommandWord kCommands[] = {
    {"ports", Command::Ports},
    {"download", Command::Download},
    {"check", Command::Check},
    {"rate", Command::Rate},
};

std::string NameOf(const Invocation &in) {
  for (const CommandWord &c : kCommands)
    if (c.command == in.command)
      return in.command == Command::Download
                 ? std::string(c.word) + (in.sweep ? " sweep" : " fixed")
                 : c.word;
  return {};
}

const ParameterRow *ParameterNamed(const std::string &name) {
  for (const ParameterRow *p : OptionParameters())
    if (name == p->option)
      return p;
  return nullptr;
}

// The command, its mode and the options given, checked against each other.
bool CheckCombination(const Invocation &in, const std::vector<std::string> &given,
                      const std::vector<Option> &options, std::string *error) {
  const unsigned bit = 1u << static_cast<int>(in.command);
  for (const std::string &name : given) {
    const auto option = std::find_if(options.begin(), options.end(),
                                     [&name](const Option &o) { return o.name == name; });
    const ParameterRow *p = ParameterNamed(name);
    const bool fits = (option->commands & bit) != 0 && (!p || NeededIn(*p, in.sweep));
    if (!fits) {
      *error = "--" + name + " is not an option of " + NameOf(in);
      return false;
    }
  }
  if (in.command != Command::Ports && in.port.empty()) {
    *error = NameOf(in) + " needs --port (a device path, a network port, or demo)";
    return false;
  }
  if (in.command == Command::Download) {
    for (const ParameterRow *p : OptionParameters()) {
      if (NeededIn(*p, in.sweep) && !in.values.count(p->option)) {
        *error = NameOf(in) + " needs --" + p->option;
        return false;
      }
    }
  }
  return true;
}

} // namespace

bool ParseArguments(const std::vector<std::string> &args, Invocation *in, std::string *error) {
  *in = Invocation{};
  // --help and --version answer whatever else is there.
  for (const std::string &a : args) {
    if (a == "--")
      break;
    in->help = in->help || a == "--help" || a == "-h";
    in->version = in->version || a == "--version";
  }
  if (in->help || in->version)
    return true;

  const std::vector<Option> options = Options();
  std::vector<std::string> words, given;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-' || a == "-") {
      words.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a[1] != '-') {
      *error = "unknown option " + a;
      return false;
    }
    const std::size_t equals = a.find('=');
    const std::string name =
        a.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const auto option = std::find_if(options.begin(), options.end(),
                                     [&name](const Option &o) { return o.name == name; });
    if (option == options.end()) {
      *error = "unknown option --" + name;
      return false;
    }
    if (std::find(given.begin(), given.end(), name) != given.end()) {
      *error = "--" + name + " is given twice";
      return false;
    }
    given.push_back(name);
    if (!option->takesValue) {
      if (equals != std::string::npos) {
        *error = "--" + name + " takes no value";
        return false;
      }
      in->json = in->json || name == "json";
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = a.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      *error = "--" + name + " needs a value";
      return false;
    }
    if (name == "port")
      in->port = value;
    else
      in->values[name] = value;
  }

  if (words.empty()) {
    *error = "no command given (ports, download, check or rate)";
    return false;
  }
  const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&words](const CommandWord &c) { return words[0] == c.word; });
  if (command == std::end(kCommands)) {
    *error = "unknown command " + words[0];
    return false;
  }
  in->command = command->command;
  std::size_t used = 1;
  if (in->command == Command::Download) {
    if (words.size() < 2 || (words[1] != "fixed" && words[1] != "sweep")) {
      *error = "download needs its mode: fixed or sweep";
      return false;
    }
    in->sweep = words[1] == "sweep";
    used = 2;
  }
  if (words.size() > used) {
    *error = "unexpected argument " + words[used];
    return false;
  }
  return CheckCombination(*in, given, options, error);
}

// The usage lines of a download in the mode, its options from the parameter
// table, wrapped as the lines around them are.
std::string DownloadUsage(bool sweep) {
  constexpr std::size_t kWidth = 84;
  std::string text;
  std::string line =
      std::string("       nuvaroctl --port PATH|demo download ") + (sweep ? "sweep" : "fixed");
  std::vector<std::string> words;
  for (const ParameterRow *p : OptionParameters())
    if (NeededIn(*p, sweep))
      words.push_back(std::string("--") + p->option + " " + p->placeholder);
  words.push_back("[--json]");
  for (const std::string &w : words) {
    if (line.size() + 1 + w.size() > kWidth) {
      text += line + "\n";
      line = std::string(16, ' ');
    }
    line += " " + w;
  }
  return text + line + "\n";
}

std::string Usage(const std::string &manual) {
  return "Usage: nuvaroctl ports [--json]\n" + DownloadUsage(false) + DownloadUsage(true) +
         "       nuvaroctl --port PATH|demo check [--json]\n"
         "       nuvaroctl --port PATH|demo rate [--count N] [--interval SECONDS] [--json]\n"
         "       nuvaroctl --help | --version\n"
         "\n"
         "Drives the signal generator with the panel's protocol, limits and words.\n"
         "\n"
         "  ports      list the ports the panel's port choice lists, then demo\n"
         "             (network ports are not listed: name one with --port)\n"
         "  download   send the panel's download sequence for the mode; values are\n"
         "             checked against the limits of the panel's controls first\n"
         "  check      the panel's link check (Q1)\n"
         "  rate       poll the rate as the panel's meter does, one line per poll:\n"
         "             --count N polls (0: until interrupted; default 0),\n"
         "             --interval SECONDS between polls (default 0.5)\n"
         "\n"
         "  --port PATH|demo  the serial device, or demo, the built-in device model;\n"
         "                    or a network port: rfc2217://HOST:PORT[?timeout=SECONDS]\n"
         "                    or socket://HOST:PORT[?timeout=SECONDS]\n"
         "  --json            one JSON object per line instead of lines for people\n"
         "\n"
         "Exit status: 0 everything acknowledged (rate: at least one reading);\n"
         "1 the device refused or did not answer, or its replies ran late and the\n"
         "outcome is unknown; 2 usage or a bad value, no port opened; 3 the port\n"
         "could not be opened. See nuvaroctl(1).\n"
         "\n"
         "The manual (the panel, this program and the protocol):\n"
         "  " +
         manual + "\n";
}

} // namespace cli
