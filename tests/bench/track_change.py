"""Benchmark, not a test: what a track change costs the saver's main thread
under Wine, whatever the size of the file it opens. The user's list holds a
4 MB and a 400 MB WAV file; Right moves between them, and the saver's own
log says how long each change took. Reported against the small file and
against the run's median frame, both measured in the same run.

    ZV_BUILD_DIR=build/win64 /usr/bin/python3 tests/bench/track_change.py --presses 20
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from test_music import MusicSession  # noqa: E402
from zvharness import wait_until  # noqa: E402

BYTES_PER_SECOND = 44100 * 2 * 2


def wav(path, megabytes):
    seconds = megabytes * 1024 * 1024 / BYTES_PER_SECOND
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", "%.1f" % seconds,
                    "sine", "440", "vol", "0.3"], check=True)


parser = argparse.ArgumentParser()
parser.add_argument("--presses", type=int, default=20)
args = parser.parse_args()

with MusicSession() as s:
    music = s.c_path(r"C:\Music")
    os.makedirs(music)
    wav(os.path.join(music, "small.wav"), 4)
    wav(os.path.join(music, "large.wav"), 400)
    s.write_playlist([r"C:\Music\small.wav", r"C:\Music\large.wav"])
    proc, window = s.start_music(CustomMusic=1, DefaultMusic=0)
    if window is None or not wait_until(lambda: len(s.started_tracks()) >= 1, 60):
        sys.exit("the music did not start")
    for _ in range(args.presses):
        seen = len(s.started_tracks())
        s.key("Right", window=window)
        if not wait_until(lambda: len(s.started_tracks()) > seen, 60):
            sys.exit("no track started after Right")
        time.sleep(0.3)  # a moment of playing before the next change
    s.quit(proc, window)
    log = s.read_log() or ""

changes = [float(ms) for ms in re.findall(r"Track change took ([\d.]+) ms", log)]
frame = re.search(r"Frame times: \d+ frames, median ([\d.]+) ms", log)
if len(changes) != args.presses or frame is None:
    sys.exit("the log lacks the timings:\n" + log)
# The list starts on the small file, so every odd change opens the large one.
large, small = changes[0::2], changes[1::2]
median_frame = float(frame.group(1))
for name, times in (("400 MB", large), ("4 MB", small)):
    print("opening the %s file: median %.2f ms, longest %.2f ms over %d changes" %
          (name, statistics.median(times), max(times), len(times)))
print("median frame of the run: %.1f ms" % median_frame)
print("400 MB against 4 MB (medians): %.2f" % (statistics.median(large) / statistics.median(small)))
print("longest change against the median frame: %.2f" % (max(changes) / median_frame))
