// Network port names as typed, and the Telnet/RFC 2217 session read from a
// server byte by byte: the negotiation, the line's settings and their
// answers, 0xFF escaped both ways, notifications kept out of the data, and
// whatever a broken server sends.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/serial/network_port_name.h"
#include "runtime/serial/telnet_session.h"
#include "telnet_bytes.h"
#include "traffic/words.h"

namespace {

using namespace rt::telnet;

TEST(NetworkPortNames, EachPartReadOrRefusedByName) {
  struct Case {
    const char *name;
    bool ok;
    rt::NetworkScheme scheme;
    const char *host;
    int port;
    double timeout;
    const char *why; // part of the reason, when refused
  } cases[] = {
      {"rfc2217://test-cell:2217", true, rt::NetworkScheme::Rfc2217, "test-cell", 2217, 3, ""},
      {"socket://192.168.1.20:2000", true, rt::NetworkScheme::Raw, "192.168.1.20", 2000, 3, ""},
      {"RFC2217://[::1]:1?timeout=0.5", true, rt::NetworkScheme::Rfc2217, "::1", 1, 0.5, ""},
      {"socket://[fe80::1%eth0]:65535?timeout=60", true, rt::NetworkScheme::Raw, "fe80::1%eth0",
       65535, 60, ""},
      {"rfc2217://host", false, {}, "", 0, 0, "no :PORT"},
      {"rfc2217://:2217", false, {}, "", 0, 0, "no host"},
      {"rfc2217://host:0", false, {}, "", 0, 0, "no port number"},
      {"rfc2217://host:65536", false, {}, "", 0, 0, "no port number"},
      {"rfc2217://host:22x", false, {}, "", 0, 0, "no port number"},
      {"rfc2217://host:2217/", false, {}, "", 0, 0, "no port number"},
      {"socket://::1:2000", false, {}, "", 0, 0, "in brackets"},
      {"socket://[::1:2000", false, {}, "", 0, 0, "not closed"},
      {"socket://[host]:2000", false, {}, "", 0, 0, "no IPv6 address"},
      {"socket://[fe80::1%]:2000", false, {}, "", 0, 0, "no IPv6 address"},
      {"socket://my host:2000", false, {}, "", 0, 0, "no host name"},
      {"rfc2217://host:1?timeout=0", false, {}, "", 0, 0, "above 0"},
      {"rfc2217://host:1?timeout=61", false, {}, "", 0, 0, "at most 60"},
      {"rfc2217://host:1?timeout=nan", false, {}, "", 0, 0, "above 0"},
      {"rfc2217://host:1?timeout=", false, {}, "", 0, 0, "above 0"},
      {"rfc2217://host:1?logging=debug", false, {}, "", 0, 0, "unknown option \"logging\""},
      {"rfc2217://host:1?timeout=1&", false, {}, "", 0, 0, "unknown option"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(rt::IsNetworkPortName(c.name));
    rt::NetworkPortName parsed;
    std::string why;
    ASSERT_EQ(rt::ParseNetworkPortName(c.name, &parsed, &why), c.ok) << why;
    if (c.ok) {
      EXPECT_EQ(parsed.scheme, c.scheme);
      EXPECT_EQ(parsed.host, c.host);
      EXPECT_EQ(parsed.port, c.port);
      EXPECT_DOUBLE_EQ(parsed.timeoutSeconds, c.timeout);
    } else {
      EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
  }
  // Device paths and other schemes are no network names.
  for (const char *path : {"/dev/ttyUSB0", "COM3", "rfc2217:/host:1", "tcp://host:1", "demo"})
    EXPECT_FALSE(rt::IsNetworkPortName(path)) << path;
}

TEST(TelnetSession, AgreesOnceToWhatCarriesTheLineAndRefusesTheRest) {
  Session s;
  EXPECT_EQ(s.Greeting(),
            Bytes({kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kSuppressGoAhead, kIac,
                   kDo, kSuppressGoAhead, kIac, kWill, kComPortOption}));
  std::string why, data;
  EXPECT_EQ(s.Negotiation(&why), Agreement::Pending);
  EXPECT_EQ(why, "no answer to WILL COM-PORT-OPTION");
  // The server's own offers come with the answers: ECHO would send the
  // program its own frames back, so it is refused.
  s.Feed(kAgreement.data(), static_cast<int>(kAgreement.size()), &data);
  const std::string echo = Bytes({kIac, kWill, 1, kIac, kDont, 1});
  s.Feed(echo.data(), static_cast<int>(echo.size()), &data);
  EXPECT_EQ(s.TakeReplies(), Bytes({kIac, kDont, 1}));
  EXPECT_EQ(s.Negotiation(&why), Agreement::Agreed);
  // Asked again what is agreed: nothing to answer, so two peers never loop.
  s.Feed(kAgreement.data(), static_cast<int>(kAgreement.size()), &data);
  EXPECT_EQ(s.TakeReplies(), "");
  EXPECT_EQ(data, "");

  // A server that takes back what it agreed is answered, and refused.
  const std::string withdrawn = Bytes({kIac, kWont, kBinary});
  s.Feed(withdrawn.data(), 3, &data);
  EXPECT_EQ(s.TakeReplies(), Bytes({kIac, kDont, kBinary}));
  EXPECT_EQ(s.Negotiation(&why), Agreement::Refused);
  EXPECT_EQ(why, "the server refused DO BINARY");

  Session plainTelnet;
  plainTelnet.Greeting();
  const std::string noComPort = Bytes({kIac, kDont, kComPortOption});
  plainTelnet.Feed(noComPort.data(), 3, &data);
  EXPECT_EQ(plainTelnet.Negotiation(&why), Agreement::Refused);
  EXPECT_EQ(why, "the server refused WILL COM-PORT-OPTION");
  EXPECT_EQ(plainTelnet.TakeReplies(), "");
}

TEST(TelnetSession, SettingsAskedAndAnsweredInTheProtocolsTerms) {
  Session s;
  LineRequest r;
  r.value[0] = 38400, r.value[1] = 8, r.value[2] = 1, r.value[3] = 1, r.value[4] = 1;
  const std::string asked = s.SettingsRequest(r);
  const auto sub = [](int command, std::initializer_list<int> value) {
    return ComPortSub(command, Bytes(value));
  };
  EXPECT_EQ(asked, sub(1, {0, 0, 0x96, 0}) + sub(2, {8}) + sub(3, {1}) + sub(4, {1}) + sub(5, {1}) +
                       sub(10, {kLineStateMask}) + sub(11, {kModemStateMask}));
  // A baud rate with a 0xFF byte goes doubled.
  r.value[0] = 0xFF00;
  EXPECT_EQ(s.SettingsRequest(r).substr(0, 10),
            Bytes({kIac, kSb, kComPortOption, 1, 0, 0, kIac, kIac, 0, kIac}));
  EXPECT_EQ(s.PurgeRequest(), sub(12, {1}));

  // The answers, one byte at a time, the baud rate's 0xFF doubled.
  std::uint32_t value = 0;
  EXPECT_FALSE(s.Answered(Setting::BaudRate, &value));
  const std::string answers = Answer(1, Bytes({0, 0, 0xFF, 0})) + Answer(3, Bytes({3})) +
                              Answer(12, Bytes({1})) + Answer(12, Bytes({1}));
  std::string data;
  for (char c : answers)
    s.Feed(&c, 1, &data);
  ASSERT_TRUE(s.Answered(Setting::BaudRate, &value));
  EXPECT_EQ(value, 0xFF00u);
  ASSERT_TRUE(s.Answered(Setting::Parity, &value));
  EXPECT_EQ(value, 3u); // even: the open names it refused
  EXPECT_FALSE(s.Answered(Setting::StopSize, &value));
  EXPECT_EQ(s.PurgesAnswered(), 2);
  EXPECT_EQ(data, "");
  EXPECT_STREQ(SettingName(Setting::Control), "SET-CONTROL");
}

// Data as the device sent it, 0xFF and all, whatever the server interleaves
// and wherever its pieces are cut; notifications go to their sink, in order.
TEST(TelnetSession, DataComesThroughExactWhereverThePiecesAreCut) {
  const std::string device = Bytes({'$', 6, 'R', '5', '9', '9', 0xFF, 0, 0xFF, 0xFF, 'x'});
  std::string wire;
  Session::Escape(device.data(), 7, &wire);
  wire += Answer(6, Bytes({0x10})) + Bytes({kIac, 241 /* NOP */}) + Answer(7, Bytes({0xFF}));
  Session::Escape(device.data() + 7, static_cast<int>(device.size()) - 7, &wire);
  wire += Bytes({kIac, kSb, 24, 1, kIac, kSe}); // another option's sub-negotiation
  wire += Bytes({kIac, kSb, kComPortOption, 106, 4, kIac, kWill, 1}); // cut short by a command
  wire += Answer(6, std::string(200, 'z'));                           // longer than any answer
  wire += "tail";
  for (std::size_t cut = 0; cut <= wire.size(); ++cut) {
    std::vector<std::pair<bool, int>> notices;
    Session s([&notices](bool modem, unsigned char state) { notices.push_back({modem, state}); });
    std::string data;
    s.Feed(wire.data(), static_cast<int>(cut), &data);
    s.Feed(wire.data() + cut, static_cast<int>(wire.size() - cut), &data);
    ASSERT_EQ(data, device + "tail") << "cut at " << cut;
    ASSERT_EQ(notices, (std::vector<std::pair<bool, int>>{{false, 0x10}, {true, 0xFF}}));
    ASSERT_EQ(s.TakeReplies(), Bytes({kIac, kDont, 1})) << "cut at " << cut;
  }
}

// What a server's notification shows in the link view: the trouble, never
// the line's ordinary state.
TEST(TelnetSession, NotificationsWorthARowAndTheRest) {
  EXPECT_EQ(traffic::NoticeWords(rt::kNoticeLine, 0x10 | 0x08 | 0x60),
            "线路事件：中断信号、帧错误");
  EXPECT_EQ(traffic::NoticeWords(rt::kNoticeLine, 0x04 | 0x02), "线路事件：奇偶校验错误、接收溢出");
  EXPECT_EQ(traffic::NoticeWords(rt::kNoticeLine, 0x61), ""); // registers empty, data ready
  EXPECT_EQ(traffic::NoticeWords(rt::kNoticeModem, 0x08 | 0x02), "线路事件：载波断开、DSR 断开");
  EXPECT_EQ(traffic::NoticeWords(rt::kNoticeModem, 0x80 | 0x20 | 0x08 | 0x02), ""); // came on
  EXPECT_EQ(traffic::NoticeWords(rt::kNoticeModem, 0x00), "");                      // no change
}

} // namespace
