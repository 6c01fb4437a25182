// nuvaro-devsim: its options, its log lines, and the program itself answering
// on its pseudo-terminal.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/devsim_options.h"
#include "sim/frame_log.h"
#include "sim/frame_scanner.h"

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

using Args = std::vector<std::string>;

std::optional<sim::DevsimOptions> Parse(const Args &args, std::string *error = nullptr) {
  std::string message;
  auto options = sim::ParseDevsimOptions(args, message);
  if (error)
    *error = message;
  return options;
}

TEST(DevsimOptions, EveryOptionSetsItsKnob) {
  auto options = Parse({"--rate", "-1200", "--latency=0.25", "--refuse", "W", "--ack-from", "3",
                        "--silent-for", "?1", "--noise", "--bad-checksum", "--trailing",
                        "--quiet"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->startRate, -1200);
  EXPECT_DOUBLE_EQ(options->knobs.latency, 0.25);
  EXPECT_TRUE(options->knobs.refuse);
  EXPECT_EQ(options->knobs.refusePrefix, "W");
  EXPECT_EQ(options->knobs.ackFrom, 3);
  EXPECT_TRUE(options->knobs.silent);
  EXPECT_EQ(options->knobs.silentPrefix, "?1");
  EXPECT_TRUE(options->knobs.strayByte && options->knobs.badChecksum && options->knobs.trailing);
  EXPECT_TRUE(options->quiet);
  EXPECT_FALSE(options->help);

  // The all-commands forms clear a prefix given earlier.
  options = Parse({"--refuse", "W", "--refuse-all", "--silent-for", "T", "--silent"});
  ASSERT_TRUE(options);
  EXPECT_TRUE(options->knobs.refuse && options->knobs.refusePrefix.empty());
  EXPECT_TRUE(options->knobs.silent && options->knobs.silentPrefix.empty());
  EXPECT_TRUE(Parse({"--help"})->help);
  EXPECT_EQ(Parse({})->knobs.ackFrom, 1);
}

TEST(DevsimOptions, BadOptionsAreRefusedWithAReason) {
  for (const Args &args : std::vector<Args>{{"--bogus"}, {"rate"}, {"--rate"}, {"--rate", "12x"},
                                            {"--rate", "99999999999"}, {"--latency", "-1"},
                                            {"--latency", "nan"}, {"--latency="}, {"--ack-from", "0"},
                                            {"--refuse", ""}, {"--noise=1"}, {"--quiet=yes"}}) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

TEST(DevsimLog, LinesShowCommandReplyAndBadBytes) {
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {true, "F3,", {}}, "E1"}), "F3, -> E1");
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {true, "W5,", {}}, ""}), "W5, (no reply)");
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {true, std::string("T\0\\\xFF,", 5), {}}, "E0"}),
            "T\\x00\\x5C\\xFF, -> E0");
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {false, "$\x05" "F1", "incomplete"}, ""}),
            "bad frame (incomplete): 24 05 46 31");
  const std::string stamp = sim::TimeOfDay(std::chrono::system_clock::now());
  ASSERT_EQ(stamp.size(), 12u);
  EXPECT_EQ(stamp[2], ':');
  EXPECT_EQ(stamp[8], '.');
}

#ifndef _WIN32

// Runs nuvaro-devsim with its stdout and stderr on pipes.
class DevsimProcess {
public:
  explicit DevsimProcess(const Args &args) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<std::string> argv{NUVARO_DEVSIM_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char *> cargv;
    for (auto &a : argv)
      cargv.push_back(a.data());
    cargv.push_back(nullptr);
    if (posix_spawn(&pid_, cargv[0], &actions, nullptr, cargv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~DevsimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
    close(err_);
  }

  bool Started() const { return pid_ > 0; }
  void Signal(int sig) { kill(pid_, sig); }

  // Reads one stream up to `stop` (or its end); empty after the hang guard.
  std::string ReadUntil(bool fromStdout, char stop) {
    const int fd = fromStdout ? out_ : err_;
    std::string text;
    char c;
    while (true) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 10000) <= 0 || read(fd, &c, 1) != 1)
        break;
      if (c == stop)
        break;
      text.push_back(c);
    }
    return text;
  }

  // The exit status, or -1 when the program did not end within the guard.
  int Wait() {
    for (int i = 0; i < 1000; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      usleep(10000);
    }
    return -1;
  }

private:
  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
};

TEST(DevsimProgram, AnswersOnItsTerminalLogsAndStopsOnSigterm) {
  DevsimProcess devsim({"--rate", "1234"});
  ASSERT_TRUE(devsim.Started());
  const std::string path = devsim.ReadUntil(true, '\n');
  ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  const std::string poll = sim::EncodeFrame("?1,");
  ASSERT_EQ(write(fd, poll.data(), poll.size()), static_cast<ssize_t>(poll.size()));
  std::string reply;
  while (reply.size() < 9) {
    pollfd p{fd, POLLIN, 0};
    char chunk[16];
    if (::poll(&p, 1, 10000) <= 0)
      break;
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0)
      break;
    reply.append(chunk, static_cast<std::size_t>(n));
  }
  close(fd);
  EXPECT_EQ(reply, sim::EncodeFrame("R1234"));

  const std::string line = devsim.ReadUntil(false, '\n');
  EXPECT_NE(line.find(" ?1, -> R1234"), std::string::npos) << line;
  devsim.Signal(SIGTERM);
  EXPECT_EQ(devsim.Wait(), 0);
}

TEST(DevsimProgram, SigintEndsItToo) {
  DevsimProcess devsim({"--quiet"});
  ASSERT_TRUE(devsim.Started());
  ASSERT_FALSE(devsim.ReadUntil(true, '\n').empty());
  devsim.Signal(SIGINT);
  EXPECT_EQ(devsim.Wait(), 0);
}

TEST(DevsimProgram, BadOptionExitsWithTwo) {
  DevsimProcess devsim({"--latency", "soon"});
  ASSERT_TRUE(devsim.Started());
  EXPECT_EQ(devsim.Wait(), 2);
  EXPECT_NE(devsim.ReadUntil(false, '\0').find("--latency"), std::string::npos);
}

#endif

} // namespace
