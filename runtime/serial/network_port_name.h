// A port across the network, named as serial tools name one:
//
//   rfc2217://HOST:PORT[?timeout=SECONDS]   Telnet with COM-PORT-OPTION: the
//                                           bytes, and the line's settings
//   socket://HOST:PORT[?timeout=SECONDS]    raw TCP: the bytes alone
//
// HOST is a name, an IPv4 address, or an IPv6 address in brackets
// ("[::1]", "[fe80::1%eth0]"). The scheme ignores case. `timeout` bounds the
// whole open: the name's lookup, the connection and, for rfc2217, the
// server's answers (3 s when not given). Anything else after the port is
// refused, naming what is wrong. No Qt here.
#pragma once

#include <string>

namespace rt {

enum class NetworkScheme { Rfc2217, Raw };

struct NetworkPortName {
  NetworkScheme scheme = NetworkScheme::Raw;
  std::string host; // without brackets
  int port = 0;     // 1 to 65535
  double timeoutSeconds = 3.0;
};

constexpr double kNetworkDefaultTimeout = 3.0;
// A longer wait would freeze the panel that long.
constexpr double kNetworkLongestTimeout = 60.0;

// Whether `name` starts with one of the two schemes: such a name is never a
// device path, whatever follows.
bool IsNetworkPortName(const std::string &name);

// Reads `name`; false, with what is wrong in `why` (plain English, for the
// link view's column of the system's own words), when it is no valid name.
bool ParseNetworkPortName(const std::string &name, NetworkPortName *out, std::string *why);

} // namespace rt
