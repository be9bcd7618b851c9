"""Installs the release with its installer (silently) in a fresh Wine prefix,
runs the installed saver full screen on Xvfb for a while, keeps a screenshot,
the log and the music in build/run/, then ends it as a user would."""
import argparse
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from zvaudio import loud_seconds  # noqa: E402
from zvharness import Session  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--seconds", type=float, default=8.0, help="how long the saver runs")
parser.add_argument("--bundle", help="an image bundle of your own in place of the release's")
parser.add_argument("--dist", default=os.path.join(os.path.dirname(__file__), "..", "dist"),
                    help="the release folder (scripts/package.sh makes it)")
args = parser.parse_args()
setup = os.path.join(args.dist, "ZelvoraSetup.exe")
if not os.path.exists(setup):
    sys.exit("no installer at %s: run scripts/package.sh first" % os.path.abspath(setup))

out = os.path.join(os.path.dirname(__file__), "..", "build", "run")
os.makedirs(out, exist_ok=True)
with Session() as s:
    shutil.copy2(setup, s.c_path(r"C:\ZelvoraSetup.exe"))
    if s.run(s.c_path(r"C:\ZelvoraSetup.exe"), "/S", timeout=300) != 0:
        sys.exit("the installer failed")
    folder = r"C:\Program Files\Zelvora"
    if args.bundle:
        shutil.copy2(args.bundle, os.path.join(s.c_path(folder), "images.bdl"))
    # Xvfb offers one display mode: run in the desktop's own.
    s.reg_add("HKCU\\Software\\PelkSoft\\PelkSaver\\Zelvora", "DispModeWidth", "0", "REG_SZ")
    # What the saver plays goes to a null sink; the recording is kept.
    s.pulse.start_recording(os.path.join(out, "music.wav"))
    proc = s.start(folder + r"\ZelvoraPelk.scr", "/s")
    deadline = time.time() + args.seconds
    while time.time() < deadline and proc.poll() is None:
        time.sleep(0.5)
    shutil.copy2(s.screenshot("saver.png"), os.path.join(out, "saver.png"))
    if proc.poll() is None:
        s.key("Escape")
        try:
            proc.wait(timeout=30)
        except Exception:
            pass
    music = s.pulse.stop_recording()
    log = s.read_log() or "(no log)\n"
    with open(os.path.join(out, "OrbexLog.txt"), "w") as f:
        f.write(log)
    print(log)
    print("exit code:", proc.poll())
    print("music heard: %.1f s of %.1f s" % (loud_seconds(music), args.seconds))
    print("screenshot, log and music recording in", os.path.abspath(out))
