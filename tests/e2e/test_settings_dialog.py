"""The settings dialog under Wine on Xvfb: the skinned, shaped window, its
toggles and sliders, OK and Cancel against the registry, the display-mode
list, the wallpaper question, the fast-mode note, the speed-up tips, F1 and
the help file, and a program whose skin is missing."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import zvimage
from zvimage import changed_share
from zvharness import BUILD_DIR, DESKTOP_COLOUR, PRODUCT_KEY, Session, wait_exit, wait_until

HKCU = "HKCU\\" + PRODUCT_KEY
FOLDER = r"C:\Zelvora"
SCR = FOLDER + r"\ZelvoraPelk.scr"
TITLE = "Zelvora: Quorrin  v 1.071"
STRETCH = r"Stretch Wallpaper\?"  # window titles are matched as patterns
PROGRAMS = ("ZelvoraPelk.scr", "list_box_items.exe", "display_modes.exe", "post_message.exe")
SHOT_DIR = os.path.join(BUILD_DIR, "Testing", "settings-shots")
ZVBUNDLE = os.path.join(BUILD_DIR, "host-tools", "tools", "zvbundle")

# Places on the 640 x 458 skin (dialog coordinates).
OK = (507, 403)
CANCEL = (439, 420)
HELP = (201, 420)
DELAY_LABEL = (42, 17, 477, 245)  # w, h, x, y
DELAY_Y = 253
DELAY_LEFT, DELAY_RIGHT = 367, 475
MODE_LIST = (522, 275)
TOGGLES = {  # name: the toggle's check image, 20 x 15 at its right edge
    "SetAsWallpaper": (499, 274), "RandomOrder": (499, 294), "Animate": (499, 314),
    "Crossfade": (499, 334), "HighestDetail": (499, 354), "PlayMusic": (485, 94),
    "FastMode": (96, 304),
}


def check_crop(name):
    x, y = TOGGLES[name]
    return "20x15+%d+%d" % (x, y)


def pixel(path, x, y):
    return tuple(int(v) for v in zvimage.pixels(path)[y, x])


def crop(path, rect, out):
    w, h, x, y = rect
    subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", out], check=True,
                   timeout=60)
    return out


def sample_until(take, done, timeout=30, interval=0.2):
    """Takes samples (screenshots, control texts) with `take()` until
    `done(sample)` holds or `timeout` s have passed; gives the last one, so
    the caller asserts on what was seen last."""
    last = [None]

    def attempt():
        last[0] = take()
        return done(last[0])

    wait_until(attempt, timeout, interval)
    return last[0]


def still(take, timeout=30):
    """An image once two taken in a row are alike: what it shows has
    settled. `take(turn)` gives the image of a turn (its files must differ
    from the last turn's). The last one if it never settles."""
    previous = [None]
    turns = iter(range(1 << 30))

    def settled(path):
        same = previous[0] is not None and changed_share(previous[0], path) == 0
        previous[0] = path
        return same

    return sample_until(lambda: take(next(turns)), settled, timeout)


def help_file(folder):
    """A small Orbex.CHM compiled with chmcmd, its context 1 a page of its own."""
    project = os.path.join(folder, "help.hhp")
    with open(os.path.join(folder, "settings.htm"), "w") as f:
        f.write("<html><head><title>Settings</title></head><body><p>Settings</p></body></html>\n")
    with open(project, "w") as f:
        f.write("[OPTIONS]\nCompiled file=Orbex.CHM\nDefault topic=settings.htm\n"
                "Title=Zelvora Help Test\n\n[FILES]\nsettings.htm\n\n"
                "[ALIAS]\nIDH_SETTINGS=settings.htm\n\n[MAP]\n#define IDH_SETTINGS 1\n")
    subprocess.run(["chmcmd", project], cwd=folder, check=True, capture_output=True, timeout=120)
    return os.path.join(folder, "Orbex.CHM")


class DialogSession(Session):
    def __init__(self, audio=False):
        super().__init__(audio=audio)

    def open(self, **settings):
        """Starts /c with the given settings in the registry; returns the
        process and the dialog's screen corner, or (process, None)."""
        self.install(programs=PROGRAMS)
        self.reg_add(HKCU, "DebugLog", 1)
        self.reg_add(HKCU, "ShowSpeedTip", 0)
        for name, value in settings.items():
            kind = "REG_SZ" if isinstance(value, str) else "REG_DWORD"
            self.reg_add(HKCU, name, value, kind)
        self.proc = self.start(self.c_path(SCR), "/c")
        return self.proc, self.wait_dialog()

    def wait_dialog(self):
        """The dialog's screen corner once it is shown, in its place and
        painted, so that clicks land and screenshots show it; None without it."""
        self.window = self.wait_for_window(TITLE, timeout=60)
        if self.window is None:
            return None

        def painted(shown, w, h):
            if (w, h) == (640, 458):  # the skin: its delay label shows once it is painted
                return self.lit_fraction(shown, level=0.6, crop="42x17+477+245") > 0.05
            return self.image_stats(shown)[1] > 0.02

        geometry = self.wait_drawn(self.window, "opening", painted)[1]
        self.origin = geometry[:2]
        return self.origin

    def wait_drawn(self, window, name, painted=None, timeout=60):
        """(screenshot, geometry) once `window` holds still in its place and
        on the screen, and shows more than a flat fill or, given
        `painted(window image, w, h)`, what that asks for. The last ones
        after `timeout` s."""
        last = {"geometry": None, "shown": None, "turn": 0}

        def ready(path):
            geometry = self.window_geometry(window)
            x, y, w, h = geometry
            shown = crop(path, (w, h, x, y), path + ".window.png")
            settled = geometry == last["geometry"] and changed_share(last["shown"], shown) == 0
            last.update(geometry=geometry, shown=shown)
            if not settled:
                return False
            return painted(shown, w, h) if painted else self.image_stats(shown)[1] > 0.02

        def take():
            last["turn"] += 1  # two files in turn: the last one is compared with this one
            return self.screenshot("%s-%d.png" % (name, last["turn"] % 2))

        path = sample_until(take, ready, timeout=timeout)
        return path, last["geometry"]

    def point_at(self, x, y, window):
        """Moves the pointer to a screen point; True once `window` is under
        it there, not a tooltip or other popup that a click would hit
        instead (a tooltip goes once the pointer has left its control, so
        a pointer that already rests on the point leaves it and comes back)."""

        def under():
            out = self.xdotool("getmouselocation", "--shell")
            return dict(line.split("=", 1) for line in out.splitlines() if "=" in line).get("WINDOW")

        for _ in range(3):
            self.xdotool("mousemove", "--sync", str(x), str(y))
            if wait_until(lambda: under() == str(window), 10, 0.1):
                return True
            self.xdotool("mousemove", "--sync", "0", "0")
        print("point_at: something else lies over (%d, %d)" % (x, y), file=sys.stderr)
        return False

    def click(self, point, button=1):
        """A click at a dialog point; the caller waits for what it does."""
        x, y = point
        self.point_at(self.origin[0] + x, self.origin[1] + y, self.window)
        self.xdotool("click", str(button))

    def drag(self, start, end):
        """Drags with the left button between dialog points; the caller waits
        for what it does. The short pauses let Wine see the press and each
        move as events of their own, as from a hand."""
        self.point_at(self.origin[0] + start[0], self.origin[1] + start[1], self.window)
        self.xdotool("mousedown", "1")
        time.sleep(0.2)
        for t in (0.25, 0.5, 0.75, 1.0):
            x = start[0] + (end[0] - start[0]) * t
            y = start[1] + (end[1] - start[1]) * t
            self.xdotool("mousemove", "--sync", str(int(self.origin[0] + x)), str(int(self.origin[1] + y)))
            time.sleep(0.15)
        self.xdotool("mouseup", "1")

    def shot(self, name):
        """A screenshot cut to the dialog, also kept in SHOT_DIR."""
        full = self.screenshot(name)
        path = crop(full, (640, 458) + self.origin, os.path.join(self.tmp, "dialog-" + name))
        os.makedirs(SHOT_DIR, exist_ok=True)
        shutil.copy2(path, os.path.join(SHOT_DIR, name))
        return path

    def keep_shot(self, path, name):
        os.makedirs(SHOT_DIR, exist_ok=True)
        shutil.copy2(path, os.path.join(SHOT_DIR, name))

    def wait_focus(self, window, timeout=30):
        """True once the X input focus is on `window`, so that keys typed as
        a user would (not sent to a window) reach it."""
        return wait_until(lambda: self.xdotool("getwindowfocus") == str(window), timeout, 0.2)

    def take_focus(self, window, timeout=30):
        """True once a window that has just come has the X input focus. Wine
        on a loaded machine now and then leaves it with the owner; after
        10 s it is given the focus (no window manager here would)."""
        if self.wait_focus(window, timeout=10):
            return True
        self.xdotool("windowfocus", str(window))
        return self.wait_focus(window, timeout)

    def type_keys(self, window, *keys):
        """Keys typed as a user would, once `window` has the focus (given it
        as take_focus does when Wine left it with the owner); True if it got
        it. Keys sent to a window itself can be delivered twice by Wine, and
        the second copy then reaches the window under it."""
        if not self.take_focus(window):
            return False
        for key in keys:
            self.key(key)
        return True

    def confirm(self, title, key="space", timeout=60):
        """Answers a question box with a key; True once it has gone. The
        owner is enabled again before the box goes, so a click may follow."""
        box = self.wait_for_window(title, timeout=timeout)
        if box is None:
            print("confirm: no %r box" % title, file=sys.stderr)
            return False
        if not self.take_focus(box):
            print("confirm: the %r box never got the focus" % title, file=sys.stderr)
            return False
        self.key(key)
        if not self.wait_until_gone(title, timeout=60):
            print("confirm: the %r box stayed after %r" % (title, key), file=sys.stderr)
            return False
        return True

    def finish(self, point):
        """Ends the dialog with a click; its exit code, None while it runs."""
        self.click(point)
        return wait_exit(self.proc, 60)

    def shot_until(self, name, done, timeout=30):
        """Dialog screenshots until `done(path)` holds; the last one."""
        return sample_until(lambda: self.shot(name), done, timeout)

    def helper(self, *args):
        """Runs one of the helper programs until it succeeds: Wine now and
        then fails to start one on a loaded machine. True once it did."""
        return wait_until(lambda: self.run(*args) == 0, 60, 0.5)

    def list_items(self):
        out = self.c_path(FOLDER + r"\items.txt")
        if not self.helper(FOLDER + r"\list_box_items.exe", FOLDER + r"\items.txt", TITLE, "1024"):
            return None, None
        with open(out, encoding="utf-8") as f:
            lines = f.read().splitlines()
        return lines[:-1], int(lines[-1].split("=")[1])

    def offered_modes(self):
        out = self.c_path(FOLDER + r"\modes.txt")
        self.helper(FOLDER + r"\display_modes.exe", FOLDER + r"\modes.txt")
        with open(out) as f:
            modes = {tuple(int(v) for v in line.split("x")) for line in f.read().split()}
        # What the dialog keeps: at least 640 x 480, 16 or more bits but not 24.
        kept = [m for m in modes if m[0] >= 640 and m[1] >= 480 and m[2] >= 16 and m[2] != 24]
        return ["%dx%dx%d" % m for m in sorted(kept, key=lambda m: (m[2], m[0], m[1]))]

    def values(self, names):
        return {name: self.reg_query(HKCU, name) for name in names}

    def close_windows(self, title, timeout=60):
        """Asks every window of that title to close until none is left; True then."""
        def gone():
            if not self.find_windows(title):
                return True
            self.run(FOLDER + r"\post_message.exe", title, "close")
            return self.wait_until_gone(title, timeout=10)
        return wait_until(gone, timeout, 0.5)


def toggle_change(before, after, name):
    """Mean grey-level change of a toggle's check image between two dialog screenshots."""
    rect = (20, 15) + TOGGLES[name]
    return Session.image_difference(crop(before, rect, before + name + ".png"),
                                    crop(after, rect, after + name + ".png"))


def label_change(before, after):
    """Share of the delay label's pixels that changed between two dialog screenshots."""
    return changed_share(crop(before, DELAY_LABEL, before + ".label.png"),
                         crop(after, DELAY_LABEL, after + ".label.png"))


class Appearance(unittest.TestCase):
    def test_the_dialog_is_skinned_shaped_and_centred(self):
        with DialogSession() as s:
            proc, origin = s.open()
            self.assertIsNotNone(origin, "no settings dialog")
            x, y, w, h = s.window_geometry(s.window)
            self.assertEqual((w, h), (640, 458))
            self.assertLessEqual(abs(x - (1024 - 640) // 2), 2)
            self.assertLessEqual(abs(y - (768 - 458) // 2), 2)
            full = s.screenshot("full.png")
            shot = s.shot("settings-dialog.png")
            desktop = tuple(int(DESKTOP_COLOUR[i:i + 2], 16) for i in (1, 3, 5))
            # The outline is the skin's: the rounded corner and the dip at the
            # top right show the desktop, the panel inside is the skin's.
            self.assertEqual(pixel(full, x + 1, y + 1), desktop)
            self.assertEqual(pixel(full, x + 600, y + 10), desktop)
            self.assertEqual(pixel(full, x + 320, y + 450), desktop)
            mean, sd = s.image_stats(shot, crop="300x200+10+200")
            self.assertLess(mean, 0.35)
            self.assertGreater(sd, 0.03)
            # The delay label is painted: light text on the dark skin.
            self.assertGreater(s.lit_fraction(shot, level=0.6, crop="42x17+477+245"), 0.05)
            self.assertEqual(s.finish(CANCEL), 0)
            log = s.read_log()
        for line in ("Enter function: WM_INITDIALOG", "Initializing config dialog (WM_INITDIALOG)",
                     "Opening bundled menu graphic", "Reading bundled menu graphic", "Checking OS",
                     "Acquiring bitmap object from image data", "Exit function: WM_INITDIALOG"):
            self.assertIn(line, log)
        self.assertNotIn("regoin", log)


class OkAndCancel(unittest.TestCase):
    # The volume, the delay and the display mode are kept as decimal texts.
    START = dict(RandomOrder=1, CramImages=1, SetAsWallpaper=0, FastMode=0, MusicVol="255", ImageDelay="10",
                 DispModeWidth="0", DispModeHeight="0", DispModeBits="0")

    @staticmethod
    def flip(s, before, name):
        """Clicks a toggle and waits for its check image to change; the screenshot then."""
        s.click((480, TOGGLES[name][1] + 7))
        return s.shot_until(name + ".png", lambda path: toggle_change(before, path, name) > 0.05)

    @staticmethod
    def slide(s, before, start, end, name):
        """Drags the delay knob and waits for its label to change; the screenshot then."""
        s.drag(start, end)
        return s.shot_until(name, lambda path: label_change(before, path) > 0.03)

    def test_toggles_and_the_delay_knob_change_and_ok_writes_them(self):
        with DialogSession() as s:
            proc, origin = s.open(**self.START)
            self.assertIsNotNone(origin)
            before = s.shot("before.png")
            self.flip(s, before, "RandomOrder")
            self.flip(s, before, "HighestDetail")
            # The knob for 10 s sits a quarter along: drag it off the left end.
            left = self.slide(s, before, (391, DELAY_Y), (300, DELAY_Y), "delay-left.png")
            right = self.slide(s, left, (DELAY_LEFT + 4, DELAY_Y), (560, DELAY_Y), "delay-right.png")
            for name in ("RandomOrder", "HighestDetail"):
                self.assertGreater(toggle_change(before, right, name), 0.05, name)
            self.assertGreater(label_change(before, left), 0.03)
            self.assertGreater(label_change(left, right), 0.03)
            # The fast-mode toggle explains itself when it is checked.
            s.click((60, 312))
            self.assertTrue(s.confirm("NOTE"), "no fast-mode note")
            self.assertEqual(s.finish(OK), 0)
            got = s.values(["RandomOrder", "CramImages", "ImageDelay", "MusicVol", "FastMode"])
            log = s.read_log()
        self.assertEqual(int(got["RandomOrder"][1], 16), 0)
        self.assertEqual(int(got["CramImages"][1], 16), 0)
        self.assertEqual(int(got["FastMode"][1], 16), 1)
        self.assertEqual(float(got["ImageDelay"][1]), 30)
        # Full volume comes back as 246: the knob never reaches the very top.
        self.assertEqual(int(got["MusicVol"][1]), 246)
        self.assertIn("Writing registry settings", log)

    def test_silent_volume_and_the_shortest_delay(self):
        with DialogSession() as s:
            proc, origin = s.open(MusicVol="0", ImageDelay="20")
            self.assertIsNotNone(origin)
            before = s.shot("before.png")
            # 20 s: six tenths along
            moved = self.slide(s, before, (DELAY_LEFT + 64, DELAY_Y), (250, DELAY_Y), "delay-left.png")
            self.assertGreater(label_change(before, moved), 0.03, "the knob did not move")
            self.assertEqual(s.finish(OK), 0)
            got = s.values(["ImageDelay", "MusicVol"])
        self.assertEqual(float(got["ImageDelay"][1]), 4)
        self.assertEqual(int(got["MusicVol"][1]), 0)

    def test_cancel_after_changes_leaves_the_registry_alone(self):
        names = list(self.START)
        with DialogSession() as s:
            proc, origin = s.open(**self.START)
            self.assertIsNotNone(origin)
            start = s.values(names)
            # Every change is seen made before Cancel, so that Cancel has something to drop.
            before = s.shot("before.png")
            self.assertGreater(toggle_change(before, self.flip(s, before, "RandomOrder"), "RandomOrder"), 0.05)
            self.assertGreater(toggle_change(before, self.flip(s, before, "Animate"), "Animate"), 0.05)
            moved = self.slide(s, before, (391, DELAY_Y), (560, DELAY_Y), "delay-right.png")
            self.assertGreater(label_change(before, moved), 0.03)
            s.click((MODE_LIST[0] + 30, MODE_LIST[1] + 22))  # the second line: a mode
            self.assertEqual(sample_until(lambda: s.list_items()[1], lambda at: at == 1), 1)
            self.assertEqual(s.finish(CANCEL), 0)
            self.assertEqual(s.values(names), start)


class DisplayModes(unittest.TestCase):
    def test_the_list_offers_no_change_and_the_modes_of_the_display(self):
        with DialogSession() as s:
            proc, origin = s.open(DispModeWidth="0", DispModeHeight="0", DispModeBits="0")
            self.assertIsNotNone(origin)
            items, selected = s.list_items()
            offered = s.offered_modes()
            self.assertTrue(offered, "the display offers no mode the list would keep")
            self.assertEqual(items, ["No change"] + offered)
            self.assertEqual(selected, 0)
            s.click((MODE_LIST[0] + 30, MODE_LIST[1] + 22))
            selected = sample_until(lambda: s.list_items()[1], lambda at: at == 1)
            self.assertEqual(selected, 1)
            self.assertEqual(s.finish(OK), 0)
            chosen = [s.reg_query(HKCU, n)[1] for n in ("DispModeWidth", "DispModeHeight", "DispModeBits")]
        self.assertEqual("x".join(chosen), offered[0])

    def test_the_stored_mode_is_selected_when_the_dialog_opens(self):
        with DialogSession() as s:
            s.install(programs=PROGRAMS)
            last = s.offered_modes()[-1]
            width, height, bits = last.split("x")
            proc, origin = s.open(DispModeWidth=width, DispModeHeight=height, DispModeBits=bits)
            self.assertIsNotNone(origin)
            items, selected = s.list_items()
            self.assertEqual(items[selected], last)
            self.assertEqual(s.finish(CANCEL), 0)


class Questions(unittest.TestCase):
    def test_checking_the_wallpaper_toggle_asks_about_stretching(self):
        with DialogSession() as s:
            proc, origin = s.open(SetAsWallpaper=0, StretchWallpaper=0)
            self.assertIsNotNone(origin)
            wallpaper = (440, TOGGLES["SetAsWallpaper"][1] + 7)
            unchecked = s.shot("wallpaper-off.png")
            clicked = time.time()
            s.click(wallpaper)
            box = s.wait_for_window(STRETCH, timeout=60)
            self.assertIsNotNone(box, "no stretch question")
            asked_after = time.time() - clicked
            s.shot("stretch-question.png")
            self.assertTrue(s.confirm(STRETCH))  # Yes has the focus
            checked = s.shot_until("wallpaper-on.png",
                                   lambda path: toggle_change(unchecked, path, "SetAsWallpaper") > 0.05)
            self.assertGreater(toggle_change(unchecked, checked, "SetAsWallpaper"), 0.05, "not checked")
            # Unchecking asks nothing: once the toggle shows it unchecked, no
            # box comes in three times as long as the question took to come.
            s.click(wallpaper)
            again = s.shot_until("wallpaper-off-again.png",
                                 lambda path: toggle_change(checked, path, "SetAsWallpaper") > 0.05)
            self.assertGreater(toggle_change(checked, again, "SetAsWallpaper"), 0.05, "not unchecked")
            self.assertEqual(wait_until(lambda: s.find_windows(STRETCH), max(5, 3 * asked_after), 0.25), [])
            s.click(wallpaper)
            self.assertTrue(s.confirm(STRETCH))
            self.assertEqual(s.finish(OK), 0)
            self.assertEqual(s.reg_dword(HKCU, "SetAsWallpaper"), 1)
            self.assertEqual(s.reg_dword(HKCU, "StretchWallpaper"), 1)

    def test_speed_tips_never_again_is_stored_at_once(self):
        with DialogSession() as s:
            s.install(programs=PROGRAMS)
            s.reg_add(HKCU, "ShowSpeedTip", 1)
            s.reg_add(HKCU, "AvgFps", "9.5", "REG_SZ")
            s.proc = s.start(s.c_path(SCR), "/c")
            tips = s.wait_for_window("Speed-Up Tips!", timeout=60)
            self.assertIsNotNone(tips, "no speed-up tips")
            s.keep_shot(s.wait_drawn(tips, "speed-tips")[0], "speed-tips.png")
            # Continue has the focus; the next button is "Never show this window again!".
            s.key("Tab", window=tips)
            s.key("space", window=tips)
            self.assertIsNotNone(s.wait_dialog(), "the settings did not follow the tips")
            self.assertEqual(s.reg_dword(HKCU, "ShowSpeedTip"), 0)
            self.assertEqual(s.finish(CANCEL), 0)
            self.assertEqual(s.reg_dword(HKCU, "ShowSpeedTip"), 0)

    def test_slow_runs_do_not_bring_tips_once_they_are_turned_off(self):
        with DialogSession() as s:
            proc, origin = s.open(ShowSpeedTip=0, AvgFps="9.5")
            self.assertIsNotNone(origin)
            # The tips would come before the settings dialog (it follows them).
            self.assertEqual(s.find_windows("Speed-Up Tips!"), [])
            self.assertEqual(s.finish(CANCEL), 0)


class Help(unittest.TestCase):
    HELP_TITLE = "Zelvora Help Test"

    def test_f1_opens_the_help_whichever_control_has_the_focus(self):
        tmp = tempfile.mkdtemp(prefix="zv-chm-")
        try:
            chm = help_file(tmp)
            with DialogSession() as s:
                s.install(programs=PROGRAMS)
                shutil.copy2(chm, s.c_path(FOLDER))
                proc, origin = s.open()
                self.assertIsNotNone(origin)
                # The list box has the focus first; Tab walks on through the controls.
                for tabs in (0, 1, 3, 7):
                    for _ in range(tabs):
                        s.key("Tab", window=s.window)
                    # A synthetic key is now and then lost under Wine: one more
                    # try, after long enough for the help of the first to show.
                    window = None
                    for _ in range(2):
                        s.key("F1", window=s.window)
                        window = s.wait_for_window(self.HELP_TITLE, timeout=30)
                        if window is not None:
                            break
                    self.assertIsNotNone(window, "no help after %d tabs" % tabs)
                    self.assertTrue(s.close_windows(self.HELP_TITLE), "the help did not close")
                    s.activate(s.window)
                # The Help button opens the same page.
                s.click(HELP)
                self.assertIsNotNone(s.wait_for_window(self.HELP_TITLE, timeout=60))
                s.screenshot("help.png")
        finally:
            shutil.rmtree(tmp, ignore_errors=True)


class MissingSkin(unittest.TestCase):
    def test_without_its_skin_the_dialog_says_so_and_still_works(self):
        with DialogSession() as s:
            s.install(programs=PROGRAMS)
            # The program without the bundle in its tail.
            path = s.c_path(SCR)
            listing = subprocess.run([ZVBUNDLE, "list", path], check=True, capture_output=True,
                                     text=True).stdout
            start = min(int(line.split("\t")[2]) for line in listing.splitlines())
            with open(path, "r+b") as f:
                f.truncate(start)
            s.reg_add(HKCU, "DebugLog", 1)
            for name, value in dict(RandomOrder=0, CramImages=0).items():
                s.reg_add(HKCU, name, value)
            s.reg_add(HKCU, "MusicVol", "100", "REG_SZ")
            s.reg_add(HKCU, "ImageDelay", "7", "REG_SZ")
            s.proc = s.start(path, "/c")
            box = s.wait_for_window("ERROR", timeout=60)
            self.assertIsNotNone(box, "no error box")
            s.screenshot("no-skin-error.png")
            self.assertTrue(s.confirm("ERROR"))
            self.assertIsNotNone(s.wait_dialog(), "no dialog after the error")
            s.shot("settings-unskinned.png")
            # OK (the Enter key) saves, and the settings it could not show stay as they were.
            s.key("Return", window=s.window)
            self.assertEqual(wait_exit(s.proc, 60), 0)
            log = s.read_log()
            self.assertEqual(s.reg_dword(HKCU, "RandomOrder"), 0)
            self.assertEqual(s.reg_dword(HKCU, "CramImages"), 0)
            self.assertEqual(s.reg_query(HKCU, "MusicVol")[1], "100")
            self.assertEqual(float(s.reg_query(HKCU, "ImageDelay")[1]), 7)
        self.assertIn("Could not open menu graphic!", log)
        self.assertIn("Writing registry settings", log)


if __name__ == "__main__":
    unittest.main()
