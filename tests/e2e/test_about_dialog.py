"""The About dialog over the settings dialog: the credits panel animates,
the maker's address is a link that underlines under the mouse, and the
dialog closes back to the settings."""
import os
import time
import unittest

from test_settings_dialog import DialogSession, crop, changed_share, sample_until, still
from zvharness import act_until

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


def cpu_rate(prefix, take, done, seconds, timeout=60):
    """Samples with `take()` (screenshots) from now until one at least
    `seconds` s later for which `done(sample)` holds, and the CPU seconds the
    saver used per wall-clock second meanwhile: (rate, last sample). A rate
    over the measured wall time holds when a busy machine stretches the window."""
    cpu, start = cpu_seconds(prefix), time.monotonic()
    last = sample_until(take, lambda sample: time.monotonic() - start >= seconds and done(sample),
                        timeout=seconds + timeout)
    return (cpu_seconds(prefix) - cpu) / (time.monotonic() - start), last


class About(unittest.TestCase):
    def test_the_credits_animate_and_the_link_underlines(self):
        with DialogSession() as s:
            proc, origin = s.open()
            self.assertIsNotNone(origin)
            s.click(ABOUT_BUTTON)
            about = s.wait_for_window(ABOUT_TITLE, timeout=60)
            self.assertIsNotNone(about, "no About dialog")
            x, y, w, h = s.window_geometry(about)
            # The credits panel: the top part of the dialog below its caption.
            panel = (w - 40, 150, x + 20, y + 40)
            shots = iter(range(1 << 30))

            def panel_shot():
                name = "about-%d.png" % next(shots)
                path = s.screenshot(name)
                return path, crop(path, panel, path + ".panel.png")

            def star_field(shot):
                return s.lit_fraction(shot[1], level=0.3) > 0.001 and s.image_stats(shot[1])[0] < 0.3

            first = sample_until(panel_shot, star_field, timeout=60)
            # The animation costs the process time on every tick, measured
            # while the credits are watched moving on.
            animating, second = cpu_rate(s.prefix, panel_shot,
                                         lambda shot: changed_share(first[1], shot[1]) > 0.002, 5)
            a, b = first[1], second[1]
            self.assertGreater(changed_share(a, b), 0.002, "the credits did not move")
            self.assertGreater(s.lit_fraction(b, level=0.3), 0.001, "no stars or text in the panel")
            self.assertLess(s.image_stats(b)[0], 0.3, "the panel is not the dark star field")
            s.keep_shot(second[0], "about-dialog.png")

            # The address: hovering underlines it.
            link = (int(w * 0.6), 40, x + 8, y + int(h * 0.62))

            def link_shot(name):
                return crop(s.screenshot(name), link, s.tmp + "/" + name + ".link.png")

            s.xdotool("mousemove", "--sync", str(x + w - 5), str(y + h - 5))
            plain = still(lambda turn: link_shot("link-plain-%d.png" % (turn % 2)))
            # Onto the link, then moves over it, as a hand makes them. A busy
            # X server may hand Wine two moves as one, so the hand moves on,
            # between two places on the link, until the underline shows.
            moves = iter(range(1 << 30))
            last = [None]

            def move_over_link():
                s.xdotool("mousemove", "--sync", str(x + 30 + 2 * (next(moves) % 2)), str(y + int(h * 0.62) + 20))

            def underlined():
                last[0] = link_shot("link-hover.png")
                return changed_share(plain, last[0]) > 0.002

            act_until(move_over_link, underlined, timeout=60, again_after=2)
            hover = last[0]
            self.assertGreater(changed_share(plain, hover), 0.002, "the link did not underline")

            # Once the dialog is closed nothing of it may keep running: the
            # settings, repainted and still, cost under a third of the rate.
            self.assertTrue(s.type_keys(about, "Escape"), "the About dialog has no focus")
            self.assertTrue(s.wait_until_gone(ABOUT_TITLE, timeout=30))
            self.assertIsNone(proc.poll(), "the settings closed with the About dialog")
            s.wait_drawn(s.window, "settings-again")
            idle, _ = cpu_rate(s.prefix, lambda: s.screenshot("settings-idle.png"), lambda _: True, 5)
            # Measured on the settings still running, not on a process that ended.
            self.assertIsNone(proc.poll(), "the settings closed after the About dialog")
            rates = "animating %.4f, idle %.4f CPU s/s" % (animating, idle)
            # 0.04 s of CPU in 3 s at the least.
            self.assertGreater(animating, 0.04 / 3, "the credits did not cost the process any time: " + rates)
            self.assertLess(idle, animating / 3, "something keeps running after closing: " + rates)
            self.assertEqual(s.finish((439, 420)), 0)


if __name__ == "__main__":
    unittest.main()
