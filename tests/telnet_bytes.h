// What a serial device server sends and expects, written out byte by byte
// for the tests of the network port (test_network_telnet.cpp,
// test_network_port.cpp).
#pragma once

#include <initializer_list>
#include <string>

#include "runtime/serial/telnet_session.h"

inline std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes)
    out.push_back(static_cast<char>(b));
  return out;
}

// A COM-PORT-OPTION sub-negotiation, 0xFF in the value doubled: a server's
// answer with `command` + 100.
inline std::string ComPortSub(int command, const std::string &value) {
  using namespace rt::telnet;
  std::string escaped;
  Session::Escape(value.data(), static_cast<int>(value.size()), &escaped);
  return Bytes({kIac, kSb, kComPortOption, command}) + escaped + Bytes({kIac, kSe});
}

inline std::string Answer(int command, const std::string &value) {
  return ComPortSub(100 + command, value);
}

// The options a willing server agrees to, in answer to the client's greeting.
inline const std::string kAgreement = [] {
  using namespace rt::telnet;
  return Bytes({kIac, kDo, kBinary, kIac, kWill, kBinary, kIac, kDo, kSuppressGoAhead, kIac, kWill,
                kSuppressGoAhead, kIac, kDo, kComPortOption});
}();

// Its answers to 38400 baud, 8 data bits, no parity, 1 stop bit, no flow
// control.
inline const std::string kSettingsTaken = Answer(1, Bytes({0, 0, 0x96, 0})) +
                                          Answer(2, Bytes({8})) + Answer(3, Bytes({1})) +
                                          Answer(4, Bytes({1})) + Answer(5, Bytes({1}));
