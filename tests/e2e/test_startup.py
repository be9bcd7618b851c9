"""Start-up of ZelvoraPelk.scr under Wine: log, crash verdicts, single
instance, and the installer's data-folder commands."""
import os
import time
import unittest

from zvharness import PRODUCT_KEY, Session, wait_exit, wait_for_file, wait_until, write_file

HKCU = "HKCU\\" + PRODUCT_KEY
HKLM = "HKLM\\" + PRODUCT_KEY
RECORD = HKLM + "\\AppData"
SCR = r"C:\Zelvora\ZelvoraPelk.scr"


def install_with_checksums(s, programs=("ZelvoraPelk.scr",)):
    """The saver (and `programs`), the demo bundle and the copies the file
    check covers, with a matching chk.sum."""
    folder = s.install(programs=programs)
    bundle = os.path.join(s.c_path(folder), "images.bdl")
    scr = os.path.join(s.c_path(folder), "ZelvoraPelk.scr")
    windows_copy = s.c_path(r"C:\windows\ZelvoraPelk.scr")
    exe_copy = os.path.join(s.c_path(folder), "ZelvoraPelk.exe")
    for dst in (windows_copy, exe_copy):
        with open(scr, "rb") as src, open(dst, "wb") as out:
            out.write(src.read())
    # Slots 0, 1, 3 and 7 are not checked; garbage there must not matter.
    s.write_chk_sum(folder, [0xDEADBEEF, 0x12345678, bundle, 0, windows_copy, scr, exe_copy, 7])
    return bundle


class LogAndCrashValues(unittest.TestCase):
    def test_saver_run_writes_the_log_and_clears_the_crash_values(self):
        with Session() as s:
            s.install()
            s.set_desktop_mode()
            self.assertEqual(s.run_saver_until_key(SCR), 0)
            log = s.read_log()
            self.assertIsNotNone(log, "no OrbexLog.txt in the data folder")
            lines = log.split("\r\n")
            self.assertTrue(lines[0].startswith("-" * 46 + " Log begins on "), lines[0])
            self.assertTrue(lines[0].endswith(" " + "-" * 46), lines[0])
            self.assertRegex(lines[1], r"^I  +Minimal\[\d{4}\]\d\d/\d\d \d\d:\d\d:\d\d Zelvora: Quorrin started\.$")
            self.assertTrue(lines[2].endswith(" Version: 1.071"), lines[2])
            body = "\n".join(lines)
            order = ["OS is ", "Path: ", "AppData Path: ", "Running in normal Screensaver mode.",
                     "Enter function: DoSaver()", "Exit function: DoSaver()",
                     "Average FPS: ", "Exiting screensaver.", "Successfully exiting WinMain()"]
            positions = [body.find(t) for t in order]
            self.assertNotIn(-1, positions, body)
            self.assertEqual(positions, sorted(positions))
            self.assertTrue(lines[-6].startswith("-" * 47 + " Log ends on "), lines[-6:])
            self.assertEqual(lines[-5:], ["", "", "", "", ""])
            for name in ("CrashFlag", "DoChecksum", "CriticalError"):
                self.assertEqual(s.reg_dword(HKCU, name), 0, name)

            # With logging off the previous log is neither replaced nor deleted.
            s.reg_add(HKCU, "DebugLog", 0)
            proc = s.start(SCR, "/c:0")
            dialog = s.wait_for_window("Zelvora: Quorrin  v 1.071", timeout=60)
            self.assertIsNotNone(dialog, "no settings dialog")
            s.key("Escape", window=dialog)
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertEqual(s.read_log(), log)


class CrashVerdicts(unittest.TestCase):
    def test_initialisation_error_with_intact_files_advises_once(self):
        with Session() as s:
            install_with_checksums(s)
            s.set_desktop_mode()
            s.reg_add(HKCU, "CriticalError", 1)
            proc = s.start(SCR, "/s")
            box = s.wait_for_window("Error initializing", timeout=60)
            self.assertIsNotNone(box, "no 'Error initializing' box")
            shot = s.screenshot("error-initializing.png")
            x, y, w, h = s.window_geometry(box)
            mean, sd = Session.image_stats(shot, "%dx%d+%d+%d" % (w, h, x, y))
            self.assertGreater(mean, 0.3, "the box is not drawn")
            self.assertGreater(sd, 0.05, "the box shows no text")
            s.key("Return", window=box)
            # After the advice the saver runs as usual.
            saver = s.wait_for_window("Zelvora: Quorrin", timeout=60)
            self.assertIsNotNone(saver)
            s.key("x", window=saver)
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)
            # The verdict was cleared, so the next start is silent.
            self.assertEqual(s.run_saver_until_key(SCR), 0)
            self.assertEqual(s.find_windows("Error initializing"), [])

    def test_drawing_error_with_intact_files_starts_silently(self):
        with Session() as s:
            install_with_checksums(s)
            s.set_desktop_mode()
            s.reg_add(HKCU, "CriticalError", 2)
            self.assertEqual(s.run_saver_until_key(SCR), 0, "no saver window, or it did not end")
            self.assertIn("Successfully exiting WinMain()", s.read_log() or "")

    def test_damaged_file_reports_corruption_and_resets_the_crash_values(self):
        with Session() as s:
            bundle = install_with_checksums(s)
            with open(bundle, "r+b") as f:
                f.seek(1000)
                f.write(b"\x00")
            for name in ("CrashFlag", "DoChecksum"):
                s.reg_add(HKCU, name, 1)
            s.reg_add(HKCU, "CriticalError", 2)
            proc = s.start(SCR, "/s")
            box = s.wait_for_window("Encountered corrupted file\\(s\\)", timeout=60)
            self.assertIsNotNone(box, "no corrupted-files box")
            shot = s.screenshot("corrupted-files.png")
            x, y, w, h = s.window_geometry(box)
            mean, _ = Session.image_stats(shot, "%dx%d+%d+%d" % (w, h, x, y))
            self.assertGreater(mean, 0.3)
            s.key("Return", window=box)
            self.assertEqual(wait_exit(proc, 60), 0)
            for name in ("CrashFlag", "DoChecksum", "CriticalError"):
                self.assertEqual(s.reg_dword(HKCU, name), 0, name)
            self.assertIsNone(s.read_log(), "the run went on past the verdict")


class SingleInstance(unittest.TestCase):
    READY = r"C:\Zelvora\holder.txt"

    def start_holder(self, s, mode, seconds, waiters=1):
        """The mutex holder, once it holds the saver's mutex."""
        s.install(programs=("ZelvoraPelk.scr", "mutex_holder.exe"))
        holder = s.start(r"C:\Zelvora\mutex_holder.exe", self.READY, mode, str(seconds), str(waiters))
        self.assertTrue(wait_for_file(s.c_path(self.READY)), "the holder never held the mutex")
        return holder

    def holder_note(self, s):
        with open(s.c_path(self.READY)) as f:
            return f.read()

    def test_second_saver_gives_up_after_fifteen_seconds(self):
        with Session() as s:
            holder = self.start_holder(s, "hold", 120)
            started = time.time()
            self.assertEqual(s.run(SCR, "/s", timeout=120), 0)
            elapsed = time.time() - started
            # The wait alone is 15 s; Wine's start-up only adds to it.
            self.assertGreaterEqual(elapsed, 14.5)
            self.assertIsNone(s.read_log(), "the second saver went on")
            self.assertEqual(s.find_windows("Zelvora: Quorrin"), [])
            self.assertIsNone(holder.poll(), "the holder should still run")

    def test_second_saver_goes_on_when_the_first_ends_in_time(self):
        with Session() as s:
            s.set_desktop_mode()
            holder = self.start_holder(s, "waiter", 60)
            proc = s.start(SCR, "/s")
            # The holder lets go once the saver has waited on the mutex for a while.
            self.assertEqual(wait_exit(holder, 90), 0)
            self.assertIn("released waiter=1", self.holder_note(s), "the saver never waited")
            window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
            self.assertIsNotNone(window)
            s.key("x", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertIn("Running in normal Screensaver mode.", s.read_log() or "")

    def test_of_two_savers_waiting_exactly_one_goes_on(self):
        with Session() as s:
            s.set_desktop_mode()
            # The holder is the first saver; it ends while both others wait.
            holder = self.start_holder(s, "waiter", 60, waiters=2)
            savers = [s.start(SCR, "/s"), s.start(SCR, "/s")]
            self.assertEqual(wait_exit(holder, 90), 0)
            self.assertIn("released waiter=1", self.holder_note(s), "the savers never both waited")
            self.assertIsNotNone(s.wait_for_window("Zelvora: Quorrin", timeout=60))
            # The other keeps waiting until its 15 s are over and then ends;
            # all that while one saver window is all there is.
            most = [0]

            def one_ended():
                most[0] = max(most[0], len(s.find_windows("Zelvora: Quorrin")))
                return any(p.poll() is not None for p in savers)
            self.assertTrue(wait_until(one_ended, 60, 0.3), "neither saver ended")
            ended = next(p for p in savers if p.poll() is not None)
            running = next(p for p in savers if p is not ended)
            self.assertEqual(ended.returncode, 0)
            windows = s.find_windows("Zelvora: Quorrin")
            self.assertEqual(max(most[0], len(windows)), 1, "two savers ran")
            self.assertIsNone(running.poll())
            s.key("x", window=windows[0])
            self.assertEqual(wait_exit(running, 60), 0)


class DataFolders(unittest.TestCase):
    def test_initialsecurity_creates_and_records_the_data_folder(self):
        with Session() as s:
            s.install()
            self.assertEqual(s.run(SCR, "initialsecurity"), 0)
            self.assertTrue(os.path.isdir(s.data_folder()))
            value = s.reg_query(RECORD, s.user)
            self.assertIsNotNone(value, "data folder not recorded")
            self.assertEqual(value[0], "REG_SZ")
            self.assertTrue(value[1].lower().endswith("\\pelksoft\\zelvora\\"), value)
            # Nothing else of start-up ran: no settings were written, no log.
            self.assertIsNone(s.reg_dword(HKCU, "CrashFlag"))
            self.assertIsNone(s.read_log())

    def test_uninstall_deletes_only_recorded_product_folders(self):
        with Session() as s:
            s.install()
            self.assertEqual(s.run(SCR, "initialsecurity"), 0)
            mine = s.data_folder()
            for rel in ("OrbexLog.txt", "sub/a.m3u", "sub/deeper/b.bmp"):
                write_file(os.path.join(mine, rel))
            os.chmod(os.path.join(mine, "sub", "a.m3u"), 0o444)
            bob = s.data_folder("bob")
            write_file(os.path.join(bob, "bob.M3U"))
            # A link inside a data folder is not followed. (Wine reports a Unix
            # symbolic link as a directory link but cannot remove it, so carol's
            # folder itself stays under Wine.)
            carol = s.data_folder("carol")
            write_file(os.path.join(carol, "carol.M3U"))
            linked = s.c_path(r"C:\Linked")
            write_file(os.path.join(linked, "keep.txt"), "keep")
            os.symlink(linked, os.path.join(carol, "link"))
            s.reg_add(RECORD, "carol", "C:\\users\\carol\\AppData\\Roaming\\PelkSoft\\Zelvora", "REG_SZ")

            # Planted values: a foreign folder, a path that climbs out, a non-string.
            victim = s.c_path(r"C:\Important")
            os.makedirs(os.path.join(victim, "PelkSoft", "Zelvora"))
            write_file(os.path.join(victim, "keep.txt"), "keep")
            s.reg_add(RECORD, "bob", "C:\\users\\bob\\AppData\\Roaming\\PelkSoft\\Zelvora\\", "REG_SZ")
            s.reg_add(RECORD, "planted", r"C:\Important", "REG_SZ")
            s.reg_add(RECORD, "climber", r"C:\Important\PelkSoft\Zelvora\..\..", "REG_SZ")
            s.reg_add(RECORD, "number", 5)

            self.assertEqual(s.run(SCR, "/uninstall"), 0)
            self.assertFalse(os.path.exists(mine))
            self.assertFalse(os.path.exists(bob))
            self.assertTrue(os.path.isfile(os.path.join(victim, "keep.txt")))
            self.assertTrue(os.path.isdir(os.path.join(victim, "PelkSoft", "Zelvora")))
            self.assertTrue(os.path.isfile(os.path.join(linked, "keep.txt")))
            self.assertFalse(os.path.exists(os.path.join(carol, "carol.M3U")))
            self.assertFalse(s.reg_key_exists(RECORD))
            # Uninstall runs nothing else of start-up.
            self.assertIsNone(s.reg_dword(HKCU, "CrashFlag"))


if __name__ == "__main__":
    unittest.main()
