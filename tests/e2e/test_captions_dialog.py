"""The captions dialog over the settings dialog: enabling follows "Show
Captions", the sample follows the face, size, bold, italic and alignment,
and OK changes the settings only in memory until the settings dialog's OK."""
import re
import subprocess
import time
import unittest

from test_settings_dialog import CANCEL, HKCU, OK, crop, changed_share
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
        self.captions = self.wait_for_window(CAPTIONS_TITLE, timeout=30)
        time.sleep(0.5)
        return self.captions

    def item(self, control, what):
        return self.control(control, what, title=CAPTIONS_TITLE)

    def tick(self, control):
        self.press(control, title=CAPTIONS_TITLE)

    def choose(self, control, key):
        """Opens a drop-down list with a click and picks with a key."""
        self.press(control, title=CAPTIONS_TITLE)
        self.key(key)
        time.sleep(0.2)
        self.key("Return")
        time.sleep(0.5)

    def sample(self, name):
        left, top, right, bottom = map(int, self.item(SAMPLE, "rect").split())
        full = self.screenshot(name)
        self.keep_shot(full, "captions-" + name)
        return crop(full, (right - left, bottom - top, left, top), full + ".sample.png")

    def caption_values(self):
        # A busy wineserver can make one "reg query" come back empty; every
        # value read here was written by the test, so an absent one is read again.
        for _ in range(3):
            values = self.values(CAPTION_VALUES)
            if None not in values.values():
                break
            time.sleep(1)
        return values


class Sample(unittest.TestCase):
    def test_enabling_and_the_sample_follow_the_choices(self):
        with CaptionsSession() as s:
            self.assertIsNotNone(s.open_captions(ShowCaptions=0, CaptionFontSize=2**32 - 22, CaptionOrientation=0,
                                                 CaptionItalic=0, CaptionBold=0, CaptionFont="liberation s"))
            self.assertEqual(s.item(SIZE, "selection"), "22")
            self.assertEqual(s.item(SIDE, "selection"), "Left")
            # The first face that begins with the stored name, whatever the case.
            self.assertEqual(s.item(FACE, "selection"), "Liberation Sans")
            for control in (FACE, SIZE, SIDE, ITALIC, BOLD, SAMPLE):
                self.assertTrue(s.item(control, "state").startswith("enabled=0"), control)
            s.tick(SHOW)
            for control in (FACE, SIZE, SIDE, ITALIC, BOLD, SAMPLE):
                self.assertTrue(s.item(control, "state").startswith("enabled=1"), control)

            plain = s.sample("plain.png")
            left, right = ink_box(plain)
            s.choose(SIZE, "End")
            self.assertEqual(s.item(SIZE, "selection"), "32")
            bigger = s.sample("size.png")
            big_left, big_right = ink_box(bigger)
            self.assertGreater(big_right - big_left, (right - left) * 1.3, "the sample did not grow")
            s.tick(BOLD)
            bold = s.sample("bold.png")
            self.assertGreater(changed_share(bigger, bold), 0.01, "bold did not change the sample")
            s.tick(ITALIC)
            italic = s.sample("italic.png")
            self.assertGreater(changed_share(bold, italic), 0.01, "italic did not change the sample")
            s.choose(FACE, "Home")
            face = s.item(FACE, "selection")
            self.assertNotEqual(face, "Liberation Sans")
            other = s.sample("face.png")
            self.assertGreater(changed_share(italic, other), 0.01, "the face did not change the sample")

            # Left, then right: the text moves to the other side at once.
            width = int(s.item(SAMPLE, "rect").split()[2]) - int(s.item(SAMPLE, "rect").split()[0])
            on_left = ink_box(other)
            s.choose(SIDE, "End")
            self.assertEqual(s.item(SIDE, "selection"), "Right")
            on_right = ink_box(s.sample("right.png"))
            self.assertLess(on_left[0], width * 0.15)
            self.assertGreater(on_right[1], width * 0.85)
            self.assertGreater(on_right[0], on_left[0] + 10)

            # OK keeps it all in memory: the registry changes with the
            # settings dialog's OK only.
            before = s.caption_values()
            s.press(1, title=CAPTIONS_TITLE)
            self.assertTrue(s.wait_until_gone(CAPTIONS_TITLE, timeout=20))
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
            s.tick(BOLD)
            s.tick(ITALIC)
            s.choose(SIZE, "Home")
            s.choose(SIDE, "Home")
            s.choose(FACE, "Home")
            self.assertEqual(s.item(SIZE, "selection"), "10")
            s.tick(SHOW)
            s.press(2, title=CAPTIONS_TITLE)
            self.assertTrue(s.wait_until_gone(CAPTIONS_TITLE, timeout=20))
            self.assertEqual(s.finish(OK), 0)
            self.assertEqual(s.caption_values(), before)


if __name__ == "__main__":
    unittest.main()
