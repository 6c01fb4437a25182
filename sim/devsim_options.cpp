#include "sim/devsim_options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace sim {
namespace {

bool ParseInt(const std::string &text, int &value) {
  const char *end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

bool ParseSeconds(const std::string &text, double &value) {
  if (text.empty())
    return false;
  char *end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value) && value >= 0.0;
}

} // namespace

std::optional<DevsimOptions> ParseDevsimOptions(const std::vector<std::string> &args,
                                                std::string &error) {
  DevsimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (const std::size_t eq = name.find('=');
        name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    // The option's value: after "=", or the next argument.
    auto value = [&](std::string &out) {
      if (inlineValue) {
        out = *inlineValue;
        return true;
      }
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto flag = [&] {
      if (inlineValue)
        error = name + " takes no value";
      return !inlineValue;
    };

    std::string text;
    if (name == "--help" || name == "-h") {
      if (!flag())
        return std::nullopt;
      options.help = true;
    } else if (name == "--rate") {
      if (!value(text))
        return std::nullopt;
      if (!ParseInt(text, options.startRate)) {
        error = "--rate: not a whole number: " + text;
        return std::nullopt;
      }
    } else if (name == "--latency") {
      if (!value(text))
        return std::nullopt;
      if (!ParseSeconds(text, options.knobs.latency)) {
        error = "--latency: not a number of seconds: " + text;
        return std::nullopt;
      }
    } else if (name == "--latency-for") {
      if (!value(text))
        return std::nullopt;
      const std::size_t eq = text.rfind('=');
      PrefixLatency own;
      if (eq == std::string::npos || eq == 0 || !ParseSeconds(text.substr(eq + 1), own.seconds)) {
        error = "--latency-for: not PREFIX=SECONDS: " + text;
        return std::nullopt;
      }
      own.prefix = text.substr(0, eq);
      options.knobs.latencyFor.push_back(own);
    } else if (name == "--report-every") {
      if (!value(text))
        return std::nullopt;
      if (!ParseSeconds(text, options.knobs.reportEvery) || options.knobs.reportEvery <= 0.0) {
        error = "--report-every: not a number of seconds above 0: " + text;
        return std::nullopt;
      }
    } else if (name == "--refuse" || name == "--silent-for" || name == "--noise-for" ||
               name == "--hold-for") {
      if (!value(text))
        return std::nullopt;
      if (text.empty()) {
        error = name + ": the command prefix is empty";
        return std::nullopt;
      }
      if (name == "--refuse") {
        options.knobs.refuse = true;
        options.knobs.refusePrefix = text;
      } else if (name == "--noise-for") {
        options.knobs.strayByte = true;
        options.knobs.strayPrefix = text;
      } else if (name == "--hold-for") {
        options.knobs.holdPrefix = text;
      } else {
        options.knobs.silent = true;
        options.knobs.silentPrefix = text;
      }
    } else if (name == "--ack-from") {
      if (!value(text))
        return std::nullopt;
      if (!ParseInt(text, options.knobs.ackFrom) || options.knobs.ackFrom < 1) {
        error = "--ack-from: not a count of 1 or more: " + text;
        return std::nullopt;
      }
    } else if (name == "--refuse-all" || name == "--silent" || name == "--noise" ||
               name == "--bad-checksum" || name == "--trailing" || name == "--quiet") {
      if (!flag())
        return std::nullopt;
      if (name == "--refuse-all") {
        options.knobs.refuse = true;
        options.knobs.refusePrefix.clear();
      } else if (name == "--silent") {
        options.knobs.silent = true;
        options.knobs.silentPrefix.clear();
      } else if (name == "--noise") {
        options.knobs.strayByte = true;
        options.knobs.strayPrefix.clear();
      } else if (name == "--bad-checksum") {
        options.knobs.badChecksum = true;
      } else if (name == "--trailing") {
        options.knobs.trailing = true;
      } else {
        options.quiet = true;
      }
    } else {
      error = "unknown option: " + args[i];
      return std::nullopt;
    }
  }
  return options;
}

std::string DevsimUsage(const std::string &program) {
  return "Usage: " + program +
         " [options]\n"
         "Simulates the signal generator on a pseudo-terminal. The terminal's path\n"
         "is printed on the first line; open it as the serial port. Runs until a\n"
         "signal stops it (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 or\n"
         "SIGALRM); SIGPIPE is ignored. Every command frame is logged to stderr.\n"
         "\n"
         "  --rate N            rate reported before an operation is selected (0)\n"
         "  --latency SECONDS   delay before each reply becomes readable (0)\n"
         "  --latency-for PREFIX=SECONDS\n"
         "                      that delay for replies to commands starting with\n"
         "                      PREFIX (may be given again for other prefixes)\n"
         "  --refuse PREFIX     answer E0 to commands starting with PREFIX\n"
         "  --refuse-all        answer E0 to every command\n"
         "  --ack-from N        acknowledge a command only at its Nth attempt in a row\n"
         "  --silent            answer nothing\n"
         "  --silent-for PREFIX answer nothing to commands starting with PREFIX\n"
         "  --noise             send a stray byte before each reply\n"
         "  --noise-for PREFIX  send a stray byte before replies to commands\n"
         "                      starting with PREFIX\n"
         "  --hold-for PREFIX   hold back the reply to the first command starting\n"
         "                      with PREFIX until just before the next reply\n"
         "  --report-every SECONDS\n"
         "                      send an unasked rate report this often\n"
         "  --bad-checksum      send every reply with a wrong checksum\n"
         "  --trailing          send CR LF after each reply\n"
         "  --quiet             log nothing\n"
         "  --help              show this text\n";
}

} // namespace sim
