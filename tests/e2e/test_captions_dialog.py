"""The captions dialog over the settings dialog: enabling follows "Show
Captions", the sample follows the face, size, bold, italic and alignment,
and OK changes the settings only in memory until the settings dialog's OK."""
import re
import subprocess
import unittest

from test_settings_dialog import HKCU, OK, changed_share, crop, sample_until, still
from zvharness import act_until, wait_until
from test_music_dialog import MusicSession

CAPTIONS_TITLE = "Caption Options"
CAPTIONS_BUTTON = (574, 236)
SHOW, FACE, SIZE, SIDE, ITALIC, BOLD, SAMPLE = 1109, 1112, 1110, 1113, 1114, 1117, 1111
CAPTION_VALUES = ("ShowCaptions", "CaptionFontSize", "CaptionOrientation", "CaptionItalic", "CaptionBold",
                  "CaptionFont")


def ink_box(path):
    """(left, right) of the sample text's pixels, the darker ones on the
    dialog's light face."""
    out = subprocess.run(["convert", path, "-colorspace", "Gray", "-threshold", "50%", "-negate",
                          "-format", "%@", "info:"], check=True, capture_output=True, text=True,
                         timeout=60).stdout
    width, _, x, _ = re.split("[x+]", out.strip())
    return int(x), int(x) + int(width)


class CaptionsSession(MusicSession):
    def open_captions(self, **settings):
        self.install()
        self.proc, origin = self.open(**settings)
        if origin is None:
            return None
        self.click(CAPTIONS_BUTTON)
        self.captions = self.wait_for_window(CAPTIONS_TITLE, timeout=60)
        if self.captions is None:
            return None
        assert self.item(SHOW, "state") is not None, "the captions dialog's controls do not answer"
        return self.captions

    def item(self, control, what):
        return self.control(control, what, title=CAPTIONS_TITLE)

    def tick(self, control):
        """Clicks a check box; its state once the check has changed."""
        before = self.item(control, "state")
        self.press(control, title=CAPTIONS_TITLE)
        checked = lambda state: state.split()[1]
        return sample_until(lambda: self.item(control, "state"), lambda state: checked(state) != checked(before))

    def visible_windows(self):
        return set(self.xdotool("search", "--onlyvisible", "--class", ".*").split())

    def choose(self, control, key):
        """Opens a drop-down list with a click, picks its first (Home) or last
        (End) entry with a key and closes it with Return; the combo box's
        selection then. Each step waits for the one before: Return on a
        closed list would press OK instead."""
        entries = self.item(control, "entries").split("\n")
        wanted = entries[0] if key == "Home" else entries[-1]
        shown = self.visible_windows()
        self.press(control, title=CAPTIONS_TITLE)
        dropped = wait_until(lambda: self.visible_windows() - shown, 30)
        assert dropped, "the list did not drop down"
        self.type_keys(self.captions, key)
        self.until(lambda: self.item(control, "selection"), wanted)
        # A Return lost by a busy X server is pressed again, but only once
        # the list has had long enough to close on the first.
        closed = act_until(lambda: self.type_keys(self.captions, "Return"),
                           lambda: not self.visible_windows() & dropped, timeout=60, again_after=10)
        assert closed, "the list stayed open"
        return self.item(control, "selection")

    def sample(self, name):
        left, top, right, bottom = map(int, self.item(SAMPLE, "rect").split())
        full = self.screenshot(name)
        self.keep_shot(full, "captions-" + name)
        return crop(full, (right - left, bottom - top, left, top), full + ".sample.png")

    def sample_when(self, name, done):
        """The sample (cut from a screenshot) once `done(path)` holds, the last one after 30 s."""
        return sample_until(lambda: self.sample(name), done)

    def caption_values(self):
        # A busy wineserver can make one "reg query" come back empty; every
        # value read here was written by the test, so an absent one is read again.
        return sample_until(lambda: self.values(CAPTION_VALUES), lambda values: None not in values.values(),
                            timeout=30, interval=1)


class Sample(unittest.TestCase):
    def test_enabling_and_the_sample_follow_the_choices(self):
        with CaptionsSession() as s:
            self.assertIsNotNone(s.open_captions(ShowCaptions=0, CaptionFontSize=2**32 - 22, CaptionOrientation=0,
                                                 CaptionItalic=0, CaptionBold=0, CaptionFont="liberation s"))
            self.assertEqual(s.item(SIZE, "selection"), "22")
            self.assertEqual(s.item(SIDE, "selection"), "Left")
            # The first face that begins with the stored name, whatever the case.
            self.assertEqual(s.item(FACE, "selection"), "Liberation Sans")
            controls = (FACE, SIZE, SIDE, ITALIC, BOLD, SAMPLE)
            enabled = lambda: [s.item(control, "state").split()[0] for control in controls]
            self.assertEqual(enabled(), ["enabled=0"] * len(controls))
            s.tick(SHOW)
            self.assertEqual(s.until(enabled, ["enabled=1"] * len(controls)), ["enabled=1"] * len(controls))

            # The sample drawn enabled: it holds still.
            plain = still(lambda turn: s.sample("plain-%d.png" % (turn % 2)))
            left, right = ink_box(plain)
            self.assertEqual(s.choose(SIZE, "End"), "32")
            grown = lambda path: (lambda box: box[1] - box[0])(ink_box(path)) > (right - left) * 1.3
            bigger = s.sample_when("size.png", grown)
            big_left, big_right = ink_box(bigger)
            self.assertGreater(big_right - big_left, (right - left) * 1.3, "the sample did not grow")
            s.tick(BOLD)
            bold = s.sample_when("bold.png", lambda path: changed_share(bigger, path) > 0.01)
            self.assertGreater(changed_share(bigger, bold), 0.01, "bold did not change the sample")
            s.tick(ITALIC)
            italic = s.sample_when("italic.png", lambda path: changed_share(bold, path) > 0.01)
            self.assertGreater(changed_share(bold, italic), 0.01, "italic did not change the sample")
            face = s.choose(FACE, "Home")
            self.assertNotEqual(face, "Liberation Sans")
            other = s.sample_when("face.png", lambda path: changed_share(italic, path) > 0.01)
            self.assertGreater(changed_share(italic, other), 0.01, "the face did not change the sample")

            # Left, then right: the text moves to the other side at once.
            width = int(s.item(SAMPLE, "rect").split()[2]) - int(s.item(SAMPLE, "rect").split()[0])
            on_left = ink_box(other)
            self.assertEqual(s.choose(SIDE, "End"), "Right")
            moved = lambda box: box[1] > width * 0.85 and box[0] > on_left[0] + 10
            on_right = ink_box(s.sample_when("right.png", lambda path: moved(ink_box(path))))
            self.assertLess(on_left[0], width * 0.15)
            self.assertGreater(on_right[1], width * 0.85)
            self.assertGreater(on_right[0], on_left[0] + 10)

            # OK keeps it all in memory: the registry changes with the
            # settings dialog's OK only (the captions dialog is gone once its
            # OK has been handled).
            before = s.caption_values()
            s.press(1, title=CAPTIONS_TITLE)
            self.assertTrue(s.wait_until_gone(CAPTIONS_TITLE, timeout=60))
            self.assertEqual(s.caption_values(), before)
            self.assertEqual(s.finish(OK), 0)
            self.assertEqual(s.reg_dword(HKCU, "ShowCaptions"), 1)
            self.assertEqual(s.reg_dword(HKCU, "CaptionFontSize"), 2**32 - 32)
            self.assertEqual(s.reg_dword(HKCU, "CaptionOrientation"), 2)
            self.assertEqual(s.reg_dword(HKCU, "CaptionBold"), 1)
            self.assertEqual(s.reg_dword(HKCU, "CaptionItalic"), 1)
            self.assertEqual(s.reg_query(HKCU, "CaptionFont")[1], face)

    def test_cancel_leaves_every_caption_setting_as_it_was(self):
        with CaptionsSession() as s:
            self.assertIsNotNone(s.open_captions(ShowCaptions=1, CaptionFontSize=2**32 - 14, CaptionOrientation=1,
                                                 CaptionItalic=1, CaptionBold=1, CaptionFont="Liberation Serif"))
            self.assertEqual(s.item(SIZE, "selection"), "14")
            self.assertEqual(s.item(SIDE, "selection"), "Center")
            before = s.caption_values()
            # Every change is seen made, so that Cancel has something to drop.
            self.assertTrue(s.tick(BOLD).startswith("enabled=1 checked=0"))
            self.assertTrue(s.tick(ITALIC).startswith("enabled=1 checked=0"))
            self.assertEqual(s.choose(SIZE, "Home"), "10")
            s.choose(SIDE, "Home")
            self.assertNotEqual(s.choose(FACE, "Home"), "Liberation Serif")
            self.assertEqual(s.item(SIZE, "selection"), "10")
            self.assertIn("checked=0", s.tick(SHOW))
            s.press(2, title=CAPTIONS_TITLE)
            self.assertTrue(s.wait_until_gone(CAPTIONS_TITLE, timeout=60))
            self.assertEqual(s.finish(OK), 0)
            self.assertEqual(s.caption_values(), before)


if __name__ == "__main__":
    unittest.main()
