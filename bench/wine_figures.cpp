// Figures of the Windows programs under Wine, measured from Linux.
//
//   build/bin/wine_figures [--runs N] [--dpi D]
//     (11 start-ups of each, 11 downloads; at 96 dpi, 100 %)
//
// Runs the programs of build-windows/ (NUVARO_WIN_BUILD_DIR) in a Wine prefix
// of its own (WINEPREFIX, else a new one under /tmp) whose wineserver is kept
// running (`wineserver -p`) and warmed up by a first run of each program, so
// that neither the wineserver nor Wine's own start-up services are in the
// figures: each figure is the rusage (wait4) of the one Linux process that
// `wine program.exe` becomes, which runs the Windows program and nothing else.
//
// - start-up: the panel (panel_once.exe, the nuvaro executable's start-up,
//   quitting once painted) against the bare Qt window (bare_panel.exe
//   --once), taking turns, with Qt's windows platform on a display of their
//   own (Xvfb; under Wine the panel never paints on the offscreen platform):
//   medians of CPU time and peak memory, and their ratios (goals: CPU <= 1.3
//   times, memory <= 1.1 times); --dpi 144 runs them at 150 % (Wine's
//   LogPixels) on a 1920 x 1080 display, as on a laptop at that scaling;
// - nuvaroctl.exe's fixed-rate download (bench_cli's settings) over COM5,
//   which the prefix maps to the pseudo-terminal of this build's
//   nuvaro-devsim: median wall time against the floor (the download's waits
//   plus its bytes at 38400 baud) plus what Wine takes to start and end the
//   same program when it only prints its version (goal: within 1.05 times of
//   that sum);
// - the installer's size and the installed size (the zip's contents).
//
// The programs are measured stripped, as they are installed: Wine reads a
// mingw executable's sections into memory rather than mapping them, so the
// debug information of a RelWithDebInfo build would count as the program's
// CPU and memory. Needs wine, Xvfb and x86_64-w64-mingw32-strip.
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/state/settings.h"
#include "bench/child_run.h"
#include "bench/fixed_download.h"
#include "tests/cli_arguments.h"
#include "tests/expected_download.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

std::string Slurp(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream read;
  read << in.rdbuf();
  return read.str();
}

// A value of CMakeCache.txt: the text after "NAME:TYPE=".
std::string Cached(const std::string &cache, const std::string &name) {
  std::istringstream lines(cache);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(name + ":", 0) == 0)
      return line.substr(line.find('=') + 1);
  return {};
}

std::uint32_t Le(const std::string &s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

// The sum of the uncompressed sizes in a zip's central directory; 0 when the
// file is no zip this reads (no ZIP64, no comment past 64 KiB).
std::uint64_t ZipContentBytes(const fs::path &path) {
  const std::string zip = Slurp(path);
  const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos || end + 22 > zip.size())
    return 0;
  std::size_t at = Le(zip, end + 16, 4);
  std::uint64_t total = 0;
  for (std::uint32_t n = Le(zip, end + 10, 2); n > 0; --n) {
    if (at + 46 > zip.size() || zip.compare(at, 4, "PK\x01\x02", 4) != 0)
      return 0;
    total += Le(zip, at + 24, 4);
    at += 46 + Le(zip, at + 28, 2) + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
  }
  return total;
}

// Runs `args` quietly; true when it exited with 0.
bool Quiet(const Args &args) {
  return RunChild(args, true).status == 0;
}

pid_t xvfb = -1, devsim = -1;
void EndHelpers() {
  for (pid_t pid : {devsim, xvfb})
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  devsim = xvfb = -1;
}

// nuvaro-devsim on a pseudo-terminal; its path, the first line it prints.
std::string StartDevsim() {
  int out[2];
  if (pipe(out) != 0)
    return {};
  devsim = fork();
  if (devsim == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    execl(NUVARO_DEVSIM_EXE, NUVARO_DEVSIM_EXE, "--quiet", static_cast<char *>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n')
    line += c;
  close(out[0]);
  return line;
}

[[noreturn]] void Fail(const std::string &why) {
  std::fprintf(stderr, "wine_figures: %s\n", why.c_str());
  EndHelpers();
  std::exit(1);
}

} // namespace

int main(int argc, char **argv) {
  int runs = 11;
  int dpi = 96;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0)
      runs = std::max(1, std::atoi(argv[i + 1]));
    else if (std::strcmp(argv[i], "--dpi") == 0)
      dpi = std::clamp(std::atoi(argv[i + 1]), 96, 480);
  }
  const char *winEnv = std::getenv("NUVARO_WIN_BUILD_DIR");
  const fs::path win =
      fs::absolute(winEnv ? fs::path(winEnv) : fs::path(NUVARO_SOURCE_DIR) / "build-windows");
  const std::string cache = Slurp(win / "CMakeCache.txt");
  const std::string qt = Cached(cache, "NUVARO_QT_MINGW_PREFIX");
  const std::string version = Cached(cache, "CMAKE_PROJECT_VERSION");
  if (qt.empty())
    Fail(win.string() + " is no Windows build (scripts/windows.sh makes one)");

  std::string prefix = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
  if (prefix.empty()) {
    char folder[] = "/tmp/nuvaro-wine-bench.XXXXXX";
    if (!mkdtemp(folder))
      Fail("cannot make a Wine prefix folder");
    prefix = folder;
  }
  setenv("WINEPREFIX", prefix.c_str(), 1);
  setenv("WINEDEBUG", "-all", 1);
  setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
  setenv("WINEPATH", ("Z:" + qt + "/bin").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "windows", 1);

  // A display of their own.
  int display = 95;
  while (fs::exists("/tmp/.X11-unix/X" + std::to_string(display)) ||
         fs::exists("/tmp/.X" + std::to_string(display) + "-lock"))
    ++display;
  const std::string name = ":" + std::to_string(display);
  xvfb = fork();
  if (xvfb == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", dpi > 96 ? "1920x1080x24" : "1280x1024x24",
           "-nolisten", "tcp", static_cast<char *>(nullptr));
    _exit(127);
  }
  setenv("DISPLAY", name.c_str(), 1);
  sleep(1);

  // Stripped copies, with the panel file beside them.
  char binFolder[] = "/tmp/nuvaro-wine-bin.XXXXXX";
  if (!mkdtemp(binFolder))
    Fail("cannot make a folder for the programs");
  const fs::path bin = binFolder;
  for (const char *file : {"panel_once.exe", "bare_panel.exe", "nuvaroctl.exe", "nuvaro.uir"}) {
    std::error_code error;
    fs::copy_file(win / "bin" / file, bin / file, error);
    if (error)
      Fail(std::string("cannot copy ") + file + ": " + error.message());
    if (fs::path(file).extension() == ".exe" &&
        !Quiet({"/usr/bin/x86_64-w64-mingw32-strip", (bin / file).string()}))
      Fail(std::string("cannot strip ") + file);
  }

  const std::string wine = "/usr/bin/wine";
  Quiet({"/usr/bin/wineboot", "-i"});
  // Wine's dpi, read by each process as it starts: the scaling.
  Quiet({wine, "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
         "/d", std::to_string(dpi), "/f"});
  Quiet({"/usr/bin/wineserver", "-k"});
  Quiet({"/usr/bin/wineserver", "-p"});
  const Args panel = {wine, (bin / "panel_once.exe").string()};
  // Under Wine bare_panel does not see QT_QPA_PLATFORM and would take
  // offscreen: its platform is named on its command line.
  const Args bare = {wine, (bin / "bare_panel.exe").string(), "--once", "-platform", "windows"};
  for (const Args *warm : {&panel, &bare, &panel, &bare}) // the wineserver, its services, the cache
    RunChild(*warm, true);

  std::vector<double> cpu[2], peak[2];
  for (int i = 0; i < runs; ++i)
    for (int k = 0; k < 2; ++k) {
      const int which = (i + k) % 2;
      const ChildRun run = RunChild(which == 0 ? panel : bare, true);
      if (run.status != 0)
        Fail(std::string(which == 0 ? "panel" : "bare_panel") + " failed (status " +
             std::to_string(run.status) + ")");
      cpu[which].push_back(run.cpuMs);
      peak[which].push_back(run.peakMiB);
    }
  std::printf("# under Wine, warm wineserver -p, median of %d runs each, windows platform on Xvfb "
              "at %d dpi (%d %%)\n",
              runs, dpi, dpi * 100 / 96);
  std::printf("%-12s %10s %13s\n", "", "cpu_ms", "peak_rss_mib");
  std::printf("%-12s %10.1f %13.1f\n", "nuvaro", Median(cpu[0]), Median(peak[0]));
  std::printf("%-12s %10.1f %13.1f\n", "bare_panel", Median(cpu[1]), Median(peak[1]));
  std::printf("%-12s %10.2f %13.2f   (goals: cpu <= 1.30, memory <= 1.10)\n", "ratio",
              Median(cpu[0]) / Median(cpu[1]), Median(peak[0]) / Median(peak[1]));

  // nuvaroctl.exe's fixed download over COM5 to nuvaro-devsim.
  const std::string pty = StartDevsim();
  if (pty.empty())
    Fail("nuvaro-devsim gave no pseudo-terminal");
  const fs::path com5 = fs::path(prefix) / "dosdevices" / "com5";
  std::error_code ignored;
  fs::remove(com5, ignored);
  fs::create_symlink(pty, com5);
  const SettingsRecord s = BenchFixedSettings();
  Args ctl = {wine, (bin / "nuvaroctl.exe").string(), "--port", "COM5"};
  for (const std::string &a : DownloadArguments(s))
    ctl.push_back(a);
  RunChild(ctl, true);
  std::vector<double> walls, cpus;
  int failed = 0;
  for (int i = 0; i < runs; ++i) {
    const ChildRun run = RunChild(ctl, true);
    failed += run.status != 0;
    walls.push_back(run.wallMs);
    cpus.push_back(run.cpuMs);
  }
  kill(devsim, SIGTERM);
  waitpid(devsim, nullptr, 0);
  devsim = -1;
  // What Wine itself takes to start and end the same program, its Qt DLLs
  // loaded, when it does nothing on the line: the download's floor under
  // Wine is the protocol's floor plus this.
  std::vector<double> starts;
  for (int i = 0; i < runs; ++i)
    starts.push_back(RunChild({wine, (bin / "nuvaroctl.exe").string(), "--version"}, true).wallMs);
  const ExpectedDownload download = Expected(s);
  const double floorMs = (download.floor + AcknowledgedLineSeconds(download)) * 1e3;
  const double wall = Median(walls), start = Median(starts);
  std::printf("# nuvaroctl.exe download fixed over COM5 (nuvaro-devsim's pty), whole process, "
              "%d runs\n",
              runs);
  std::printf("median %.1f ms (%.1f to %.1f; cpu %.1f ms), floor %.1f ms: ratio %.3f; runs not "
              "fully acknowledged: %d\n",
              wall, *std::min_element(walls.begin(), walls.end()),
              *std::max_element(walls.begin(), walls.end()), Median(cpus), floorMs, wall / floorMs,
              failed);
  std::printf("Wine's start and end of nuvaroctl.exe --version: median %.1f ms; against the floor "
              "plus that start: ratio %.3f (goal <= 1.05)\n",
              start, wall / (floorMs + start));

  const fs::path installer = win / ("nuvaro-" + version + "-win64.exe");
  const fs::path archive = win / ("nuvaro-" + version + "-win64.zip");
  if (fs::exists(installer) && fs::exists(archive)) {
    constexpr double kMiB = 1024.0 * 1024.0;
    std::printf("# installer %.1f MiB; installed %.1f MiB (+ the uninstaller); zip %.1f MiB\n",
                static_cast<double>(fs::file_size(installer)) / kMiB,
                static_cast<double>(ZipContentBytes(archive)) / kMiB,
                static_cast<double>(fs::file_size(archive)) / kMiB);
  }
  double load[1] = {0};
  getloadavg(load, 1);
  std::printf("# load average over the last minute: %.2f\n", load[0]);
  Quiet({"/usr/bin/wineserver", "-k"});
  fs::remove_all(bin, ignored);
  EndHelpers();
  return failed == 0 ? 0 : 1;
}
