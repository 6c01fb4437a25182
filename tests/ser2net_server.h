// ser2net, the serial device server, on loopback for the tests and the
// benchmarks. Its configuration is the example of docs/usage.md's "A device
// across the network" (so the example is what runs), with its two accepters,
// RFC 2217 and raw TCP, moved to free loopback ports and its device set to
// the given pseudo-terminal, at 38400n81. ser2net runs as a child
// (`-n -d -c FILE -P PIDFILE`) and ends with the object. Needs no test
// framework: bench/ includes it too. Linux.
#pragma once
#ifdef __linux__

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

struct Ser2netOptions {
  bool kickOldUser = false; // a new client drops the one before
};

class Ser2netServer {
public:
  using Options = Ser2netOptions;

  Ser2netServer() = default;
  Ser2netServer(const Ser2netServer &) = delete;
  Ser2netServer &operator=(const Ser2netServer &) = delete;
  ~Ser2netServer() {
    Stop();
    for (const char *file : {"/ser2net.yaml", "/ser2net.pid", "/ser2net.log"})
      unlink((folder_ + file).c_str());
    if (!folder_.empty())
      rmdir(folder_.c_str());
  }

  // Starts ser2net serving `device`, on the ports of the last start when
  // `samePorts`; false, with the reason, when it cannot.
  bool Start(const std::string &device, std::string *error, Options options = {},
             bool samePorts = false) {
    Stop();
    const std::string program = Program();
    if (program.empty())
      return Failed(error, "ser2net is not installed (scripts/install-deps.sh installs it)");
    char folder[] = "/tmp/nuvaro-ser2net.XXXXXX";
    if (folder_.empty() && !mkdtemp(folder))
      return Failed(error, "no temporary folder");
    if (folder_.empty())
      folder_ = folder;
    if (!(samePorts && rfc2217Port > 0) && !FreePorts())
      return Failed(error, "no free loopback port");
    std::string config;
    if (!Configuration(device, options, &config, error))
      return false;
    std::ofstream(folder_ + "/ser2net.yaml") << config;
    std::vector<std::string> args = {
        program, "-n", "-d", "-c", folder_ + "/ser2net.yaml", "-P", folder_ + "/ser2net.pid"};
    if (!Spawn(args))
      return Failed(error, "ser2net did not start");
    for (int waited = 0; waited < kStartGuardMs; waited += 10) {
      if (Listening(rfc2217Port) && Listening(rawPort))
        return true;
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return Failed(error, "ser2net ended at once: " + Log());
      }
      usleep(10 * 1000);
    }
    return Failed(error, "ser2net does not listen: " + Log());
  }

  // Ends it as a service manager does; the object may start it again.
  void Stop() { End(SIGTERM); }
  // Ends it at once, as a crash or a power cut of the server would.
  void Kill() { End(SIGKILL); }

  std::string Rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(rfc2217Port); }
  std::string RawUrl() const { return "socket://127.0.0.1:" + std::to_string(rawPort); }
  // What ser2net logged.
  std::string Log() const {
    std::ifstream log(folder_ + "/ser2net.log");
    std::stringstream text;
    text << log.rdbuf();
    return text.str();
  }

  int rfc2217Port = 0;
  int rawPort = 0;
  pid_t pid = -1;

  // A loopback port nothing listens at (none, once the number is handed out).
  static int UnusedPort() {
    int port = 0;
    const int fd = BoundSocket(&port);
    if (fd >= 0)
      close(fd);
    return port;
  }

  // A loopback port that completes connections and never answers: a socket
  // listening with nobody to accept. Closed with the descriptor returned.
  static int SilentListener(int *port) {
    const int fd = BoundSocket(port);
    if (fd >= 0 && listen(fd, 4) != 0) {
      close(fd);
      return -1;
    }
    return fd;
  }

  // The configuration example of docs/usage.md.
  static std::string ExampleConfiguration() {
    std::ifstream usage(NUVARO_SOURCE_DIR "/docs/usage.md");
    std::string line, example;
    bool inSection = false;
    while (std::getline(usage, line)) {
      if (line.rfind("## ", 0) == 0)
        inSection = line == "## A device across the network";
      else if (inSection && line.rfind("    connection:", 0) == 0)
        example += line.substr(4) + "\n";
      else if (inSection && !example.empty() && line.rfind("      ", 0) == 0)
        example += line.substr(4) + "\n";
      else if (!example.empty())
        break;
    }
    return example;
  }

private:
  static constexpr int kStartGuardMs = 10000;
  // What the example names, replaced here.
  static constexpr const char *kExampleDevice = "/dev/ttyUSB0";
  static constexpr const char *kExampleRfc2217 = "telnet(rfc2217),tcp,2217";
  static constexpr const char *kExampleRaw = "accepter: tcp,2000";

  static bool Failed(std::string *error, const std::string &why) {
    if (error)
      *error = why;
    return false;
  }

  static std::string Program() {
    std::vector<std::string> folders = {"/usr/sbin", "/sbin"};
    if (const char *path = std::getenv("PATH")) {
      std::stringstream list(path);
      for (std::string folder; std::getline(list, folder, ':');)
        folders.insert(folders.end() - 2, folder);
    }
    for (const std::string &folder : folders)
      if (access((folder + "/ser2net").c_str(), X_OK) == 0)
        return folder + "/ser2net";
    return {};
  }

  static int BoundSocket(int *port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&address), size) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) != 0) {
      if (fd >= 0)
        close(fd);
      return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
  }

  // Two different free ports: both held until both are known.
  bool FreePorts() {
    const int a = BoundSocket(&rfc2217Port), b = BoundSocket(&rawPort);
    if (a >= 0)
      close(a);
    if (b >= 0)
      close(b);
    return a >= 0 && b >= 0;
  }

  static bool Replace(std::string *text, const std::string &from, const std::string &to) {
    const std::size_t at = text->find(from);
    if (at == std::string::npos)
      return false;
    text->replace(at, from.size(), to);
    return true;
  }

  bool Configuration(const std::string &device, Options options, std::string *config,
                     std::string *error) const {
    *config = ExampleConfiguration();
    const std::string loopback = "tcp,127.0.0.1,";
    if (!Replace(config, kExampleRfc2217,
                 "telnet(rfc2217)," + loopback + std::to_string(rfc2217Port)) ||
        !Replace(config, kExampleRaw, "accepter: " + loopback + std::to_string(rawPort)) ||
        !Replace(config, kExampleDevice, device) || !Replace(config, kExampleDevice, device))
      return Failed(error, "docs/usage.md's example is not the one the tests expect:\n" + *config);
    if (options.kickOldUser) {
      std::string withOptions;
      std::stringstream lines(*config);
      for (std::string line; std::getline(lines, line);) {
        withOptions += line + "\n";
        if (line.rfind("  connector:", 0) == 0)
          withOptions += "  options:\n    kickolduser: true\n";
      }
      *config = withOptions;
    }
    return true;
  }

  bool Spawn(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = folder_ + "/ser2net.log";
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char *> argv;
    for (std::string &a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
      pid = -1;
    return started;
  }

  // Whether something listens on 127.0.0.1:`port` (the kernel's table).
  static bool Listening(int port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
      std::stringstream fields(line);
      std::string slot, local, remote, state;
      fields >> slot >> local >> remote >> state;
      if (local == wanted && state == "0A")
        return true;
    }
    return false;
  }

  void End(int signal) {
    if (pid > 0) {
      kill(pid, signal);
      int status = 0;
      for (int waited = 0; waited < kStartGuardMs && waitpid(pid, &status, WNOHANG) != pid;
           waited += 10)
        usleep(10 * 1000);
      if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
      }
      pid = -1;
    }
  }

  std::string folder_;
};

#endif
