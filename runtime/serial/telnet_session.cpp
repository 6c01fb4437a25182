#include "runtime/serial/telnet_session.h"

#include <initializer_list>

namespace rt::telnet {

namespace {

// COM-PORT-OPTION's commands, from the client; the server answers each with
// its number plus 100.
constexpr unsigned char kSetBaudRate = 1;
constexpr unsigned char kNotifyLineState = 6;
constexpr unsigned char kNotifyModemState = 7;
constexpr unsigned char kSetLineStateMask = 10;
constexpr unsigned char kSetModemStateMask = 11;
constexpr unsigned char kPurgeData = 12;
constexpr unsigned char kServer = 100;
// PURGE-DATA's value: the server's buffer of what the device sent.
constexpr unsigned char kPurgeReceived = 1;

constexpr const char *kSettingNames[] = {"SET-BAUDRATE", "SET-DATASIZE", "SET-PARITY",
                                         "SET-STOPSIZE", "SET-CONTROL"};
static_assert(sizeof kSettingNames / sizeof kSettingNames[0] == kSettings);

void Put(std::string *out, std::initializer_list<unsigned char> bytes) {
  for (unsigned char b : bytes)
    out->push_back(static_cast<char>(b));
}

// IAC SB COM-PORT-OPTION command value... IAC SE, 0xFF in the value doubled.
void SubRequest(std::string *out, unsigned char command, const unsigned char *value, int count) {
  Put(out, {kIac, kSb, kComPortOption, command});
  Session::Escape(reinterpret_cast<const char *>(value), count, out);
  Put(out, {kIac, kSe});
}

} // namespace

const char *SettingName(Setting setting) {
  const int i = static_cast<int>(setting);
  return i >= 0 && i < kSettings ? kSettingNames[i] : "";
}

Session::Session(NoticeSink notice) : notice_(std::move(notice)) {
  for (unsigned char o : {kBinary, kSuppressGoAhead})
    options_[o].wantUs = options_[o].wantHim = true;
  options_[kComPortOption].wantUs = true;
}

std::string Session::Greeting() {
  std::string out;
  for (unsigned char o : {kBinary, kSuppressGoAhead, kComPortOption}) {
    Option &option = options_[o];
    if (option.wantUs && option.us == Side::No) {
      option.us = Side::Asked;
      Put(&out, {kIac, kWill, o});
    }
    if (option.wantHim && option.him == Side::No) {
      option.him = Side::Asked;
      Put(&out, {kIac, kDo, o});
    }
  }
  return out;
}

void Session::Feed(const char *bytes, int count, std::string *data) {
  for (int i = 0; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    switch (state_) {
    case State::Data:
      if (byte == kIac)
        state_ = State::Command;
      else
        data->push_back(static_cast<char>(byte));
      break;
    case State::Command: Command(byte, data); break;
    case State::Option:
      Negotiate(verb_, byte);
      state_ = State::Data;
      break;
    case State::Sub:
      if (byte == kIac) {
        state_ = State::SubCommand;
      } else if (subCount_ < kLongestSub) {
        sub_[subCount_++] = byte;
      } else {
        subTooLong_ = true;
      }
      break;
    case State::SubCommand:
      if (byte == kIac) { // a doubled 0xFF inside the sub-negotiation
        if (subCount_ < kLongestSub)
          sub_[subCount_++] = byte;
        else
          subTooLong_ = true;
        state_ = State::Sub;
      } else if (byte == kSe) {
        if (!subTooLong_)
          SubNegotiation();
        state_ = State::Data;
      } else {
        // IAC and anything but SE ends a broken sub-negotiation: what it
        // held is dropped and the byte is read as a command.
        Command(byte, data);
      }
      break;
    }
  }
}

void Session::Command(unsigned char byte, std::string *data) {
  state_ = State::Data;
  if (byte == kIac) {
    data->push_back(static_cast<char>(kIac));
  } else if (byte >= kWill) { // WILL, WONT, DO, DONT
    verb_ = byte;
    state_ = State::Option;
  } else if (byte == kSb) {
    subCount_ = 0;
    subTooLong_ = false;
    state_ = State::Sub;
  }
  // Every other command (NOP, GA, a stray SE, ...) carries nothing here.
}

void Session::Reply(unsigned char verb, unsigned char option) {
  Put(&replies_, {kIac, verb, option});
}

// Each side of each option is off, asked for, or on; a verb that changes
// nothing is not answered, so two peers never loop.
void Session::Negotiate(unsigned char verb, unsigned char code) {
  Option &o = options_[code];
  const bool his = verb == kWill || verb == kWont;
  Side &side = his ? o.him : o.us;
  const bool wanted = his ? o.wantHim : o.wantUs;
  const bool enable = verb == kWill || verb == kDo;
  const unsigned char yes = his ? kDo : kWill;
  const unsigned char no = his ? kDont : kWont;
  if (enable) {
    if (side == Side::Asked) {
      side = Side::Yes;
    } else if (side == Side::No) {
      if (wanted)
        side = Side::Yes;
      Reply(wanted ? yes : no, code);
    }
  } else if (side != Side::No) {
    if (side == Side::Yes)
      Reply(no, code);
    side = Side::No;
  }
}

void Session::SubNegotiation() {
  if (subCount_ < 2 || sub_[0] != kComPortOption || sub_[1] < kServer)
    return;
  const int command = sub_[1] - kServer;
  const unsigned char *value = sub_ + 2;
  const int n = subCount_ - 2;
  if (command == kSetBaudRate && n >= 4) {
    answers_[0] = std::uint32_t{value[0]} << 24 | std::uint32_t{value[1]} << 16 |
                  std::uint32_t{value[2]} << 8 | value[3];
    answered_[0] = true;
  } else if (command > kSetBaudRate && command < kSetBaudRate + kSettings && n >= 1) {
    answers_[command - kSetBaudRate] = value[0];
    answered_[command - kSetBaudRate] = true;
  } else if ((command == kNotifyLineState || command == kNotifyModemState) && n >= 1) {
    if (notice_)
      notice_(command == kNotifyModemState, value[0]);
  } else if (command == kPurgeData) {
    ++purgesAnswered_;
  }
}

std::string Session::TakeReplies() {
  std::string out;
  out.swap(replies_);
  return out;
}

Agreement Session::Negotiation(std::string *refused) const {
  struct Required {
    unsigned char code;
    bool his;
    const char *name;
  };
  constexpr Required kRequired[] = {{kBinary, false, "WILL BINARY"},
                                    {kBinary, true, "DO BINARY"},
                                    {kComPortOption, false, "WILL COM-PORT-OPTION"}};
  Agreement agreement = Agreement::Agreed;
  for (const Required &r : kRequired) {
    const Option &o = options_[r.code];
    const Side side = r.his ? o.him : o.us;
    if (side == Side::Yes)
      continue;
    if (side == Side::No) {
      if (refused)
        *refused = std::string("the server refused ") + r.name;
      return Agreement::Refused;
    }
    agreement = Agreement::Pending;
    if (refused)
      *refused = std::string("no answer to ") + r.name;
  }
  return agreement;
}

std::string Session::SettingsRequest(const LineRequest &request) {
  std::string out;
  const std::uint32_t baud = request.value[0];
  const unsigned char baudBytes[] = {
      static_cast<unsigned char>(baud >> 24), static_cast<unsigned char>(baud >> 16),
      static_cast<unsigned char>(baud >> 8), static_cast<unsigned char>(baud)};
  SubRequest(&out, kSetBaudRate, baudBytes, 4);
  for (int i = 1; i < kSettings; ++i) {
    const auto value = static_cast<unsigned char>(request.value[i]);
    SubRequest(&out, static_cast<unsigned char>(kSetBaudRate + i), &value, 1);
  }
  SubRequest(&out, kSetLineStateMask, &kLineStateMask, 1);
  SubRequest(&out, kSetModemStateMask, &kModemStateMask, 1);
  return out;
}

bool Session::Answered(Setting setting, std::uint32_t *value) const {
  const int i = static_cast<int>(setting);
  if (i < 0 || i >= kSettings || !answered_[i])
    return false;
  *value = answers_[i];
  return true;
}

std::string Session::PurgeRequest() const {
  std::string out;
  SubRequest(&out, kPurgeData, &kPurgeReceived, 1);
  return out;
}

void Session::Escape(const char *data, int count, std::string *out) {
  for (int i = 0; i < count; ++i) {
    out->push_back(data[i]);
    if (static_cast<unsigned char>(data[i]) == kIac)
      out->push_back(data[i]);
  }
}

} // namespace rt::telnet
