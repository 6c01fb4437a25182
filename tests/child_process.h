// Programs the tests start: nuvaro-devsim, nuvaroctl, or this test program in
// a child role, with stdout and stderr on pipes; reads from a descriptor; and
// what a port leaves behind once closed (Linux). Reads and waits end at a
// generous guard that only protects against a hang; nothing here measures
// time. POSIX only.
#pragma once
#ifndef _WIN32

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/ioctl.h>
#endif

constexpr int kChildGuardMs = 20000;

// A started program: its id (-1 when it did not start) and the read ends of
// its stdout and stderr, closed with it.
struct Child {
  Child(pid_t p, int o, int e) : pid(p), out(o), err(e) {}
  Child(const Child &) = delete; // one owner closes the pipes
  Child &operator=(const Child &) = delete;
  ~Child() {
    close(out);
    close(err);
  }
  pid_t pid;
  int out, err;
};

// Starts argv[0] with stdout and stderr on pipes. The stop signals have their
// default action in the child, whatever this process was started with.
inline Child SpawnChild(std::vector<std::string> args) {
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
    return {-1, -1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t stops;
  sigemptyset(&stops);
  for (int s : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE})
    sigaddset(&stops, s);
  posix_spawnattr_setsigdefault(&attributes, &stops);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  std::vector<char *> argv;
  for (auto &a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const bool started = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  return {started ? pid : -1, outPipe[0], errPipe[0]};
}

// Text up to the first newline or the end of the stream.
inline std::string ReadLineFrom(int fd) {
  std::string line;
  char c = 0;
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, kChildGuardMs) > 0 && read(fd, &c, 1) == 1 && c != '\n')
    line += c;
  return line;
}

// Exactly `count` bytes from `fd`, or what came before the guard ran out.
inline std::string ReadBytes(int fd, std::size_t count) {
  std::string got;
  pollfd p{fd, POLLIN, 0};
  char chunk[256];
  while (got.size() < count && poll(&p, 1, kChildGuardMs) > 0) {
    const ssize_t n = read(fd, chunk, std::min(sizeof chunk, count - got.size()));
    if (n <= 0)
      break;
    got.append(chunk, static_cast<std::size_t>(n));
  }
  return got;
}

// Everything `fd` gives until its end, or what came before the guard ran out.
inline std::string ReadAll(int fd) {
  std::string got;
  pollfd p{fd, POLLIN, 0};
  char chunk[4096];
  ssize_t n = 0;
  while (poll(&p, 1, kChildGuardMs) > 0 && (n = read(fd, chunk, sizeof chunk)) > 0)
    got.append(chunk, static_cast<std::size_t>(n));
  return got;
}

// The wait status, or -1 when the child still ran after the guard (it is
// killed then).
inline int WaitForExit(pid_t pid) {
  for (int waited = 0; waited < kChildGuardMs; waited += 10) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid)
      return status;
    usleep(10 * 1000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

#ifdef __linux__
// Whether a lock file Qt made for `slave` ("/dev/pts/3": LCK..pts_3) names `pid`.
inline bool LockedBy(const std::string &slave, pid_t pid) {
  std::string name = slave.substr(slave.rfind("/dev/", 0) == 0 ? 5 : 0);
  for (char &c : name)
    c = c == '/' ? '_' : c;
  for (const char *dir : {"/run/lock", "/var/lock", "/tmp", "/var/tmp"}) {
    std::ifstream lock(std::string(dir) + "/LCK.." + name);
    pid_t owner = 0;
    if (lock >> owner && owner == pid)
      return true;
  }
  return false;
}

// The terminal's exclusive flag (TIOCGEXCL): 1 while a program holds it
// open for itself, 0 once it let go; -1 when it cannot be read.
inline int ExclusiveFlag(int fd) {
  int flag = -1;
  return ioctl(fd, TIOCGEXCL, &flag) == 0 ? flag : -1;
}
#endif

#endif
