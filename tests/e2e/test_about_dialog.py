"""The About dialog over the settings dialog: the credits panel animates,
the maker's address is a link that underlines under the mouse, and the
dialog closes back to the settings."""
import os
import time
import unittest

from test_settings_dialog import DialogSession, crop, changed_share

ABOUT_TITLE = "About Zelvora: Quorrin  v 1.071"
ABOUT_BUTTON = (134, 403)


def cpu_seconds(prefix):
    """CPU time used so far by this session's saver process (its Wine
    processes are told apart from other sessions' by their prefix)."""
    total = 0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"ZelvoraPelk" not in f.read():
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ("WINEPREFIX=" + prefix).encode() not in f.read().split(b"\0"):
                    continue
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime, stime
        except OSError:
            continue
    return total / os.sysconf("SC_CLK_TCK")


def cpu_over(prefix, seconds):
    start = cpu_seconds(prefix)
    time.sleep(seconds)
    return cpu_seconds(prefix) - start


class About(unittest.TestCase):
    def test_the_credits_animate_and_the_link_underlines(self):
        with DialogSession() as s:
            proc, origin = s.open()
            self.assertIsNotNone(origin)
            s.click(ABOUT_BUTTON)
            about = s.wait_for_window(ABOUT_TITLE, timeout=30)
            self.assertIsNotNone(about, "no About dialog")
            time.sleep(2)
            x, y, w, h = s.window_geometry(about)
            first = s.screenshot("about-1.png")
            time.sleep(1.5)
            second = s.screenshot("about-2.png")
            # The credits panel: the top part of the dialog below its caption.
            panel = (w - 40, 150, x + 20, y + 40)
            a = crop(first, panel, first + ".panel.png")
            b = crop(second, panel, second + ".panel.png")
            self.assertGreater(changed_share(a, b), 0.002, "the credits did not move")
            self.assertGreater(s.lit_fraction(b, level=0.3), 0.001, "no stars or text in the panel")
            self.assertLess(s.image_stats(b)[0], 0.3, "the panel is not the dark star field")
            s.keep_shot(second, "about-dialog.png")

            # The address: hovering underlines it.
            link = (int(w * 0.6), 40, x + 8, y + int(h * 0.62))
            s.xdotool("mousemove", "--sync", str(x + w - 5), str(y + h - 5))
            time.sleep(0.5)
            plain = crop(s.screenshot("link-plain.png"), link, s.tmp + "/link-plain-crop.png")
            s.xdotool("mousemove", "--sync", str(x + 30), str(y + int(h * 0.62) + 20))
            time.sleep(0.3)
            s.xdotool("mousemove", "--sync", str(x + 32), str(y + int(h * 0.62) + 20))
            time.sleep(0.8)
            hover = crop(s.screenshot("link-hover.png"), link, s.tmp + "/link-hover-crop.png")
            self.assertGreater(changed_share(plain, hover), 0.002, "the link did not underline")

            # The animation costs the process time on every tick; once the
            # dialog is closed nothing of it may keep running.
            animating = cpu_over(s.prefix, 3)
            s.key("Escape", window=about)
            self.assertTrue(s.wait_until_gone(ABOUT_TITLE, timeout=20))
            self.assertIsNone(proc.poll(), "the settings closed with the About dialog")
            time.sleep(1)
            idle = cpu_over(s.prefix, 3)
            self.assertGreater(animating, 0.04, "the credits did not cost the process any time")
            self.assertLess(idle, animating / 3, "something keeps running after closing")
            self.assertEqual(s.finish((439, 420)), 0)


if __name__ == "__main__":
    unittest.main()
