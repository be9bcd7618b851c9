"""The slideshow under Wine on Xvfb with the demo images.bdl: the opening
fade from the desktop, photographs that zoom, the change of photograph with
a fade through black or a cross-fade, skipped undecodable photographs and a
missing or useless bundle."""
import functools
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import zvimage
from test_settings_dialog import pixel
from zvharness import BUILD_DIR, DEMO_BUNDLE, DESKTOP_COLOUR, PRODUCT_KEY, Session, wait_exit, wait_until

HKCU = "HKCU\\" + PRODUCT_KEY
SCR = r"C:\Zelvora\ZelvoraPelk.scr"
TITLE = "Zelvora: Quorrin"
ZVBUNDLE = os.path.join(BUILD_DIR, "host-tools", "tools", "zvbundle")
# Kept for a person to look at (ctest's output folder).
SHOT_DIR = os.path.join(BUILD_DIR, "Testing", "slideshow-shots")


def small_bundle(tmp, keep, damaged=()):
    """The demo bundle cut down to the photographs `keep` (in name order),
    with the bytes of those in `damaged` replaced by ones no decoder takes."""
    src = os.path.join(tmp, "demo")
    subprocess.run([ZVBUNDLE, "extract", DEMO_BUNDLE, src], check=True, capture_output=True)
    image = os.path.join(src, "image")
    for name in os.listdir(image):
        if name not in keep:
            os.remove(os.path.join(image, name))
    for name in damaged:
        with open(os.path.join(image, name), "wb") as f:
            f.write(b"\xff\xd8 not a photograph " * 50)
    out = os.path.join(tmp, "small.bdl")
    subprocess.run([ZVBUNDLE, "pack", out, src], check=True, capture_output=True)
    return out


# Shots closer together than this would only add to the measuring afterwards.
SHOT_INTERVAL = 0.15


def grey_and_lit(path):
    """(mean grey level, share of pixels above 6 % grey) of a screenshot."""
    grey = zvimage.grey(path)
    return float(grey.mean()), float((grey > 0.06).mean())


def bundle_photographs(tmp):
    """{name: Unix path} of the demo bundle's photographs, extracted into tmp."""
    src = os.path.join(tmp, "originals")
    subprocess.run([ZVBUNDLE, "extract", DEMO_BUNDLE, src], check=True, capture_output=True)
    image = os.path.join(src, "image")
    return {name: os.path.join(image, name) for name in sorted(os.listdir(image))}


SAMPLE = 48  # side of the grey thumbnails that are compared


def thumbnail(path, crop=None):
    """The centre of a picture (or of a crop WxH+X+Y of it), away from a
    caption, as SAMPLE x SAMPLE grey levels."""
    args = ["convert", path]
    if crop:
        args += ["-crop", crop, "+repage"]
    args += ["-gravity", "center", "-crop", "80%x80%+0+0", "+repage", "-resize",
             "%dx%d!" % (SAMPLE, SAMPLE), "-colorspace", "Gray", "-depth", "8", "gray:-"]
    return subprocess.run(args, check=True, capture_output=True, timeout=60).stdout


def correlation(a, b):
    """Normalised cross-correlation of two grey pictures of one size (-1..1)."""
    n = len(a)
    ma, mb = sum(a) / n, sum(b) / n
    da = [x - ma for x in a]
    db = [x - mb for x in b]
    num = sum(x * y for x, y in zip(da, db))
    den = (sum(x * x for x in da) * sum(y * y for y in db)) ** 0.5
    return num / den if den else 0.0


def best_match(shot, crop, originals):
    """(name, score, next best score) of the original most like the crop of a screenshot."""
    seen = thumbnail(shot, crop)
    scores = sorted(((correlation(seen, thumbnail(path)), name) for name, path in originals.items()),
                    reverse=True)
    return scores[0][1], scores[0][0], scores[1][0]


class SlideshowSession(Session):
    def start_show(self, bundle=DEMO_BUNDLE, wait=True, **settings):
        self.install(bundle=bundle)
        self.set_desktop_mode()
        self.reg_add(HKCU, "RandomOrder", 0)
        # The timings measured here are the picture's: no music unless asked.
        settings.setdefault("PlayMusic", 0)
        for name, value in settings.items():
            if isinstance(value, str):
                self.reg_add(HKCU, name, value, "REG_SZ")
            else:
                self.reg_add(HKCU, name, value)
        proc = self.start(SCR, "/s")
        if not wait:
            return proc
        return proc, self.wait_for_window(TITLE, timeout=60)

    def record(self, seconds, tag, shown_for=0.0, limit=90.0, done=None):
        """Screenshots for `seconds`: (time since the first, path, mean grey, lit share).
        Measured afterwards, so the shots come as close together as they can.
        When the first photograph came late (a loaded machine), the recording
        goes on a few seconds at a time until photographs have been on
        screen for `shown_for` seconds and `done(shots)` holds, or `limit`
        seconds in all."""
        shots = []
        start = time.time()
        until = seconds
        while True:
            taken = []
            while time.time() - start < until:
                if taken and time.time() - start < taken[-1][0] + SHOT_INTERVAL:
                    time.sleep(0.02)
                    continue
                taken.append((time.time() - start, self.grab("%s-%02d" % (tag, len(shots) + len(taken)))))
            shots += [(t, path) + grey_and_lit(path) for t, path in taken]
            shown = [shot[0] for shot in shots if is_photograph(shot) and shot[3] < 0.95]
            enough = shown and shots[-1][0] - shown[0] >= shown_for and (done is None or done(shots))
            if enough or time.time() - start >= limit:
                return shots
            until = time.time() - start + 3.0

    def wait_for_photograph(self, timeout=30):
        return wait_until(lambda: 0.1 < Session.lit_fraction(self.screenshot("waiting.png")) < 0.95,
                          timeout, 0.5)

    def dismiss(self, title, timeout=60):
        """Confirms the message box `title`; false when none came."""
        box = self.wait_for_window(title, timeout=timeout)
        if box is None:
            return False
        self.key("Return", window=box)
        wait_until(lambda: box not in self.find_windows(title), 20, 0.25)
        return True

    def grab(self, name):
        """A screenshot as cheap as X offers (an X window dump, which the
        measuring tools read as they are), so a recording's shots come close
        together and cost a loaded machine little."""
        path = os.path.join(self.tmp, name + ".xwd")
        # xwd looks at every window for its visual; one that goes meanwhile
        # (Wine makes and ends windows of its own) fails the dump, so it is
        # taken again.
        for _ in range(3):
            with open(path, "wb") as out:
                done = subprocess.run(["xwd", "-root", "-silent", "-display", self.display], stdout=out,
                                      stderr=subprocess.DEVNULL, timeout=60)
            if done.returncode == 0:
                return path
        raise RuntimeError("xwd failed three times")

    def keep(self, shots, indices):
        """Shots kept as PNG pictures for a person to look at."""
        os.makedirs(SHOT_DIR, exist_ok=True)
        for i in indices:
            name = os.path.splitext(os.path.basename(shots[i][1]))[0] + ".png"
            subprocess.run(["convert", shots[i][1], os.path.join(SHOT_DIR, name)], check=True, timeout=60)


# Astronomical photographs are dark: a tenth of the screen above 6 % grey
# already tells one from the black screen.
def is_photograph(shot):
    return shot[3] > 0.1


def is_black(shot):
    return shot[2] < 0.01 and shot[3] < 0.02


def summarise(shots):
    """One line per shot, for failure messages."""
    return ["%.1fs mean %.3f lit %.2f" % (t, m, l) for t, _, m, l in shots]


def stills(shots, span=0.6):
    """The photographs that stood still: unchanged from their shot to the
    first one `span` seconds later. (Two shots in a row can be alike in
    the middle of a change when a loaded machine draws few frames.)"""
    found = []
    for i, shot in enumerate(shots):
        if not (is_photograph(shot) and shot[3] < 0.95):
            continue
        later = next((other for other in shots[i + 1:] if other[0] >= shot[0] + span), None)
        if later is not None and difference(shot[1], later[1]) < 0.001:
            found.append(shot)
    return found


@functools.lru_cache(maxsize=None)
def difference(path_a, path_b):
    """Session.image_difference, once per pair: a recording that goes on
    until a condition holds looks at its early shots again and again."""
    return Session.image_difference(path_a, path_b)


def two_photographs_stood_still(shots):
    """True once the stills show two different photographs."""
    still = stills(shots)
    return len(still) >= 2 and difference(still[0][1], still[-1][1]) > 0.02


def first_change(shots, diffs, first, threshold=0.003, pause=1.0):
    """(start, end) shot indices of the first change after shot `first`:
    the shots that differ from the next, grouped while less than `pause`
    seconds lie between them; the change ends at the shot after the last."""
    moving = [first + i for i, d in enumerate(diffs) if d > threshold]
    if not moving:
        return None
    end = moving[0]
    for i in moving[1:]:
        if shots[i][0] - shots[end][0] >= pause:
            break
        end = i
    return moving[0], end + 1


def uncertainty(shots, i):
    """How well the moment of shot i is known: the longest gap to the shots
    beside it. Screenshots stall for a second or more on a loaded machine,
    so every tolerance on a measured time grows with these gaps."""
    around = [shots[j][0] for j in (i - 1, i, i + 1) if 0 <= j < len(shots)]
    return max([b - a for a, b in zip(around, around[1:])] or [0.0])


def first_photograph(shots):
    """The first photograph after the black screen that replaces the desktop.
    Without a desktop fade that black can last less than the gap between two
    shots; then the first lit shot unlike the desktop (which counts as lit)."""
    black = next((i for i, shot in enumerate(shots) if is_black(shot)), None)
    if black is not None:
        return next(i for i in range(black, len(shots)) if is_photograph(shots[i]))
    return next(i for i, shot in enumerate(shots)
                if is_photograph(shot) and Session.image_difference(shots[0][1], shot[1]) > 0.05)


class Show(unittest.TestCase):
    def test_fade_from_the_desktop_then_zooming_photographs_changing_through_black(self):
        delay = 2.0
        with SlideshowSession() as s:
            proc, window = s.start_show(Crossfade=0, Animate=1, ImageDelay="2")
            self.assertIsNotNone(window)
            shots = s.record(19.0, "fade-black", shown_for=13.0)
            self.assertIsNone(proc.poll(), "the saver ended by itself")
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            summary = summarise(shots)

            # The desktop, then darker, then black before any photograph.
            first_photo = first_photograph(shots)
            self.assertGreater(shots[0][2], 0.3, summary)
            darkening = [i for i in range(first_photo) if 0.04 < shots[i][2] < 0.3]
            self.assertTrue(darkening, summary)
            black = [i for i in range(darkening[0], first_photo) if is_black(shots[i])]
            self.assertTrue(black, summary)

            # The darkest moments of the fades through black: shots far darker
            # than the photographs around them, grouped by time.
            lit = [i for i in range(first_photo, len(shots)) if is_photograph(shots[i])]
            peak = max(shots[i][2] for i in lit)
            # (From the first photograph's full brightness on, past its fade-in.)
            bright = next(i for i in lit if shots[i][2] >= 0.5 * peak)
            dark = [i for i in range(bright, len(shots)) if shots[i][2] < 0.3 * peak]
            troughs = []
            for i in dark:
                if troughs and shots[i][0] - shots[troughs[-1][-1]][0] < 2.0:
                    troughs[-1].append(i)
                else:
                    troughs.append([i])
            self.assertGreaterEqual(len(troughs), 2, summary)
            darkest = [min(group, key=lambda i: shots[i][2]) for group in troughs]

            # Photographs that move (the zoom) before the first change.
            showing = [i for i in range(first_photo, troughs[0][0]) if is_photograph(shots[i])]
            self.assertGreaterEqual(len(showing), 2, summary)
            self.assertGreater(Session.image_difference(shots[showing[0]][1], shots[showing[-1]][1]),
                               0.002, "the photograph does not move")

            # One cycle (display time + the 4 s fade) between the darkest
            # moments, each with another photograph on either side.
            cycle = shots[darkest[1]][0] - shots[darkest[0]][0]
            slack = 0.6 + uncertainty(shots, darkest[0]) + uncertainty(shots, darkest[1])
            self.assertAlmostEqual(cycle, delay + 4.0, delta=slack, msg=summary)
            before = showing[-1]
            after = min(i for i in range(troughs[0][-1], len(shots)) if is_photograph(shots[i]))
            self.assertGreater(Session.image_difference(shots[before][1], shots[after][1]), 0.02)
            s.keep(shots, [0, darkening[0], black[0], showing[0], showing[-1], darkest[0], after])
            self.assertNotIn("Couldn't find any good images", s.read_log())

    def test_without_animation_a_photograph_at_once_then_a_cross_fade(self):
        delay = 3.0
        with SlideshowSession() as s:
            proc, window = s.start_show(Crossfade=1, Animate=0, ImageDelay="3")
            shots = s.record(10.0, "crossfade", shown_for=9.0)
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            summary = summarise(shots)

            # No desktop fade: from the desktop straight to black, then a
            # photograph at once as bright as it stays. How soon it comes is
            # the decoder's speed, which a loaded machine takes from; a hang
            # would still show.
            first = first_photograph(shots)
            self.assertLess(shots[first][0], 10.0 + uncertainty(shots, first), summary)
            self.assertFalse(any(0.04 < shot[2] < 0.3 and not is_photograph(shot)
                                 for shot in shots[:first]), ("a desktop fade", summary))
            self.assertAlmostEqual(shots[first][2], shots[first + 1][2], delta=0.01)

            # Still until the display time is up, a cross-fade of 4 s, then
            # still again on another photograph.
            diffs = [Session.image_difference(shots[i][1], shots[i + 1][1])
                     for i in range(first, len(shots) - 1)]
            # Without the zoom a still screen does not differ at all, so the
            # slow ends of the fade count too however close the shots come.
            change = first_change(shots, diffs, first, threshold=0.0005)
            self.assertIsNotNone(change, summary)
            start, end = change
            fade_slack = 1.2 + uncertainty(shots, start) + uncertainty(shots, end)
            self.assertAlmostEqual(shots[end][0] - shots[start][0], 4.0, delta=fade_slack,
                                   msg=(summary, diffs))
            shown_slack = 1.2 + uncertainty(shots, first) + uncertainty(shots, start)
            self.assertAlmostEqual(shots[start][0] - shots[first][0], delay, delta=shown_slack,
                                   msg=(summary, diffs))
            self.assertFalse(any(is_black(shots[i]) for i in range(first, len(shots))), summary)
            self.assertGreater(Session.image_difference(shots[first][1], shots[-1][1]), 0.02)
            s.keep(shots, [first, (start + end) // 2, len(shots) - 1])

            # What is on screen is the bundle's photographs: without the zoom a
            # square photograph fills the screen's height, centred.
            with tempfile.TemporaryDirectory() as tmp:
                originals = bundle_photographs(tmp)
                shown = [best_match(shots[i][1], "768x768+128+0", originals)
                         for i in (first, len(shots) - 1)]
            for name, score, runner_up in shown:
                self.assertGreater(score, 0.9, shown)
                self.assertGreater(score - runner_up, 0.05, shown)
            self.assertNotEqual(shown[0][0], shown[1][0], shown)


class FastMode(unittest.TestCase):
    def test_photographs_come_by_effects_letterboxed_and_a_key_ends_an_effect(self):
        with SlideshowSession() as s:
            proc, window = s.start_show(FastMode=1, ImageDelay="2")
            shots = s.record(9.0, "fast", shown_for=7.0)
            summary = summarise(shots)
            # (Not the flat desktop of the first moment.)
            photos = [shot for shot in shots if is_photograph(shot) and shot[3] < 0.95]
            self.assertTrue(photos, summary)
            # The demo photographs are square: black bars left and right
            # (between effects; a sliding effect moves the old picture over them).
            still = stills(shots)
            self.assertTrue(still, summary)
            for shot in still:
                for crop in ("120x768+0+0", "120x768+904+0"):
                    self.assertLess(Session.image_stats(shot[1], crop)[0], 0.01, shot[1])
            # More than one photograph within the run, each change an effect
            # of several frames.
            changes = [i for i in range(len(shots) - 1)
                       if Session.image_difference(shots[i][1], shots[i + 1][1]) > 0.003]
            self.assertGreaterEqual(len(changes), 2, summary)
            self.assertGreater(Session.image_difference(photos[0][1], photos[-1][1]), 0.02)
            s.keep(shots, [changes[0] + 1, len(shots) - 1])

            # A key while the screen is changing ends the saver.
            deadline = time.time() + 20
            previous = s.screenshot("fast-watch.png")
            while time.time() < deadline:
                current = s.screenshot("fast-watch-next.png")
                if Session.image_difference(previous, current) > 0.003:
                    break
                shutil.copy2(current, previous)
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 20), 0)
            self.assertIn("Key pressed -- Quitting screensaver", s.read_log())


# Bright text: a share of near-white pixels no dark sky has.
def caption_share(shot, crop):
    return Session.lit_fraction(shot[1], 0.85, crop)


# Boxes just above the bottom edge, at the two ends of the caption area:
# three quarters of the screen width in Direct3D mode, 50 pixels in from the
# edges in fast mode.
CAPTION_BOXES = {"d3d": ("200x50+128+708", "200x50+696+708"),
                 "fast": ("200x50+50+708", "200x50+774+708")}
# The same width a little higher up, where the photograph has no text.
ABOVE_CAPTION = "200x50+412+560"


class Captions(unittest.TestCase):
    def check_captions(self, mode, orientation, **settings):
        with SlideshowSession() as s:
            proc, window = s.start_show(ShowCaptions=1, CaptionOrientation=orientation, Animate=0,
                                        ImageDelay="3", **settings)
            shots = s.record(11.0, "captions-%s" % mode, shown_for=9.0, done=two_photographs_stood_still)
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            summary = summarise(shots)
            still = stills(shots)
            self.assertGreaterEqual(len(still), 2, summary)
            aligned, opposite = CAPTION_BOXES[mode]
            if orientation == 2:
                aligned, opposite = opposite, aligned
            for shot in still:
                text = caption_share(shot, aligned)
                self.assertGreater(text, 0.04, shot[1])
                self.assertLess(caption_share(shot, opposite), text / 5, shot[1])
                self.assertLess(caption_share(shot, ABOVE_CAPTION), text / 5, shot[1])
            # Each photograph brings its own caption.
            first, last = still[0], still[-1]
            self.assertGreater(Session.image_difference(first[1], last[1]), 0.02, summary)
            crop = aligned.replace("+708", "+700")
            self.assertGreater(Session.image_difference(
                *[self.cropped(s, shot, crop) for shot in (first, last)]), 0.01, summary)
            s.keep(shots, [shots.index(first), shots.index(last)])

    @staticmethod
    def cropped(s, shot, crop):
        out = shot[1] + ".caption.png"
        subprocess.run(["convert", shot[1], "-crop", crop, "+repage", out], check=True)
        return out

    def test_direct3d_captions_left_aligned_along_the_bottom(self):
        self.check_captions("d3d", 0, Crossfade=1)

    def test_fast_mode_captions_right_aligned_along_the_bottom(self):
        self.check_captions("fast", 2, FastMode=1)


def bitmap_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    return int.from_bytes(header[18:22], "little", signed=True), abs(int.from_bytes(header[22:26], "little", signed=True))


class Wallpaper(unittest.TestCase):
    DESKTOP = r"HKCU\Control Panel\Desktop"

    def wallpaper(self, s):
        return os.path.join(s.data_folder(), s.user + "_orbex.bmp")

    def test_the_photograph_on_screen_is_left_as_the_wallpaper(self):
        for stretch, size in ((0, (768, 768)), (1, (1024, 768))):
            with SlideshowSession() as s:
                proc, window = s.start_show(Animate=0, SetAsWallpaper=1, StretchWallpaper=stretch)
                self.assertTrue(s.wait_for_photograph())
                s.key("Escape", window=window)
                self.assertEqual(wait_exit(proc, 60), 0)
                path = self.wallpaper(s)
                self.assertTrue(os.path.exists(path), s.read_log())
                # The demo photographs are square: fitted, 768 x 768 on a 1024 x 768 desktop.
                self.assertEqual(bitmap_size(path), size)
                self.assertEqual(s.reg_query(self.DESKTOP, "TileWallpaper")[1], "0")
                self.assertEqual(s.reg_query(self.DESKTOP, "WallpaperStyle")[1], "2" if stretch else "0")
                self.assertIn("Saving images as wallpaper", s.read_log())

    def test_a_run_without_a_photograph_leaves_the_wallpaper_alone(self):
        with tempfile.TemporaryDirectory() as tmp:
            bundle = small_bundle(tmp, ["m16.jpg"], damaged=["m16.jpg"])
            with SlideshowSession() as s:
                proc = s.start_show(bundle, wait=False, Animate=0, SetAsWallpaper=1)
                s.dismiss("Error initializing")
                self.assertEqual(wait_exit(proc, 60), 0)
                self.assertFalse(os.path.exists(self.wallpaper(s)))
                self.assertEqual(s.reg_query(self.DESKTOP, "WallpaperStyle")[1], "0")


class BadPhotographs(unittest.TestCase):
    def test_undecodable_photographs_are_skipped_silently(self):
        with tempfile.TemporaryDirectory() as tmp:
            # In name order: a damaged first photograph, a good one, a damaged
            # one, a good one.
            bundle = small_bundle(tmp, ["ic1805.jpg", "m16.jpg", "m42.jpg", "n2244.jpg"],
                                  damaged=["ic1805.jpg", "m42.jpg"])
            with SlideshowSession() as s:
                proc, window = s.start_show(bundle, Crossfade=1, Animate=0, ImageDelay="1")
                shots = s.record(14.0, "skip", shown_for=12.0)
                self.assertIsNone(proc.poll(), "the saver ended")
                s.key("Escape", window=window)
                self.assertEqual(wait_exit(proc, 60), 0)
                summary = summarise(shots)
                # The damaged first photograph costs no display time of its
                # own: no black between photographs, and soon a good one (how
                # soon is the decoder's speed on this machine; a hang would show).
                first = first_photograph(shots)
                self.assertLess(shots[first][0], 10.0 + uncertainty(shots, first), summary)
                self.assertFalse(any(is_black(shot) for shot in shots[first:]), summary)
                # Both good photographs were shown: the screen changed more than once.
                distinct = [shots[first]]
                for shot in shots[first:]:
                    if Session.image_difference(distinct[-1][1], shot[1]) > 0.02:
                        distinct.append(shot)
                self.assertGreaterEqual(len(distinct), 3, summary)
                log = s.read_log()
                self.assertNotIn("Couldn't find any good images", log)
                self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)

    def test_a_bundle_without_a_usable_photograph_ends_the_saver(self):
        with tempfile.TemporaryDirectory() as tmp:
            bundle = small_bundle(tmp, ["m16.jpg", "m42.jpg"], damaged=["m16.jpg", "m42.jpg"])
            with SlideshowSession() as s:
                proc = s.start_show(bundle, wait=False, Animate=0)
                # The run's critical error brings the advice at its end.
                self.assertTrue(s.dismiss("Error initializing"), s.read_log())
                self.assertEqual(wait_exit(proc, 60), 0)
                log = s.read_log()
                self.assertIn("Couldn't find any good images, quitting...", log)
                self.assertLess(log.index("Couldn't find any good images"),
                                log.index("Showing critical error dialog"))

    def test_a_missing_bundle_is_reported(self):
        with SlideshowSession() as s:
            proc = s.start_show(bundle=None, wait=False)
            box = s.wait_for_window("ERROR", timeout=60)
            self.assertIsNotNone(box, "no message box")
            shot = s.screenshot("missing-bundle.png")
            s.keep([(0, shot, 0, 0)], [0])
            # The saver's windows are gone before it says so: the desktop
            # shows around the box, not a black full-screen window.
            self.assertEqual(s.find_windows("Zelvora: Quorrin"), [])
            desktop = tuple(int(DESKTOP_COLOUR[i:i + 2], 16) for i in (1, 3, 5))
            for x, y in ((2, 2), (1020, 2), (2, 765), (1020, 765)):
                self.assertEqual(pixel(shot, x, y), desktop, (x, y))
            # The bundle's own message, the set-up's, then the advice:
            # confirm whatever box is up until the saver has ended.
            seen = set()
            deadline = time.time() + 90
            while proc.poll() is None and time.time() < deadline:
                for title in ("ERROR", "Error initializing"):
                    for w in s.find_windows(title):
                        seen.add(title)
                        s.key("Return", window=w)
                time.sleep(1.0)
            self.assertEqual(proc.poll(), 0)
            # A key meant for one box may close the next, so the advice is
            # proven by the log rather than by having seen its window.
            self.assertIn("ERROR", seen)
            log = s.read_log()
            self.assertIn("Could not open the image bundle!", log)
            self.assertIn("Showing critical error dialog", log)


if __name__ == "__main__":
    unittest.main()
