#!/usr/bin/env python3
"""Figures of the Windows programs under Wine, measured from Linux.

  bench/wine_figures.py [--runs N]   (11 start-ups of each, 11 downloads)

Runs the programs of build-windows/ (NUVARO_WIN_BUILD_DIR) in a Wine prefix
of its own (WINEPREFIX, else a new one under /tmp) whose wineserver is kept
running (`wineserver -p`) and warmed up by a first run of each program, so that
neither the wineserver nor Wine's own start-up services are in the figures:
each figure is the rusage (wait4) of the one Linux process that `wine
program.exe` becomes, which runs the Windows program and nothing else.

- start-up: the panel (panel_once.exe, the nuvaro executable's start-up,
  quitting once painted) against the bare Qt window (bare_panel.exe --once),
  taking turns, with Qt's windows platform on a display of their own (Xvfb;
  under Wine the panel never paints on the offscreen platform): medians of
  CPU time and peak memory, and their ratios (goal: CPU <= 1.3 times);
- nuvaroctl.exe's fixed-rate download over COM5, which the prefix maps to
  the pseudo-terminal of the Linux nuvaro-devsim (NUVARO_BUILD_DIR): median
  wall time against the floor: 620 ms of waits plus 18.5 ms of line time at
  38400 baud (bench_cli's figures on Linux), plus what Wine takes to start
  and end the same program when it only prints its version (goal: within
  1.05 times of that sum);
- the installer's size and the installed size (the zip's contents).

The programs are measured stripped, as they are installed: Wine reads a
mingw executable's sections into memory rather than mapping them, so the
debug information of a RelWithDebInfo build would count as the program's
CPU and memory.
"""
import atexit, os, shlex, shutil, statistics, subprocess, sys, tempfile, time, zipfile

src = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
win = os.path.abspath(os.environ.get("NUVARO_WIN_BUILD_DIR", os.path.join(src, "build-windows")))
lin = os.path.abspath(os.environ.get("NUVARO_BUILD_DIR", os.path.join(src, "build")))
runs = int(sys.argv[2]) if len(sys.argv) > 2 and sys.argv[1] == "--runs" else 11

cache = open(os.path.join(win, "CMakeCache.txt")).read()
def cached(name):
    for line in cache.splitlines():
        if line.startswith(name + ":"):
            return line.split("=", 1)[1]
    return ""
qt = cached("NUVARO_QT_MINGW_PREFIX")
version = cached("CMAKE_PROJECT_VERSION")

env = dict(os.environ)
env.setdefault("WINEPREFIX", tempfile.mkdtemp(prefix="nuvaro-wine-bench."))
env["WINEDEBUG"] = "-all"
env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
env["WINEPATH"] = "Z:" + qt + "/bin"
env["QT_QPA_PLATFORM"] = "windows"
display = 95
while os.path.exists(f"/tmp/.X11-unix/X{display}") or os.path.exists(f"/tmp/.X{display}-lock"):
    display += 1
xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
atexit.register(xvfb.terminate)  # also when a run fails
env["DISPLAY"] = f":{display}"
time.sleep(1)

def run(args, **kw):
    """Runs `args`; returns (status, wall s, cpu s, peak MiB) of that process."""
    start = time.monotonic()
    p = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
    _, status, usage = os.wait4(p.pid, 0)
    wall = time.monotonic() - start
    return (os.waitstatus_to_exitcode(status), wall, usage.ru_utime + usage.ru_stime,
            usage.ru_maxrss / 1024.0)

# Stripped copies, with the panel file beside them.
bin_dir = tempfile.mkdtemp(prefix="nuvaro-wine-bin.")
for name in ("panel_once.exe", "bare_panel.exe", "nuvaroctl.exe", "nuvaro.uir"):
    shutil.copy(os.path.join(win, "bin", name), bin_dir)
    if name.endswith(".exe"):
        subprocess.run(["x86_64-w64-mingw32-strip", os.path.join(bin_dir, name)], check=True)

subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
subprocess.run(["wineserver", "-p"], env=env)
panel = ["wine", os.path.join(bin_dir, "panel_once.exe")]
# Under Wine bare_panel does not see QT_QPA_PLATFORM and would take offscreen:
# its platform is named on its command line.
bare = ["wine", os.path.join(bin_dir, "bare_panel.exe"), "--once", "-platform", "windows"]
for args in (panel, bare, panel, bare):  # warm: the wineserver, its services, the file cache
    run(args)

cpu = {0: [], 1: []}
peak = {0: [], 1: []}
for i in range(runs):
    for k in range(2):
        which = (i + k) % 2
        status, wall, c, m = run(panel if which == 0 else bare)
        if status != 0:
            sys.exit(f"{'panel' if which == 0 else 'bare_panel'} failed (status {status})")
        cpu[which].append(c * 1000)
        peak[which].append(m)
med = statistics.median
print(f"# under Wine {subprocess.run(['wine', '--version'], capture_output=True, text=True).stdout.strip()},"
      f" warm wineserver -p, median of {runs} runs each, windows platform on Xvfb")
print(f"{'':12} {'cpu_ms':>10} {'peak_rss_mib':>13}")
print(f"{'nuvaro':12} {med(cpu[0]):10.1f} {med(peak[0]):13.1f}")
print(f"{'bare_panel':12} {med(cpu[1]):10.1f} {med(peak[1]):13.1f}")
print(f"{'ratio':12} {med(cpu[0]) / med(cpu[1]):10.2f} {med(peak[0]) / med(peak[1]):13.2f}   (goal: cpu <= 1.30)")

# nuvaroctl.exe's fixed download over COM5 to nuvaro-devsim.
devsim = subprocess.Popen([os.path.join(lin, "bin", "nuvaro-devsim"), "--quiet"],
                          stdout=subprocess.PIPE, text=True)
pty = devsim.stdout.readline().strip()
com5 = os.path.join(env["WINEPREFIX"], "dosdevices", "com5")
if os.path.lexists(com5):
    os.remove(com5)
os.symlink(pty, com5)
# The fixed-rate download example the man page shows.
with open(os.path.join(src, "cli", "download-examples.txt")) as examples:
    fixed = next(line for line in examples if line.startswith("download fixed "))
ctl = ["wine", os.path.join(bin_dir, "nuvaroctl.exe"), "--port", "COM5"] + shlex.split(fixed)
run(ctl)
walls, cpus, failed = [], [], 0
for _ in range(runs):
    status, wall, c, _ = run(ctl)
    failed += status != 0
    walls.append(wall * 1000)
    cpus.append(c * 1000)
devsim.terminate()
devsim.wait()
# What Wine itself takes to start and end the same program, its Qt DLLs
# loaded, when it does nothing on the line: the download's floor under Wine
# is the protocol's floor plus this.
starts = [run(["wine", os.path.join(bin_dir, "nuvaroctl.exe"), "--version"])[1] * 1000
          for _ in range(runs)]
floor = 620 + 18.5
print(f"# nuvaroctl.exe download fixed over COM5 (nuvaro-devsim's pty), whole process, {runs} runs")
print(f"median {med(walls):.1f} ms ({min(walls):.1f} to {max(walls):.1f}; cpu {med(cpus):.1f} ms),"
      f" floor {floor:.1f} ms: ratio {med(walls) / floor:.3f}; runs not fully acknowledged: {failed}")
print(f"Wine's start and end of nuvaroctl.exe --version: median {med(starts):.1f} ms;"
      f" against the floor plus that start: ratio {med(walls) / (floor + med(starts)):.3f} (goal <= 1.05)")

installer = os.path.join(win, f"nuvaro-{version}-win64.exe")
archive = os.path.join(win, f"nuvaro-{version}-win64.zip")
if os.path.exists(installer) and os.path.exists(archive):
    installed = sum(i.file_size for i in zipfile.ZipFile(archive).infolist())
    print(f"# installer {os.path.getsize(installer) / 2**20:.1f} MiB; installed {installed / 2**20:.1f} MiB"
          f" (+ the uninstaller); zip {os.path.getsize(archive) / 2**20:.1f} MiB")
print(f"# load average over the last minute: {os.getloadavg()[0]:.2f}")
subprocess.run(["wineserver", "-k"], env=env)
shutil.rmtree(bin_dir)
