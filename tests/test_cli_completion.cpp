// nuvaroctl's bash completion (packaging/bash-completion/nuvaroctl) in a real
// interactive bash on a pseudo-terminal, with bash-completion's library as
// the package's users have it: readline splits each typed line ("=" a word
// of its own, an opening quote kept in its word) and runs the completion on
// a Tab, as at a prompt. What it offered is written to a file by a wrapper;
// a key bound to print a marker says when readline is done with the Tab.
#ifdef __linux__
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "cli/parameters.h"

namespace {

using Strings = std::vector<std::string>;

constexpr const char *kLibrary = "/usr/share/bash-completion/bash_completion";

// An interactive bash on the master side of a pseudo-terminal.
class Bash {
public:
  explicit Bash(const std::string &programDir) {
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      const std::string path =
          programDir + ":" + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin");
      setenv("PATH", path.c_str(), 1);
      setenv("TERM", "dumb", 1);
      setenv("INPUTRC", "/dev/null", 1); // no site key bindings or completion settings
      setenv("HISTFILE", "/dev/null", 1);
      setenv("PS1", "<<prompt>> ", 1);
      execl("/bin/bash", "bash", "--norc", "--noprofile", "-i", static_cast<char *>(nullptr));
      _exit(127);
    }
  }
  ~Bash() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0)
      close(master_);
  }
  bool Started() const { return pid_ > 0; }

  void Type(const std::string &keys) {
    for (std::size_t done = 0; done < keys.size();) {
      const ssize_t n = write(master_, keys.data() + done, keys.size() - done);
      if (n <= 0)
        return;
      done += static_cast<std::size_t>(n);
    }
  }
  // What the terminal shows, up to and including `marker`; "" when it does
  // not come within the guard time.
  std::string Until(const std::string &marker) {
    pollfd p{master_, POLLIN, 0};
    for (std::size_t at; (at = screen_.find(marker)) == std::string::npos;) {
      char chunk[4096];
      ssize_t n = 0;
      if (poll(&p, 1, kChildGuardMs) <= 0 || (n = read(master_, chunk, sizeof chunk)) <= 0)
        return "";
      screen_.append(chunk, static_cast<std::size_t>(n));
    }
    const std::size_t end = screen_.find(marker) + marker.size();
    std::string shown = screen_.substr(0, end);
    screen_.erase(0, end);
    return shown;
  }

private:
  pid_t pid_ = -1;
  int master_ = -1;
  std::string screen_;
};

TEST(NuvaroctlCompletion, CommandsPortsAndPathsHoweverTheyAreTyped) {
  ASSERT_EQ(access(kLibrary, R_OK), 0)
      << "bash-completion is not installed (scripts/install-deps.sh installs it)";
  char folder[] = "/tmp/nuvaroctl-completion-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = folder, one = dir + "/file one", two = dir + "/ftwo",
                    offeredFile = dir + "/offered";
  for (const std::string &file : {one, two})
    close(open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));

  const std::string program = NUVARO_CTL_EXE;
  Strings ports; // what `nuvaroctl ports` lists first on each line
  {
    const Child child = SpawnChild({program, "ports"});
    std::string out = ReadAll(child.out);
    EXPECT_EQ(WaitForExit(child.pid), 0);
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
      ports.push_back(out.substr(at, out.find('\t', at) - at));
    std::sort(ports.begin(), ports.end());
    ASSERT_FALSE(ports.empty());
  }

  Bash bash(program.substr(0, program.rfind('/')));
  ASSERT_TRUE(bash.Started());
  bash.Type("source " + std::string(kLibrary) +
            " && source " NUVARO_SOURCE_DIR "/packaging/bash-completion/nuvaroctl || exit 3\n"
            "_offered() { _nuvaroctl \"$@\"; printf '%s\\n' \"${COMPREPLY[@]}\" >" +
            offeredFile +
            "; }\n"
            "complete -F _offered nuvaroctl\n"
            "bind -x '\"\\C-t\": echo \"<<done>>\"'\n"
            "echo '<<ready'\">>\"\n");
  ASSERT_NE(bash.Until("<<ready>>"), "");
  // The prompt after it: readline has the terminal now. Keys typed before
  // would meet the terminal's own line editing, where Ctrl+U wipes the line.
  ASSERT_NE(bash.Until("<<prompt>> "), "");

  // A download's options after --port: each parameter of the mode in the
  // parameter table, and --json. The completion reads them from --help.
  const auto downloadOptions = [](bool sweep) {
    Strings options = {"--json"};
    for (const ParameterRow *p : cli::OptionParameters())
      if (cli::NeededIn(*p, sweep))
        options.push_back(std::string("--") + p->option);
    std::sort(options.begin(), options.end());
    return options;
  };
  const struct {
    std::string typed; // after "nuvaroctl ", the cursor at its end
    Strings offered;   // sorted
  } cases[] = {
      {"--port demo do", {"download"}},
      {"--port=demo do", {"download"}},
      {"--port ", ports},
      {"--port=", ports},
      {"--port=de", {"demo"}},
      {"--port=" + dir + "/ft", {two}},
      {"--port \"" + dir + "/f", {one, two}},
      {"--port '" + dir + "/fi", {one}},
      {"--port=\"" + dir + "/fi", {one}},
      {"--port " + dir + "/file\\ o", {one}},
      // Each option once, however it was given; a number is not guessed.
      {"--port=demo check --", {"--json"}},
      {"--port=demo download fixed --rate=", {}},
      {"--port=demo download fixed --", downloadOptions(false)},
      {"download sweep --port demo --", downloadOptions(true)},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    unlink(offeredFile.c_str());
    // The line, a Tab, the marker's key, then the line wiped.
    bash.Type("nuvaroctl " + c.typed + "\t\x14\x05\x15");
    ASSERT_NE(bash.Until("<<done>>"), "");
    Strings offered;
    std::ifstream file(offeredFile);
    for (std::string line; std::getline(file, line);)
      if (!line.empty())
        offered.push_back(line);
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, c.offered);
  }
  for (const std::string &file : {one, two, offeredFile})
    unlink(file.c_str());
  rmdir(folder);
}

} // namespace

#endif
