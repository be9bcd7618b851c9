"""The saver run of ZelvoraPelk.scr under Wine on Xvfb: the full-screen
window, the rules that end it, the preview inside a host window, and the
display-mode request."""
import os
import shutil
import tempfile
import unittest

from test_music import tone_bundle
from zvharness import PRODUCT_KEY, Session, wait_exit, wait_for_file, wait_until

HKCU = "HKCU\\" + PRODUCT_KEY
SYSTEM_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
FOLDER = r"C:\Zelvora"
SCR = FOLDER + r"\ZelvoraPelk.scr"
TITLE = "Zelvora: Quorrin"
HELPERS = ("ZelvoraPelk.scr", "preview_host.exe", "post_message.exe", "query_display.exe")


class SaverSession(Session):
    def __enter__(self):
        super().__enter__()
        # A steady tone as the built-in music: pausing it with the Down key
        # and resuming it with Up is heard, which proves the saver handled
        # every input and message sent before them.
        self.music = tempfile.mkdtemp(prefix="zv-saver-")
        self.bundle = tone_bundle(self.music, {"a440.wav": (440, 120)})
        return self

    def close(self):
        super().close()
        shutil.rmtree(getattr(self, "music", ""), ignore_errors=True)

    def start_saver(self):
        self.install(programs=HELPERS, bundle=self.bundle)
        self.set_desktop_mode()
        # No opening fade: the first photograph comes at once.
        self.reg_add(HKCU, "Animate", 0)
        self.pulse.start_recording(os.path.join(self.tmp, "saver.wav"))
        proc = self.start(SCR, "/s")
        window = self.wait_for_window(TITLE, timeout=60)
        if window is not None:
            self.wait_for_log("Entering main loop...")
        return proc, window

    def handled_everything_so_far(self, proc, window):
        """True when the saver still runs and has handled every input and
        message sent to it so far: the music pauses on Down and goes on
        on Up, both queued behind them."""
        if not wait_until(lambda: self.pulse.last_seconds_loud(0.5), 60, 0.3):
            return False
        self.key("Down", window=window)
        if not wait_until(lambda: self.pulse.last_seconds_silent(0.5), 60, 0.3):
            return False
        self.key("Up", window=window)
        if not wait_until(lambda: self.pulse.last_seconds_loud(0.5), 60, 0.3):
            return False
        return proc.poll() is None


def in_order(testcase, text, lines):
    positions = [text.find(line) for line in lines]
    testcase.assertNotIn(-1, positions, [l for l, p in zip(lines, positions) if p < 0])
    testcase.assertEqual(positions, sorted(positions))


class FullScreen(unittest.TestCase):
    def test_covers_the_screen_and_a_key_other_than_an_arrow_ends_it(self):
        with SaverSession() as s:
            proc, window = s.start_saver()
            self.assertIsNotNone(window, "no saver window")
            self.assertEqual(s.window_geometry(window), (0, 0, s.width, s.height))
            # A photograph, not the flat desktop colour, once the first has loaded.
            self.assertTrue(wait_until(lambda: Session.image_stats(s.screenshot("saver-photo.png"))[1] > 0.05,
                                       30, 0.5), "the screen shows no photograph")

            for arrow in ("Left", "Right", "Up", "Down", "Up"):
                s.key(arrow, window=window)
            self.assertTrue(s.handled_everything_so_far(proc, window), "an arrow key ended the saver")

            s.key("a", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            log = s.read_log()
            in_order(self, log, [
                "Enter function: DoSaver()", "Entering main loop...",
                "Key pressed -- Quitting screensaver", "WM_CLOSE: Checking PasswordDelay",
                "WM_CLOSE: CanClose == true, Calling DestroyWindow()", "PostQuitMessage(0)",
                "Exited main loop.", "ReleaseDC(hScrWindow,hDC)", "SystemParametersInfo()",
                "Hiding child windows, if any", "Enter function: ShutdownSound()",
                "Enter function: CleanUp()", "Deleting slideshow object", "Deleting graphics object",
                "Successfully exiting CleanUp()", "DestroyWindow(hparwnd)", "UnregisterClass()",
                "Exit function: DoSaver()", "Exiting screensaver."])
            # A key within the password delay closes without a password check.
            self.assertNotIn("GetTickCount() - ss->InitTime", log)
            self.assertNotIn("Calling ChangeDisplaySettings()", log, "no mode change was asked for")
            self.assertEqual(s.reg_dword(HKCU, "CrashFlag"), 0)
            fps = s.reg_query(HKCU, "AvgFps")
            self.assertIsNotNone(fps)
            self.assertGreater(float(fps[1]), 0.0)

    def test_mouse_may_move_the_threshold_but_not_one_pixel_more(self):
        with SaverSession() as s:
            s.reg_add(SYSTEM_KEY, "Mouse Threshold", 20)
            s.mouse_move(500, 400)
            proc, window = s.start_saver()
            self.assertIsNotNone(window)
            s.mouse_move(520, 380)
            s.mouse_move(480, 420)
            self.assertTrue(s.handled_everything_so_far(proc, window), "moving the threshold ended the saver")
            s.mouse_move(500, 421)
            self.assertEqual(wait_exit(proc, 60), 0, "moving one more pixel did not end the saver")
            self.assertIn("Mouse moved -- Quitting screensaver", s.read_log())

    def test_close_requests_that_no_rule_raised_are_ignored(self):
        with SaverSession() as s:
            proc, window = s.start_saver()
            self.assertIsNotNone(window)
            helper = FOLDER + r"\post_message.exe"
            self.assertEqual(s.run(helper, TITLE, "close"), 0)
            self.assertEqual(s.run(helper, TITLE, "sysclose"), 0)
            # Posted messages are handled before the keys that follow them.
            self.assertTrue(s.handled_everything_so_far(proc, window), "a plain close message ended the saver")
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)

    def test_after_the_password_delay_the_password_rule_runs(self):
        with SaverSession() as s:
            s.reg_add(SYSTEM_KEY, "Password Delay", 0)
            proc, window = s.start_saver()
            self.assertIsNotNone(window)
            # Past a delay of 0 s once the saver has run a little: the pause
            # and the music going on again take longer than that.
            self.assertTrue(s.handled_everything_so_far(proc, window))
            s.key("space", window=window)
            # On the NT platform the system guards the desktop, so it closes.
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertIn("WM_CLOSE: GetTickCount() - ss->InitTime > 1000*ss->PasswordDelay", s.read_log())


class Preview(unittest.TestCase):
    def test_runs_as_a_child_of_the_host_window_and_ends_with_it(self):
        with SaverSession() as s:
            s.install(programs=HELPERS)
            handle_file = s.c_path(r"C:\Zelvora\host.txt")
            report_file = s.c_path(r"C:\Zelvora\children.txt")
            host = s.start(FOLDER + r"\preview_host.exe", r"C:\Zelvora\host.txt", "3",
                           r"C:\Zelvora\children.txt")
            self.assertTrue(wait_for_file(handle_file), "no preview host")
            with open(handle_file) as f:
                handle = f.read().strip()

            proc = s.start(SCR, "/p", handle)
            self.assertTrue(wait_for_file(report_file, timeout=90), "the host saw no child window")
            self.assertIsNone(proc.poll(), "the preview ended by itself")
            with open(report_file) as f:
                children = [line.split() for line in f if line.strip()]
            # The saver window fills the host's 320 x 240 client area.
            self.assertEqual(children, [["ZelvoraPelkSaver", "0", "0", "320", "240", "1"]])
            # Keys do not end a preview; the host going away does.
            s.key("a")
            self.assertEqual(wait_exit(host, 30), 0)
            self.assertEqual(wait_exit(proc, 30), 0, "the preview outlived its host")
            log = s.read_log()
            self.assertIn("Running in Preview mode.", log)
            self.assertIn("Creating preview window via CreateWindow()", log)
            self.assertIn("Running in fast mode", log)
            self.assertIn("Exit function: DoSaver()", log)
            self.assertNotIn("Key pressed", log)


def display_mode(s):
    out = s.c_path(r"C:\Zelvora\mode.txt")
    if os.path.exists(out):
        os.unlink(out)
    if s.run(FOLDER + r"\query_display.exe", r"C:\Zelvora\mode.txt") != 0:
        return None
    with open(out) as f:
        return f.read().strip()


class DisplayMode(unittest.TestCase):
    def test_a_changed_mode_is_restored_at_the_end(self):
        with SaverSession() as s:
            s.install(programs=HELPERS)
            original = display_mode(s)
            self.assertEqual(original, "%dx%dx32" % (s.width, s.height))
            for name, value in (("DispModeWidth", s.width), ("DispModeHeight", s.height), ("DispModeBits", 16)):
                s.reg_add(HKCU, name, str(value), "REG_SZ")
            proc = s.start(SCR, "/s")
            window = s.wait_for_window(TITLE, timeout=60)
            self.assertIsNotNone(window, "the saver did not start in the requested mode")
            # Wine emulates a depth change inside the process that asked for it,
            # so another process cannot see the 16 bits; the log shows the change.
            self.assertTrue(s.wait_for_log("Entering main loop..."))
            s.key("q", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertEqual(display_mode(s), original)
            log = s.read_log()
            in_order(self, log, ["Requested mode:%dx%dx16" % (s.width, s.height), "Calling ChangeDisplaySettings()",
                                 "Entering main loop...", "Changing back display settings",
                                 "ChangeDisplaySettings(NULL,0)", "Exit function: DoSaver()"])
            self.assertNotIn("failed", log)

    def test_a_refused_mode_is_reported_and_the_saver_returns(self):
        with SaverSession() as s:
            s.install(programs=HELPERS)
            s.reg_add(HKCU, "DispModeWidth", "1280", "REG_SZ")
            s.reg_add(HKCU, "DispModeHeight", "1024", "REG_SZ")
            proc = s.start(SCR, "/s")
            box = s.wait_for_window("Error", timeout=60)
            self.assertIsNotNone(box, "no message for the refused mode")
            s.screenshot("mode-refused.png")
            self.assertEqual(s.find_windows(TITLE), [])
            s.key("Return", window=box)
            self.assertEqual(wait_exit(proc, 60), 0)
            log = s.read_log()
            in_order(self, log, ["Requested mode:1280x1024x16", "Calling ChangeDisplaySettings()",
                                 "Call to ChangeDisplaySettings() failed.", "Exit function: DoSaver()"])


if __name__ == "__main__":
    unittest.main()
