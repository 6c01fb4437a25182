#include "runtime/serial/network_port_name.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace rt {

namespace {

struct Scheme {
  std::string_view prefix;
  NetworkScheme scheme;
};

constexpr Scheme kSchemes[] = {
    {"rfc2217://", NetworkScheme::Rfc2217},
    {"socket://", NetworkScheme::Raw},
};

// The longest name the system resolves.
constexpr std::size_t kLongestHost = 253;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

bool AllOf(std::string_view text, bool (*allowed)(char)) {
  return std::all_of(text.begin(), text.end(), allowed);
}

bool NameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool Ipv6Character(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
}

// The host and the rest after it ("" or ":PORT..."); false when malformed.
bool SplitHost(std::string_view text, std::string *host, std::string_view *rest, std::string *why) {
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) {
      *why = "an IPv6 address opened with [ is not closed with ]";
      return false;
    }
    const std::string_view inside = text.substr(1, close - 1);
    const std::size_t zone = inside.find('%');
    const std::string_view address = inside.substr(0, zone);
    const std::string_view zoneName =
        zone == std::string_view::npos ? std::string_view() : inside.substr(zone + 1);
    if (address.find(':') == std::string_view::npos || !AllOf(address, Ipv6Character) ||
        (zone != std::string_view::npos && (zoneName.empty() || !AllOf(zoneName, NameCharacter)))) {
      *why = "[" + std::string(inside) + "] is no IPv6 address";
      return false;
    }
    *host = std::string(inside);
    *rest = text.substr(close + 1);
    return true;
  }
  const std::size_t end = text.find_first_of(":?/");
  const std::string_view name = text.substr(0, end);
  if (name.empty()) {
    *why = text.find(':', 1) != std::string_view::npos ? "an IPv6 address goes in brackets ([::1])"
                                                       : "no host before the port";
    return false;
  }
  if (name.size() > kLongestHost || !AllOf(name, NameCharacter)) {
    *why = "\"" + std::string(name.substr(0, 40)) +
           "\" is no host name or IPv4 address (an IPv6 address goes in brackets)";
    return false;
  }
  *host = std::string(name);
  *rest = text.substr(name.size());
  return true;
}

bool ReadPort(std::string_view text, int *port, std::string_view *rest, std::string *why) {
  if (text.empty() || text.front() != ':') {
    *why = "no :PORT after the host";
    return false;
  }
  text.remove_prefix(1);
  const std::size_t end = std::min(text.find('?'), text.size());
  const std::string_view digits = text.substr(0, end);
  int value = 0;
  const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || last != digits.data() + digits.size() ||
      value < 1 || value > 65535) {
    *why = "\"" + std::string(digits.substr(0, 20)) + "\" is no port number (1 to 65535)";
    return false;
  }
  *port = value;
  *rest = text.substr(end);
  return true;
}

bool ReadOptions(std::string_view text, NetworkPortName *out, std::string *why) {
  if (text.empty())
    return true;
  text.remove_prefix(1); // the "?"
  while (true) {
    const std::size_t end = std::min(text.find('&'), text.size());
    const std::string_view option = text.substr(0, end);
    const std::size_t equals = option.find('=');
    const std::string_view key = option.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : option.substr(equals + 1);
    if (key != "timeout") {
      *why = "unknown option \"" + std::string(key.substr(0, 40)) + "\" (only timeout=SECONDS)";
      return false;
    }
    double seconds = 0;
    const auto [last, error] = std::from_chars(value.data(), value.data() + value.size(), seconds,
                                               std::chars_format::fixed);
    if (value.empty() || error != std::errc() || last != value.data() + value.size() ||
        !(seconds > 0) || seconds > kNetworkLongestTimeout) {
      *why = "timeout=" + std::string(value.substr(0, 20)) +
             ": the seconds must be a number above 0 and at most 60";
      return false;
    }
    out->timeoutSeconds = seconds;
    if (end == text.size())
      return true;
    text.remove_prefix(end + 1);
  }
}

} // namespace

bool IsNetworkPortName(const std::string &name) {
  return std::any_of(std::begin(kSchemes), std::end(kSchemes),
                     [&name](const Scheme &s) { return StartsWithIgnoringCase(name, s.prefix); });
}

bool ParseNetworkPortName(const std::string &name, NetworkPortName *out, std::string *why) {
  NetworkPortName parsed;
  std::string_view rest = name;
  const auto scheme =
      std::find_if(std::begin(kSchemes), std::end(kSchemes),
                   [&name](const Scheme &s) { return StartsWithIgnoringCase(name, s.prefix); });
  if (scheme == std::end(kSchemes)) {
    *why = "no rfc2217:// or socket:// in front";
    return false;
  }
  parsed.scheme = scheme->scheme;
  rest.remove_prefix(scheme->prefix.size());
  if (!SplitHost(rest, &parsed.host, &rest, why) || !ReadPort(rest, &parsed.port, &rest, why) ||
      !ReadOptions(rest, &parsed, why))
    return false;
  *out = parsed;
  return true;
}

} // namespace rt
