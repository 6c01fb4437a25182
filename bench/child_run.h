// A program run to its end as a child, for the whole-process benchmarks
// (bench_startup, bench_cli): its wall time, CPU time and peak memory, and
// medians of such figures. Linux.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

struct ChildRun {
  double wallMs = 0;
  double cpuMs = 0;
  double peakMiB = 0;
  int status = -1; // the exit status; -1 when it did not exit normally
};

// Runs `args` (the program first) with its standard output, and its standard
// error too when `quietErrors`, on /dev/null.
inline ChildRun RunChild(const std::vector<std::string> &args, bool quietErrors) {
  ChildRun run;
  std::vector<char *> argv;
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    if (quietErrors)
      dup2(devNull, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
    return run;
  run.wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  run.peakMiB = usage.ru_maxrss / 1024.0; // kilobytes on Linux
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
}
