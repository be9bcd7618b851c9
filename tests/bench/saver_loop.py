"""Benchmark, not a test: runs the built saver full screen under Wine on Xvfb
for a while and reports its average frame rate (as the saver itself stores
it in AvgFps) and the CPU time its process used per second of running, then
the run's own timings from its log: the frame times (median, tail, near a
photograph change), the photographs that came late, the longest frame
while photographs show, the fast-mode effects (target 1.5 s each) and the
caption rendering time per photograph.

    ZV_BUILD_DIR=build/win64 /usr/bin/python3 tests/bench/saver_loop.py --seconds 20
"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from zvharness import PRODUCT_KEY, Session  # noqa: E402


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime


parser = argparse.ArgumentParser()
parser.add_argument("--seconds", type=float, default=20.0)
parser.add_argument("--fast-mode", action="store_true")
parser.add_argument("--captions", action="store_true")
parser.add_argument("--image-delay", type=float, default=4.0, help="seconds per photograph")
args = parser.parse_args()

with Session() as s:
    folder = s.install()
    s.set_desktop_mode()
    s.reg_add("HKCU\\" + PRODUCT_KEY, "ImageDelay", str(args.image_delay), "REG_SZ")
    if args.fast_mode:
        s.reg_add("HKCU\\" + PRODUCT_KEY, "FastMode", 1)
    if args.captions:
        s.reg_add("HKCU\\" + PRODUCT_KEY, "ShowCaptions", 1)
    proc = s.start(folder + r"\ZelvoraPelk.scr", "/s")
    window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
    if window is None:
        sys.exit("the saver did not start")
    time.sleep(2)  # past start-up
    cpu0, t0 = cpu_seconds(proc.pid), time.time()
    time.sleep(args.seconds)
    cpu1, t1 = cpu_seconds(proc.pid), time.time()
    s.key("Escape", window=window)
    proc.wait(timeout=60)
    fps = s.reg_query("HKCU\\" + PRODUCT_KEY, "AvgFps")
    print("average frames per second: %s" % (fps[1] if fps else "?"))
    print("CPU seconds per second of running: %.3f" % ((cpu1 - cpu0) / (t1 - t0)))
    for line in (s.read_log() or "").splitlines():
        if any(key in line for key in ("Frame times", "Photograph changes", "late by", "Longest frame",
                                       "Fast-mode effects",
                                       "Captions rendered")):
            print(line.split("|")[-1].strip())
