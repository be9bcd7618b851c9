"""Benchmark, not a test: runs the built saver full screen under Wine on Xvfb
for a while and reports its average frame rate (as the saver itself stores
it in AvgFps) and the CPU time its process used per second of running, then
the run's own timings from its log: the frame times (median, tail, near a
photograph change), the photographs that came late, the longest frame
while photographs show, the fast-mode effects (target 1.5 s each) and the
caption rendering time per photograph, and the process's peak resident
memory (the kernel's high-water mark, which counts the pages of mapped files
it touched as well as its own).

    ZV_BUILD_DIR=build/win64 /usr/bin/python3 tests/bench/saver_loop.py --seconds 20 \
        [--size 1920x1080] [--bundle images.bdl | --large 12000x8000 [--progressive]] \
        [--set CramImages=0]
"""
import argparse
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from zvharness import PRODUCT_KEY, Session  # noqa: E402
from test_large_photos import make_jpeg, pack  # noqa: E402


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime


def peak_resident_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


parser = argparse.ArgumentParser()
parser.add_argument("--seconds", type=float, default=20.0)
parser.add_argument("--fast-mode", action="store_true")
parser.add_argument("--captions", action="store_true")
parser.add_argument("--image-delay", type=float, default=4.0, help="seconds per photograph")
parser.add_argument("--bundle", help="images.bdl to show instead of the demo bundle")
parser.add_argument("--set", action="append", default=[], metavar="NAME=NUMBER",
                    help="a DWORD setting of the product key, e.g. CramImages=0")
parser.add_argument("--size", default="1024x768", help="the screen, WxH")
parser.add_argument("--large", metavar="WxH", help="show three JPEGs of this size, made now")
parser.add_argument("--progressive", action="store_true", help="the --large JPEGs progressive")
args = parser.parse_args()

made = None
if args.large:
    made = tempfile.mkdtemp(prefix="zv-bench-")
    names = ["large-%d.jpg" % i for i in range(3)]
    for i, name in enumerate(names):
        # Each one different, so no decoder or cache can reuse another's work.
        make_jpeg(os.path.join(made, name), args.large, "-modulate", "100,100,%d" % (100 + 7 * i),
                  *(["-interlace", "Plane"] if args.progressive else []))
    args.bundle = pack(made, names)

width, height = (int(n) for n in args.size.split("x"))
with Session(width=width, height=height) as s:
    folder = s.install(bundle=args.bundle) if args.bundle else s.install()
    s.set_desktop_mode()
    s.reg_add("HKCU\\" + PRODUCT_KEY, "ImageDelay", str(args.image_delay), "REG_SZ")
    if args.fast_mode:
        s.reg_add("HKCU\\" + PRODUCT_KEY, "FastMode", 1)
    if args.captions:
        s.reg_add("HKCU\\" + PRODUCT_KEY, "ShowCaptions", 1)
    for setting in args.set:
        name, value = setting.split("=", 1)
        s.reg_add("HKCU\\" + PRODUCT_KEY, name, int(value))
    proc = s.start(folder + r"\ZelvoraPelk.scr", "/s")
    window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
    if window is None:
        sys.exit("the saver did not start")
    time.sleep(2)  # past start-up
    cpu0, t0 = cpu_seconds(proc.pid), time.time()
    time.sleep(args.seconds)
    cpu1, t1 = cpu_seconds(proc.pid), time.time()
    peak = peak_resident_mb(proc.pid)
    s.key("Escape", window=window)
    proc.wait(timeout=60)
    fps = s.reg_query("HKCU\\" + PRODUCT_KEY, "AvgFps")
    print("average frames per second: %s" % (fps[1] if fps else "?"))
    print("CPU seconds per second of running: %.3f" % ((cpu1 - cpu0) / (t1 - t0)))
    print("peak resident memory: %.0f MB" % peak)
    for line in (s.read_log() or "").splitlines():
        if any(key in line for key in ("Frame times", "Photograph changes", "late by", "Longest frame",
                                       "Fast-mode effects",
                                       "Captions rendered")):
            print(line.split("|")[-1].strip())

if made is not None:
    shutil.rmtree(made, ignore_errors=True)
