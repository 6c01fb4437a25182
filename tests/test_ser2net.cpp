// nuvaroctl through a real serial device server: ser2net on loopback, its
// RFC 2217 and raw TCP ports on the device model's pseudo-terminal (in this
// process, so that the bytes it received can be checked) or on
// nuvaro-devsim's, which plays the device's faults. Both downloads, a rate
// report whose checksum is 0xFF, refusals, every verdict of the line's
// account as on a local port, servers that are not there or do not answer,
// a server killed under a run, and a second client. Linux.
#ifdef __linux__
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "cli_run.h"
#include "expected_download.h"
#include "fake_device.h"
#include "ser2net_server.h"
#include "sim/device_model.h"
#include "sim/pty_device.h"

namespace {

using namespace nuvaroctl_test;

enum class Scheme { Rfc2217, Raw };
constexpr Scheme kSchemes[] = {Scheme::Rfc2217, Scheme::Raw};

const char *NameOf(Scheme s) {
  return s == Scheme::Rfc2217 ? "rfc2217" : "socket";
}

std::string Url(const Ser2netServer &server, Scheme s) {
  return s == Scheme::Rfc2217 ? server.Rfc2217Url() : server.RawUrl();
}

// The device model on a pseudo-terminal of this process, behind ser2net.
struct ModelBehindServer {
  explicit ModelBehindServer(int rate = 3000) : model(std::make_shared<sim::DeviceModel>(rate)) {}
  void Start(Ser2netServer::Options options = {}) {
    std::string error;
    ASSERT_TRUE(pty.Start(&error)) << error;
    ASSERT_TRUE(server.Start(pty.SlavePath(), &error, options)) << error;
  }
  std::shared_ptr<sim::DeviceModel> model;
  sim::PtyDevice pty{model};
  Ser2netServer server;
};

// nuvaro-devsim with `options`, on its own pseudo-terminal; behind ser2net
// unless `local`.
struct Devsim {
  Devsim(const Strings &options, bool local)
      : child(SpawnChild(Join({NUVARO_DEVSIM_EXE, "--quiet"}, options))), local(local) {}
  ~Devsim() {
    server.Stop();
    kill(child.pid, SIGTERM);
    WaitForExit(child.pid);
  }
  // The port to give nuvaroctl.
  std::string Port(Scheme scheme) {
    const std::string pty = ReadLineFrom(child.out);
    EXPECT_EQ(pty.rfind("/dev/", 0), 0u) << pty;
    std::string error;
    if (local)
      return pty;
    EXPECT_TRUE(server.Start(pty, &error)) << error;
    return Url(server, scheme);
  }
  Child child;
  bool local;
  Ser2netServer server;
};

// Status and output lines as the tests compare them: times and durations off.
std::pair<int, Strings> Outcome(const Ran &ran, bool json) {
  Strings lines;
  for (const std::string &line : ran.lines) {
    const std::string fields = Fields(line, json);
    lines.push_back(fields.substr(0, fields.find("\t用时 ")));
  }
  return {WIFEXITED(ran.status) ? WEXITSTATUS(ran.status) : -1, lines};
}

TEST(Ser2net, DownloadsReadingsAndRefusalsThroughEitherScheme) {
  // A sweep whose first command's checksum is 0xFF: doubled on the way to an
  // RFC 2217 server, single at the device.
  SettingsRecord sweep = kSweepSettings;
  sweep.sweepMin = 1600, sweep.sweepMax = 5500, sweep.sweepStep = 500;
  ASSERT_NE(Expected(sweep).frames.find('\xFF'), std::string::npos);
  const Strings angleRefused = Join(
      Join(L("下载（定速）\t" + kFixedSent[1] + "：被拒绝 5/5"), Acknowledged({kFixedSent[0]})),
      Join(L(kFixedSent[1] + "\t被拒绝\t5/5"),
           Acknowledged(Strings(kFixedSent.begin() + 2, kFixedSent.end()))));
  for (const Scheme scheme : kSchemes) {
    SCOPED_TRACE(NameOf(scheme));
    ModelBehindServer device(599); // R599: its checksum is 0xFF too
    ASSERT_NO_FATAL_FAILURE(device.Start());
    const std::string port = Url(device.server, scheme);

    Ran ran = Nuvaroctl(L("--port", port, "rate", "--count", "1", "--interval", "0.1"));
    EXPECT_EQ(Outcome(ran, false), std::make_pair(0, L("599"))) << ran.err;

    for (const SettingsRecord &s : {kFixedSettings, sweep}) {
      device.model->ClearRecord();
      ran = Nuvaroctl(Join({"--port", port}, DownloadArguments(s)));
      const Strings sent = Expected(s).commands;
      EXPECT_EQ(Outcome(ran, false),
                std::make_pair(0, Join(L(std::string(s.workMode ? "下载（定速）" : "下载（扫速）") +
                                         "\t" + AllAcknowledged(sent)),
                                       Acknowledged(sent))))
          << ran.err;
      EXPECT_EQ(device.model->RawBytes(), Expected(s).frames); // byte for byte
    }

    sim::DeviceKnobs knobs;
    knobs.refuse = true, knobs.refusePrefix = "T";
    device.model->SetKnobs(knobs);
    ran = Nuvaroctl(Join({"--port", port}, kFixed));
    EXPECT_EQ(Outcome(ran, false), std::make_pair(1, angleRefused)) << ran.err;
  }
}

// The line's account judges the group by every byte the line carried: a
// server between the program and the device changes none of its verdicts.
// Each case runs on a local pseudo-terminal and through each scheme, each
// run on a device of its own, and gives the same status and output.
TEST(Ser2net, EveryVerdictOfTheLinesAccountAsOnALocalPort) {
  const std::string last(1, kFixedSent.back()[0]);
  struct Case {
    Strings devsim;
    Strings args;
  } cases[] = {
      {L("--latency", "0.15", "--refuse", last), kFixed}, // a refusal after the download
      {L("--latency", "0.15"), L("check")},               // a late reply
      {L("--latency-for", "F3=0.15", "--refuse", "T"), kFixed},
      {L("--latency", "0.15", "--refuse", "W", "--noise-for", "R"), Join(kFixed, L("--json"))},
      {L("--ack-from", "2"), kFixed},    // in step: refused once, taken at the retry
      {L("--silent-for", "T"), kFixed}}; // the angle never answered
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.devsim));
    const bool json = c.args.back() == "--json";
    std::pair<int, Strings> local;
    {
      Devsim devsim(c.devsim, true);
      local = Outcome(Nuvaroctl(Join({"--port", devsim.Port(Scheme::Raw)}, c.args)), json);
    }
    EXPECT_FALSE(local.second.empty());
    for (const Scheme scheme : kSchemes) {
      Devsim devsim(c.devsim, false);
      const std::string port = devsim.Port(scheme);
      EXPECT_EQ(Outcome(Nuvaroctl(Join({"--port", port}, c.args)), json), local) << port;
    }
  }
}

// Each way there is no server to talk to gives status 3 and the reason.
TEST(Ser2net, NoServerOrASilentOneEndsWithStatus3AndTheReason) {
  int silentPort = 0;
  const int silent = Ser2netServer::SilentListener(&silentPort);
  const std::string unused = "127.0.0.1:" + std::to_string(Ser2netServer::UnusedPort());
  const std::string quiet = "127.0.0.1:" + std::to_string(silentPort);
  struct Case {
    std::string port;
    const char *error;
    double atLeast; // seconds: the wait it must have made
  } cases[] = {
      {"rfc2217://" + unused, "打开失败：连接被拒绝", 0},
      {"socket://" + unused, "打开失败：连接被拒绝", 0},
      {"rfc2217://" + quiet + "?timeout=0.5",
       "打开失败：连接超时 (no answer to WILL COM-PORT-OPTION within 0.5 s)", 0.5},
      {"rfc2217://" + quiet + "?timeout=ten", "打开失败：网络端口名无效", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.port);
    const auto start = std::chrono::steady_clock::now();
    const Ran ran = Nuvaroctl(L("--port", c.port, "check"));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    ExpectRan(ran, L("check"), 3, L(), c.error);
    EXPECT_GE(took.count(), c.atLeast);
  }
  close(silent);
}

// The server killed under `nuvaroctl rate`: the run ends with status 1 and
// the port error within 3 s.
TEST(Ser2net, AServerKilledUnderARunEndsItWithStatus1) {
  for (const Scheme scheme : kSchemes) {
    SCOPED_TRACE(NameOf(scheme));
    ModelBehindServer device;
    ASSERT_NO_FATAL_FAILURE(device.Start());
    const Child run = SpawnChild(
        {NUVARO_CTL_EXE, "--port", Url(device.server, scheme), "rate", "--interval", "0.1"});
    EXPECT_NE(ReadLineFrom(run.out), "");
    device.server.Kill();
    const auto killed = std::chrono::steady_clock::now();
    int status = 0;
    while (waitpid(run.pid, &status, WNOHANG) != run.pid &&
           std::chrono::steady_clock::now() - killed < std::chrono::seconds(3))
      usleep(10 * 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(3));
    if (kill(run.pid, 0) == 0)
      status = WaitForExit(run.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_NE(ReadAll(run.err).find("端口错误（设备已断开或出错）"), std::string::npos);
  }
}

// A network port has no lock file: the server decides. ser2net serves one
// client: a second one is refused as busy through RFC 2217, and through raw
// TCP (no handshake) opens and loses the line. With kickolduser the second
// takes the port and the first loses it.
TEST(Ser2net, ASecondClientIsRefusedOrTakesThePort) {
  for (const bool kick : {false, true}) {
    SCOPED_TRACE(kick ? "kickolduser" : "one client");
    ModelBehindServer device;
    ASSERT_NO_FATAL_FAILURE(device.Start({kick}));
    const Child holder = SpawnChild(
        {NUVARO_CTL_EXE, "--port", device.server.Rfc2217Url(), "rate", "--interval", "0.1"});
    EXPECT_NE(ReadLineFrom(holder.out), ""); // it has the port
    if (!kick) {
      ExpectRan(Nuvaroctl(L("--port", device.server.Rfc2217Url(), "check")), L("check"), 3, L(),
                "打开失败：设备忙：服务器关闭了连接 (the server closed the connection: Port");
      const Ran raw = Nuvaroctl(L("--port", device.server.RawUrl(), "check", "--json"));
      EXPECT_EQ(Outcome(raw, true).first, 1);
      EXPECT_NE(raw.err.find("端口错误（设备已断开或出错）"), std::string::npos) << raw.err;
      kill(holder.pid, SIGTERM);
      WaitForExit(holder.pid);
    } else {
      const Ran taken = Nuvaroctl(Join({"--port", device.server.Rfc2217Url()}, kFixed));
      EXPECT_TRUE(WIFEXITED(taken.status) && WEXITSTATUS(taken.status) == 0) << taken.err;
      const int status = WaitForExit(holder.pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    }
  }
}

} // namespace
#endif
