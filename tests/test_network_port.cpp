// A port across the network through the serial operations, against servers
// played by the test on loopback: each way an open fails and the reason the
// link view gets, and an open port's bytes both ways, the server's
// notifications, the flush and a server that goes away. Linux (the servers
// are plain sockets).
#ifdef __linux__
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fake_device.h"
#include "runtime/core/serial_ops.h"
#include "runtime/core/serial_tap.h"
#include "ser2net_server.h"
#include "telnet_bytes.h"

namespace {

using namespace rt::telnet;

constexpr int kPort = 12;
constexpr int kGuardMs = 10000;

// The server's side of one connection.
struct Peer {
  int fd = -1;
  std::string received;

  // Reads until what came holds `wanted`; false at the end or the guard.
  bool ReadUntil(const std::string &wanted) {
    pollfd p{fd, POLLIN, 0};
    char chunk[512];
    while (received.find(wanted) == std::string::npos) {
      if (poll(&p, 1, kGuardMs) <= 0)
        return false;
      const ssize_t n = read(fd, chunk, sizeof chunk);
      if (n <= 0)
        return false;
      received.append(chunk, static_cast<std::size_t>(n));
    }
    return true;
  }
  void Send(const std::string &bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
};

// A server on a loopback port that accepts one client and plays `script`
// with it on a thread of its own, then closes the connection.
class ScriptedServer {
public:
  explicit ScriptedServer(std::function<void(Peer &)> script) {
    listener_ = Ser2netServer::SilentListener(&port);
    thread_ = std::thread([this, script = std::move(script)] {
      pollfd p{listener_, POLLIN, 0};
      Peer peer;
      if (poll(&p, 1, kGuardMs) > 0 && (peer.fd = accept(listener_, nullptr, nullptr)) >= 0) {
        script(peer);
        close(peer.fd);
      }
    });
  }
  ~ScriptedServer() {
    thread_.join();
    close(listener_);
  }
  std::string Url(const char *scheme, const char *options = "") const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + options;
  }
  int port = 0;

private:
  int listener_ = -1;
  std::thread thread_;
};

// The willing server's first steps: the options, then the settings.
void Agree(Peer &peer, const std::string &answers = kSettingsTaken) {
  ASSERT_TRUE(peer.ReadUntil(Bytes({kIac, kWill, kComPortOption})));
  peer.Send(kAgreement);
  ASSERT_TRUE(peer.ReadUntil(ComPortSub(11, Bytes({kModemStateMask}))));
  peer.Send(answers);
}

// How often kPort was closed because its far end went away. The handler is
// the run-time's for good, so it is set once and counts into a static.
int &LostCount() {
  static int count = 0;
  static const bool watching = [] {
    rt::OnPortLost([](int port) { count += port == kPort; });
    return true;
  }();
  (void)watching;
  return count;
}

std::vector<rt::TapRecord> &Records() {
  static std::vector<rt::TapRecord> records;
  return records;
}

class NetworkPort : public ::testing::Test {
protected:
  void SetUp() override {
    Records().clear();
    rt::SetSerialTap([](const rt::TapRecord &r) { Records().push_back(r); });
  }
  void TearDown() override {
    CloseCom(kPort);
    rt::SetSerialTap(nullptr);
  }
  static int Open(const std::string &name) {
    return OpenComConfig(kPort, name.c_str(), 38400, 0, 8, 1, 1000, 1000);
  }
  // The newest record of `kind`.
  static rt::TapRecord Newest(rt::TapKind kind) {
    rt::DrainSerialTap();
    for (auto r = Records().rbegin(); r != Records().rend(); ++r)
      if (r->kind == kind)
        return *r;
    return {};
  }
};

TEST_F(NetworkPort, EachWayAnOpenFailsWithItsReason) {
  int silentPort = 0;
  const int silent = Ser2netServer::SilentListener(&silentPort);
  const std::string silentName = "127.0.0.1:" + std::to_string(silentPort);
  const int unused = Ser2netServer::UnusedPort();
  const auto refuseBaud = [](Peer &peer) {
    Agree(peer, Answer(1, Bytes({0, 0, 0x25, 0x80})) + kSettingsTaken.substr(10));
  };
  const auto neverParity = [](Peer &peer) {
    Agree(peer, Answer(1, Bytes({0, 0, 0x96, 0})) + Answer(2, Bytes({8})));
    peer.ReadUntil("never");
  };
  const auto noComPort = [](Peer &peer) {
    ASSERT_TRUE(peer.ReadUntil(Bytes({kIac, kWill, kComPortOption})));
    peer.Send(Bytes({kIac, kDont, kComPortOption}));
    peer.ReadUntil("never");
  };
  const auto inUse = [](Peer &peer) {
    ASSERT_TRUE(peer.ReadUntil(Bytes({kIac, kWill, kComPortOption})));
    peer.Send(kAgreement.substr(0, 6) + "Port already in use\r\n");
  };
  struct Case {
    const char *name;
    std::function<void(Peer &)> script; // none: no scripted server
    std::string port;                   // with a server: its options
    rt::TapOpenFault fault;
    const char *words; // part of the record's words
  } cases[] = {
      // Nothing listening, a server that never negotiates and a malformed
      // name are nuvaroctl's to show (Ser2net.NoServerOrASilentOne...).
      {"nothing listens, raw",
       {},
       "socket://127.0.0.1:" + std::to_string(unused),
       rt::TapOpenFault::ConnectionRefused,
       "nothing listens at 127.0.0.1 port"},
      {"baud rate refused", refuseBaud, "", rt::TapOpenFault::LineSettingRefused,
       "SET-BAUDRATE 38400: the server answered 9600"},
      {"parity unanswered", neverParity, "?timeout=0.5", rt::TapOpenFault::ConnectTimedOut,
       "no answer to SET-PARITY 1 within 0.5 s"},
      {"no serial port option", noComPort, "", rt::TapOpenFault::LineSettingRefused,
       "the server refused WILL COM-PORT-OPTION"},
      {"port in use", inUse, "", rt::TapOpenFault::ServerClosed,
       "the server closed the connection: Port already in use"},
      {"no such host",
       {},
       "rfc2217://nuvaro-no-such-host.invalid:2217?timeout=20",
       rt::TapOpenFault::HostUnknown,
       "no address for nuvaro-no-such-host.invalid"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ScriptedServer> server;
    std::string name = c.port;
    if (c.script) {
      server = std::make_unique<ScriptedServer>(c.script);
      name = server->Url("rfc2217", c.port.c_str());
    }
    EXPECT_EQ(Open(name), COM_ERR_OPEN);
    EXPECT_FALSE(rt::IsPortOpen(kPort));
    const rt::TapRecord r = Newest(rt::TapKind::OpenFailed);
    EXPECT_EQ(std::string(r.head, static_cast<std::size_t>(r.headCount)), name.substr(0, 200));
    EXPECT_EQ(r.fault, c.fault);
    EXPECT_NE(std::string(r.systemWords).find(c.words), std::string::npos) << r.systemWords;
  }
  // Raw TCP has nothing to negotiate: the silent server is a port.
  EXPECT_EQ(Open("socket://" + silentName), 0);
  close(silent);
}

// An open RFC 2217 port: frames go out with 0xFF doubled, the device's bytes
// come in exact with the server's notifications kept apart, the flush drops
// what arrived and what comes before the server's answer to its purge, and a
// server that closes while nobody calls is found by the event loop.
TEST_F(NetworkPort, Rfc2217BytesBothWaysNotificationsFlushAndLoss) {
  const std::string sweep = Frame("D1600,5500,500,"); // its checksum is 0xFF
  const std::string report = Frame("R599");           // so is this one's
  ASSERT_NE(sweep.find('\xFF'), std::string::npos);
  ASSERT_NE(report.find('\xFF'), std::string::npos);
  std::string escapedSweep, escapedReport;
  Session::Escape(sweep.data(), static_cast<int>(sweep.size()), &escapedSweep);
  Session::Escape(report.data(), static_cast<int>(report.size()), &escapedReport);
  std::string purge;
  const ScriptedServer server([&](Peer &peer) {
    Agree(peer);
    ASSERT_TRUE(peer.ReadUntil(escapedSweep));
    peer.Send(escapedReport.substr(0, 3) + Answer(6, Bytes({0x10})) + escapedReport.substr(3));
    ASSERT_TRUE(peer.ReadUntil("next"));
    peer.Send("stale" + Bytes({kIac, kIac}));
    ASSERT_TRUE(peer.ReadUntil(ComPortSub(12, Bytes({1}))));
    usleep(20 * 1000);
    peer.Send("late" + Answer(12, Bytes({1}))); // what the device sent before the purge
    ASSERT_TRUE(peer.ReadUntil("bye"));
  });
  ASSERT_EQ(Open(server.Url("rfc2217")), 0);
  LostCount() = 0;

  EXPECT_EQ(ComWrt(kPort, sweep.data(), static_cast<int>(sweep.size())),
            static_cast<int>(sweep.size()));
  int waiting = 0;
  for (int tries = 0; tries < kGuardMs && (waiting = GetInQLen(kPort)) < int(report.size());
       ++tries)
    usleep(1000);
  ASSERT_EQ(waiting, static_cast<int>(report.size()));
  char read[64] = {};
  ASSERT_EQ(ComRd(kPort, read, sizeof read), static_cast<int>(report.size()));
  EXPECT_EQ(std::string(read, report.size()), report);
  const rt::TapRecord notice = Newest(rt::TapKind::Notified);
  EXPECT_EQ(notice.result, rt::kNoticeLine);
  EXPECT_EQ(notice.count, 0x10);

  ComWrt(kPort, "next", 4);
  while (GetInQLen(kPort) < 6)
    usleep(1000);
  static std::string flushed;
  flushed.clear();
  EXPECT_EQ(FlushInQSeen(kPort, [](const char *b, int n) { flushed.append(b, std::size_t(n)); }),
            0);
  EXPECT_EQ(flushed, "stale\xFFlate"); // the flush waits for the server's purge
  EXPECT_EQ(GetInQLen(kPort), 0);

  // The server closes once it is told: the event loop finds it.
  EXPECT_EQ(LostCount(), 0);
  ComWrt(kPort, "bye", 3);
  for (int waited = 0; LostCount() == 0 && waited < kGuardMs; waited += 10) {
    QCoreApplication::processEvents();
    usleep(10 * 1000);
  }
  EXPECT_EQ(LostCount(), 1);
  EXPECT_FALSE(rt::IsPortOpen(kPort));
  EXPECT_EQ(GetInQLen(kPort), COM_ERR_IO);
}

// Raw TCP: the bytes pass unaltered, 0xFF and all; a server that closes is
// found by the next call, after what it sent before it closed is read.
TEST_F(NetworkPort, RawBytesPassUnalteredAndAClosedServerIsALostPort) {
  const std::string sweep = Frame("D1600,5500,500,");
  const ScriptedServer server([&](Peer &peer) {
    ASSERT_TRUE(peer.ReadUntil(sweep));
    EXPECT_EQ(peer.received, sweep);
    peer.Send(Frame("R599"));
  });
  ASSERT_EQ(Open(server.Url("socket")), 0);
  EXPECT_EQ(ComWrt(kPort, sweep.data(), static_cast<int>(sweep.size())),
            static_cast<int>(sweep.size()));
  std::string got;
  char read[64];
  for (int n = 0, waited = 0; waited < kGuardMs && (n = ComRd(kPort, read, sizeof read)) >= 0;
       waited += 1) {
    got.append(read, static_cast<std::size_t>(n));
    usleep(1000);
  }
  EXPECT_EQ(got, Frame("R599"));
  EXPECT_FALSE(rt::IsPortOpen(kPort));
  EXPECT_EQ(ComWrt(kPort, "x", 1), COM_ERR_IO);
}

} // namespace
#endif
