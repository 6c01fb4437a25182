// The client's side of a Telnet session with COM-PORT-OPTION (RFC 854, 855,
// 856, 858, 2217): what the network endpoint speaks to a serial device
// server. It reads what the server sends, byte by byte and in pieces of any
// size, into the device's data, the answers Telnet asks for, and what the
// server said about the line; it writes the requests. It holds no socket and
// no clock, and needs no Qt, so that a fuzzer can drive it.
//
// The client asks for BINARY both ways (bytes pass unaltered), for
// SUPPRESS-GO-AHEAD both ways, and offers COM-PORT-OPTION; it refuses every
// other option (ECHO above all: an echoing server would hand the program its
// own frames back). 0xFF in the data is doubled both ways (IAC IAC).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rt::telnet {

constexpr unsigned char kIac = 255;
constexpr unsigned char kDont = 254;
constexpr unsigned char kDo = 253;
constexpr unsigned char kWont = 252;
constexpr unsigned char kWill = 251;
constexpr unsigned char kSb = 250;
constexpr unsigned char kNop = 241;
constexpr unsigned char kSe = 240;

constexpr unsigned char kBinary = 0;
constexpr unsigned char kSuppressGoAhead = 3;
constexpr unsigned char kComPortOption = 44;

// The line settings the client sets, in the order it asks for them.
enum class Setting { BaudRate, DataSize, Parity, StopSize, Control, Count };
constexpr int kSettings = static_cast<int>(Setting::Count);

// Their names as the protocol spells them ("SET-BAUDRATE").
const char *SettingName(Setting setting);

// A setting's value as the protocol carries it: the baud rate itself, data
// bits 5 to 8, parity 1 none 2 odd 3 even 4 mark 5 space, stop bits 1 or 2,
// control 1 for no flow control.
struct LineRequest {
  std::uint32_t value[kSettings] = {};
};

// The line-state bits worth the operator's eye (break, framing, parity,
// overrun), and the modem-state ones (carrier and DSR, and their changes).
constexpr unsigned char kLineStateMask = 0x1E;
constexpr unsigned char kModemStateMask = 0xAA;

enum class Agreement { Pending, Agreed, Refused };

class Session {
public:
  // `notice` hears each line-state (modem false) and modem-state (true)
  // notification, in the order they come.
  using NoticeSink = std::function<void(bool modem, unsigned char state)>;
  explicit Session(NoticeSink notice = {});

  // The client's opening requests. Once.
  std::string Greeting();
  // Reads `count` bytes from the server: the device's data is appended to
  // `data`, Telnet's answers wait in Replies().
  void Feed(const char *bytes, int count, std::string *data);
  // The answers owed to the server so far; taken, they are forgotten.
  std::string TakeReplies();

  // Whether the server agreed to the options that carry the line; when it
  // refused one, `refused` names it.
  Agreement Negotiation(std::string *refused) const;
  // The sub-negotiations that set the line, then the notification masks.
  std::string SettingsRequest(const LineRequest &request);
  // The server's answer to a setting so far.
  bool Answered(Setting setting, std::uint32_t *value) const;
  // The request to drop what the server received from the device and has
  // not sent on.
  std::string PurgeRequest() const;
  int PurgesAnswered() const { return purgesAnswered_; }

  // `count` bytes of data as they go on the wire, each 0xFF doubled.
  static void Escape(const char *data, int count, std::string *out);

private:
  enum class State { Data, Command, Option, Sub, SubCommand };
  enum class Side { No, Asked, Yes };
  struct Option {
    Side us = Side::No, him = Side::No;
    bool wantUs = false, wantHim = false;
  };

  void Command(unsigned char byte, std::string *data);
  void Negotiate(unsigned char verb, unsigned char option);
  void SubNegotiation();
  void Reply(unsigned char verb, unsigned char option);

  static constexpr int kLongestSub = 64; // a notification is 3 bytes, a baud rate 6
  NoticeSink notice_;
  State state_ = State::Data;
  unsigned char verb_ = 0;
  unsigned char sub_[kLongestSub] = {};
  int subCount_ = 0;
  bool subTooLong_ = false;
  Option options_[256];
  std::string replies_;
  bool answered_[kSettings] = {};
  std::uint32_t answers_[kSettings] = {};
  int purgesAnswered_ = 0;
};

} // namespace rt::telnet
