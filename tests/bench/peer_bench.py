"""Benchmark, not a test: our saver and the peer photo slideshow glslideshow
(Debian's xscreensaver-gl), one after the other on the same Xvfb display,
with the same photographs, for the same time. Frames are counted from
outside by a small DAMAGE-extension client on the root window
(damage_counter.c, compiled here with the system cc), so both programs are
counted alike; CPU comes from /proc. Prints per program: presented frames
per second, the intervals between frames (median, p95, p99, longest), CPU
seconds per second, CPU ms per frame, and the ratios ours / peer.

    ZV_BUILD_DIR=build/win64 /usr/bin/python3 tests/bench/peer_bench.py
    ZV_BUILD_DIR=build/win64 /usr/bin/python3 tests/bench/peer_bench.py --size 1920x1080
    ... --photos DIR (a folder of JPEGs) --seconds 40 --warmup 5

Without --photos both show the demo bundle's photographs (build/demo/images.bdl,
extracted for the peer with zvbundle). Needs scripts/setup.sh's benchmark
packages (xscreensaver-gl, xscreensaver-data, libxdamage-dev, libxfixes-dev).
"""
import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from zvharness import BUILD_DIR, DEMO_BUNDLE, PRODUCT_KEY, Session, wait_until  # noqa: E402

ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
HKCU = "HKCU\\" + PRODUCT_KEY
TITLE = "Zelvora: Quorrin"
PEER_DIR = "/usr/libexec/xscreensaver"
PEER = os.path.join(PEER_DIR, "glslideshow")
# The peer's options matching ours (ImageDelay 4, 4 s fades).
PEER_ARGS = ["-root", "-duration", "8", "-pan", "8", "-fade", "4"]
TICKS = os.sysconf("SC_CLK_TCK")


def monotonic():
    return time.clock_gettime(time.CLOCK_MONOTONIC)


def find_zvbundle():
    candidates = [os.environ.get("ZVBUNDLE", ""),
                  os.path.join(BUILD_DIR, "host-tools", "tools", "zvbundle"),
                  os.path.join(ROOT, "build", "win64", "host-tools", "tools", "zvbundle"),
                  os.path.join(ROOT, "build", "native", "tools", "zvbundle"),
                  os.path.join(os.path.dirname(BUILD_DIR), "native", "tools", "zvbundle")]
    for path in candidates:
        if path and os.access(path, os.X_OK):
            return path
    sys.exit("peer_bench: no native zvbundle built (looked in %s)" % ", ".join(candidates[1:]))


def demo_bundle():
    # A build folder given by ZV_BUILD_DIR has the demo bundle beside it.
    for path in (DEMO_BUNDLE, os.path.join(os.path.dirname(BUILD_DIR), "demo", "images.bdl")):
        if os.path.isfile(path):
            return path
    sys.exit("peer_bench: no demo bundle at %s (set ZV_DEMO_BUNDLE or give --photos)" % DEMO_BUNDLE)


def compile_counter(out_dir):
    exe = os.path.join(out_dir, "damage_counter")
    subprocess.run(["cc", "-O2", "-o", exe, os.path.join(HERE, "damage_counter.c"),
                    "-lXdamage", "-lXfixes", "-lX11"], check=True)
    return exe


def prepare_photos(args, work, zvbundle):
    """(folder of JPEGs for the peer, bundle for our saver, how many photographs)."""
    folder = os.path.join(work, "photos")
    if args.photos is None:
        extracted = os.path.join(work, "demo")
        bundle = demo_bundle()
        subprocess.run([zvbundle, "extract", bundle, extracted], check=True,
                       stdout=subprocess.DEVNULL)
        os.rename(os.path.join(extracted, "image"), folder)
    else:
        os.makedirs(folder)
        for path in sorted(glob.glob(os.path.join(args.photos, "*"))):
            if os.path.splitext(path)[1].lower() in (".jpg", ".jpeg"):
                shutil.copy2(path, folder)
        bundle = os.path.join(work, "images.bdl")
        names = sorted(os.listdir(folder))
        if not names:
            sys.exit("peer_bench: no JPEG in %s" % args.photos)
        # The saver opens a bundle only with its image, dims and caps categories.
        lines = ["@category\timage"]
        lines += ["image\t%s\t%s" % (n, os.path.join(folder, n)) for n in names]
        lines += ["@category\tdims"] + ["@dims\t%s" % n for n in names]
        lines += ["@category\tcaps"]
        manifest = os.path.join(work, "images.manifest")
        with open(manifest, "w") as f:
            f.write("\n".join(lines) + "\n")
        subprocess.run([zvbundle, "pack", bundle, "--manifest", manifest], check=True,
                       stdout=subprocess.DEVNULL)
    return folder, bundle, len(os.listdir(folder))


# --- CPU from /proc ----------------------------------------------------------
def stat_fields(pid):
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()


def own_and_reaped(pid):
    """utime + stime + cutime + cstime of a process, in seconds (0 once it is gone)."""
    try:
        fields = stat_fields(pid)
    except OSError:
        return 0.0
    return sum(int(fields[i]) for i in (11, 12, 13, 14)) / TICKS


def descendants(pid):
    children = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            children.setdefault(int(stat_fields(int(entry))[1]), []).append(int(entry))
        except OSError:
            continue
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def cpu_of(pids):
    """CPU seconds of processes with their reaped children and, so that a child
    that ends during the run counts only its time within it, their live ones."""
    total = 0.0
    for pid in pids:
        total += own_and_reaped(pid)
        total += sum(own_and_reaped(child) for child in descendants(pid))
    return total


# --- frames ------------------------------------------------------------------
class Counter:
    """The damage counter running on the session's display for the whole benchmark."""

    def __init__(self, exe, env, work):
        self.path = os.path.join(work, "damage.txt")
        self.out = open(self.path, "w")
        self.proc = subprocess.Popen([exe], env=env, stdout=self.out, stderr=subprocess.PIPE,
                                     start_new_session=True)
        if not wait_until(lambda: self.lines()[:1] == ["ready"] or self.proc.poll() is not None,
                          30, 0.05) or self.proc.poll() is not None:
            sys.exit("peer_bench: damage counter did not start: %s"
                     % self.proc.stderr.read().decode(errors="replace"))

    def lines(self):
        with open(self.path) as f:
            return f.read().split("\n")[:-1]  # only complete lines

    def times(self):
        return [float(line.split()[0]) for line in self.lines()[1:]]

    def first_after(self, t, timeout):
        """Time of the first damage event after `t` (None if none comes in time)."""
        found = wait_until(lambda: [x for x in self.times() if x > t], timeout, 0.05)
        return found[0] if found else None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=10)
        self.out.close()


def percentile(sorted_values, q):
    if not sorted_values:
        return float("nan")
    rank = max(1, int(-(-q * len(sorted_values) // 100)))  # nearest rank
    return sorted_values[min(rank, len(sorted_values)) - 1]


def frame_figures(times, t0, t1, merge_ms):
    """Frames presented in [t0, t1]: events closer than merge_ms to the previous
    one belong to the same frame."""
    frames = []
    for t in times:
        if t0 <= t <= t1 and (not frames or (t - frames[-1]) * 1000.0 >= merge_ms):
            frames.append(t)
    gaps = sorted((b - a) * 1000.0 for a, b in zip(frames, frames[1:]))
    events = sum(1 for t in times if t0 <= t <= t1)
    return {"frames": len(frames), "events": events, "fps": len(frames) / (t1 - t0),
            "median": percentile(gaps, 50), "p95": percentile(gaps, 95),
            "p99": percentile(gaps, 99), "longest": gaps[-1] if gaps else float("nan")}


def measure(name, counter, started, pids_of, seconds, warmup, xvfb_pid, side_pids_of=list):
    """Waits for the program's first frame after `started` and `warmup` seconds
    more, then measures for `seconds`: (start, end, pids, CPU s of the program,
    of Xvfb, of the side processes)."""
    first = counter.first_after(started, 90)
    if first is None:
        raise RuntimeError("%s drew nothing within 90 s" % name)
    time.sleep(max(0.0, first + warmup - monotonic()))
    pids = pids_of()
    if not pids:
        raise RuntimeError("%s: no process found" % name)
    side = side_pids_of()
    cpu0, x0, s0, t0 = cpu_of(pids), own_and_reaped(xvfb_pid), cpu_of(side), monotonic()
    time.sleep(seconds)
    cpu1, x1, s1, t1 = cpu_of(pids), own_and_reaped(xvfb_pid), cpu_of(side), monotonic()
    if not pids_of():
        raise RuntimeError("%s ended during the run" % name)
    return t0, t1, pids, cpu1 - cpu0, x1 - x0, s1 - s0


def run_ours(s, counter, bundle, args):
    folder = s.install(bundle=bundle)
    s.set_desktop_mode()
    s.reg_add(HKCU, "ImageDelay", "4", "REG_SZ")
    s.reg_add(HKCU, "Crossfade", 1)
    s.reg_add(HKCU, "Animate", 1)
    s.reg_add(HKCU, "PlayMusic", 0)
    started = monotonic()
    proc = s.start(folder + r"\ZelvoraPelk.scr", "/s")
    try:
        window = s.wait_for_window(TITLE, timeout=90)
        if window is None:
            raise RuntimeError("our saver showed no window within 90 s")
        # The wine server works for the saver too; shown apart, not counted.
        t0, t1, pids, cpu, xcpu, server_cpu = measure(
            "our saver", counter, started, lambda: s.processes("ZelvoraPelk.scr"), args.seconds,
            args.warmup, s.xvfb.pid, lambda: s.processes("wineserver"))
        servers = s.processes("wineserver")
        s.key("Escape", window=window)
        proc.wait(timeout=60)
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(timeout=30)
    how = ("the saver's Windows process as zvharness Session.processes('ZelvoraPelk.scr') "
           "finds it (pid %s), own + reaped children + live descendants"
           % ", ".join(str(p) for p in pids))
    log_lines = [line.split("|")[-1].strip() for line in (s.read_log() or "").splitlines()
                 if "Frame times:" in line or "Longest frame" in line]
    # The saver's own count, over its whole run, start-up included.
    avg = s.reg_query(HKCU, "AvgFps")
    if avg is not None:
        log_lines.append("AvgFps stored by the saver (whole run): %s" % avg[1])
    return t0, t1, cpu, xcpu, how, log_lines, (server_cpu, servers)


def run_peer(s, counter, photos, args, work):
    home = os.path.join(work, "peer-home")
    os.makedirs(home)
    with open(os.path.join(home, ".xscreensaver"), "w") as f:
        f.write("grabDesktopImages: False\ngrabVideoFrames: False\nchooseRandomImages: True\n"
                "imageDirectory: %s\n" % photos)
    env = dict(s.env)
    env["HOME"] = home
    env["PATH"] = PEER_DIR + os.pathsep + env.get("PATH", "")
    env["LP_NUM_THREADS"] = "1"
    started = monotonic()
    proc = subprocess.Popen([PEER] + PEER_ARGS, env=env, cwd=home, stdout=subprocess.DEVNULL,
                            stderr=open(os.path.join(work, "peer.err"), "w"),
                            start_new_session=True)
    try:
        t0, t1, pids, cpu, xcpu, _ = measure(
            "glslideshow", counter, started, lambda: [proc.pid] if proc.poll() is None else [],
            args.seconds, args.warmup, s.xvfb.pid)
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGTERM)
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait(timeout=10)
    how = "the glslideshow process (pid %d), own + reaped children + live descendants" % proc.pid
    return t0, t1, cpu, xcpu, how


def report(name, figures, cpu, xcpu, seconds):
    f = figures
    cpu_per_s = cpu / seconds
    per_frame = cpu * 1000.0 / f["frames"] if f["frames"] else float("nan")
    print("%s:" % name)
    print("  presented frames/s %.2f (%d frames in %.1f s; %d damage events)"
          % (f["fps"], f["frames"], seconds, f["events"]))
    print("  interval between frames ms: median %.1f, p95 %.1f, p99 %.1f, longest %.1f"
          % (f["median"], f["p95"], f["p99"], f["longest"]))
    print("  CPU s per s %.3f; CPU ms per frame %.1f; Xvfb CPU s per s %.3f"
          % (cpu_per_s, per_frame, xcpu / seconds))
    return f["fps"], per_frame


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=40.0, help="measured time per program")
    parser.add_argument("--warmup", type=float, default=5.0,
                        help="seconds after the first drawn frame that do not count")
    parser.add_argument("--size", default="1024x768", help="Xvfb screen, WIDTHxHEIGHT")
    parser.add_argument("--photos", help="a folder of JPEGs (default: the demo bundle's)")
    parser.add_argument("--merge-ms", type=float, default=2.0,
                        help="damage events closer than this count as one frame")
    parser.add_argument("--keep", action="store_true",
                        help="keep the work folder (damage events, peer's stderr) and name it")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.lower().split("x"))
    if not os.access(PEER, os.X_OK):
        sys.exit("peer_bench: %s missing (scripts/setup.sh installs xscreensaver-gl)" % PEER)

    work = tempfile.mkdtemp(prefix="zv-peer-bench-")
    try:
        zvbundle = find_zvbundle()
        exe = compile_counter(work)
        photos, bundle, count = prepare_photos(args, work, zvbundle)
        with open("/proc/loadavg") as f:
            load = " ".join(f.read().split()[:3])
        print("display %dx%d, %d photographs, %.0f s measured after %.0f s start-up each, "
              "LP_NUM_THREADS=1; load average before: %s"
              % (width, height, count, args.seconds, args.warmup, load))
        with Session(width, height, audio=False) as s:
            counter = Counter(exe, s.env, work)
            try:
                ours = run_ours(s, counter, bundle, args)
                peer = run_peer(s, counter, photos, args, work)
                times = counter.times()
            finally:
                counter.stop()
        ot0, ot1, ocpu, oxcpu, ohow, olog, oserver = ours
        pt0, pt1, pcpu, pxcpu, phow = peer
        print("ours: ImageDelay 4, Crossfade 1, Animate 1, PlayMusic 0; CPU of %s" % ohow)
        ofps, oper = report("ours", frame_figures(times, ot0, ot1, args.merge_ms), ocpu, oxcpu,
                            ot1 - ot0)
        server_cpu, servers = oserver
        if servers:
            print("  wineserver (pid %s), not counted above: CPU s per s %.3f"
                  % (", ".join(map(str, servers)), server_cpu / (ot1 - ot0)))
        for line in olog:
            print("  saver's own: %s" % line)
        print("peer: glslideshow %s; CPU of %s" % (" ".join(PEER_ARGS), phow))
        pfps, pper = report("peer", frame_figures(times, pt0, pt1, args.merge_ms), pcpu, pxcpu,
                            pt1 - pt0)
        print("ours / peer: CPU per frame %.2f, frames per second %.2f" % (oper / pper, ofps / pfps))
    finally:
        if args.keep:
            print("kept", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
