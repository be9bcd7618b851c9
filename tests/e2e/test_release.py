"""The release as a Windows user gets it: the installer run silently in a
fresh prefix lands every file, the saver's own file check passes on what it
installed, the help file opens from the settings dialog, and the uninstaller
takes away exactly what belongs to the product. Run with its pages, the
installer ends in the settings. The help pages' links all resolve."""
import filecmp
import html.parser
import os
import re
import shutil
import unittest

from test_settings_dialog import HELP, TITLE, DialogSession
from zvharness import PRODUCT_KEY, Session, act_until, wait_exit, wait_until, write_file

HKCU = "HKCU\\" + PRODUCT_KEY
RECORD = "HKLM\\" + PRODUCT_KEY + "\\AppData"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelvora"
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DIST = os.environ.get("ZV_DIST_DIR") or os.path.join(ROOT, "dist")
HELP_SOURCES = os.path.join(ROOT, "ui", "help")
FOLDER = r"C:\Program Files\Zelvora"
SCR = FOLDER + r"\ZelvoraPelk.scr"
SETUP = r"C:\ZelvoraSetup.exe"
SETUP_TITLE = "Zelvora: Quorrin 1.071 Setup.*"
HELP_TITLE = "Zelvora: Quorrin Help"
INSTALLED = ["Brevatch.exe", "LICENSES.txt", "Orbex.CHM", "Uninstall.exe", "ZelvoraPelk.exe",
             "ZelvoraPelk.scr", "chk.sum", "images.bdl"]


def copy_setup(s):
    shutil.copy2(os.path.join(DIST, "ZelvoraSetup.exe"), s.c_path(SETUP))


def install_silently(s):
    copy_setup(s)
    return s.run(s.c_path(SETUP), "/S", timeout=180)


class Installer(unittest.TestCase):
    def test_a_silent_install_lands_the_files_and_passes_the_file_check(self):
        with Session() as s:
            self.assertEqual(install_silently(s), 0)
            self.assertEqual(sorted(os.listdir(s.c_path(FOLDER))), INSTALLED)
            for name in INSTALLED:
                if name != "Uninstall.exe":
                    self.assertTrue(filecmp.cmp(s.c_path(FOLDER + "\\" + name), os.path.join(DIST, name), shallow=False), name)
            self.assertTrue(filecmp.cmp(s.c_path(r"C:\windows\ZelvoraPelk.scr"), os.path.join(DIST, "ZelvoraPelk.scr"), shallow=False))
            # The installing user's data folder, created and recorded by "initialsecurity".
            self.assertTrue(os.path.isdir(s.data_folder()))
            self.assertEqual(s.reg_query(RECORD, s.user),
                             ("REG_SZ", "C:\\users\\%s\\AppData\\Roaming\\PelkSoft\\Zelvora\\" % s.user))
            # Registered in Add/Remove Programs.
            self.assertEqual(s.reg_query(UNINSTALL_KEY, "DisplayName"), ("REG_SZ", "Zelvora: Quorrin"))
            self.assertEqual(s.reg_query(UNINSTALL_KEY, "UninstallString"),
                             ("REG_SZ", '"%s\\Uninstall.exe"' % FOLDER))
            # A silent install opens nothing: the settings would have been
            # started before the installer ended.
            self.assertEqual(s.processes("ZelvoraPelk"), [])
            self.assertEqual(s.find_windows(TITLE), [])

            # A drawing error last time: the files are checked, silently if intact.
            s.set_desktop_mode()
            s.reg_add(HKCU, "CriticalError", 2)
            proc = s.start(SCR, "/s")
            window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
            self.assertIsNotNone(window, "no saver window")
            # The files are checked before the run goes on to its main loop.
            self.assertTrue(s.wait_for_log("Entering main loop..."), s.read_log())
            self.assertEqual(s.find_windows("Encountered corrupted file\\(s\\)"), [])
            self.assertEqual(s.find_windows("Error initializing"), [])
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)

    def test_the_help_button_opens_the_installed_help_file(self):
        with DialogSession() as s:
            self.assertEqual(install_silently(s), 0)
            s.reg_add(HKCU, "ShowSpeedTip", 0)
            s.proc = s.start(SCR, "/c")
            self.assertIsNotNone(s.wait_dialog(), "no settings dialog")
            # A click lost while the dialog settles is made again.
            opened = act_until(lambda: s.click(HELP), lambda: s.find_windows(HELP_TITLE), 90, 15)
            self.assertTrue(opened, "Help! opened nothing")
            s.keep_shot(s.screenshot("help.png"), "release-help.png")

    def test_the_uninstaller_removes_the_product_and_nothing_else(self):
        with Session(audio=False) as s:
            self.assertEqual(install_silently(s), 0)
            s.reg_add(HKCU, "ShowSpeedTip", 0)
            mine = s.data_folder()
            write_file(os.path.join(mine, "OrbexLog.txt"), "log")
            # Another user's data folder, recorded by the saver's first run for them.
            bob = s.data_folder("bob")
            write_file(os.path.join(bob, "bob.M3U"))
            s.reg_add(RECORD, "bob", "C:\\users\\bob\\AppData\\Roaming\\PelkSoft\\Zelvora\\", "REG_SZ")
            # Neighbours that belong to someone else.
            neighbours = [s.c_path(r"C:\Program Files\Other\keep.txt"),
                          os.path.join(os.path.dirname(mine), "Other", "keep.txt")]
            for path in neighbours:
                write_file(path, "keep")
            s.reg_add(r"HKLM\Software\PelkSoft\Other", "Keep", 1)
            windows_files = set(os.listdir(s.c_path(r"C:\windows")))

            # What Add/Remove Programs runs, made quiet.
            command = s.reg_query(UNINSTALL_KEY, "QuietUninstallString")[1]
            self.assertEqual(command, '"%s\\Uninstall.exe" /S' % FOLDER)
            self.assertEqual(s.run(s.c_path(FOLDER + r"\Uninstall.exe"), "/S", timeout=120), 0)
            # The uninstaller carries on from a copy of itself in the temporary folder.
            self.assertTrue(wait_until(lambda: not os.path.exists(s.c_path(FOLDER)), 120, 0.5),
                            os.listdir(s.c_path(FOLDER)) if os.path.exists(s.c_path(FOLDER)) else "")
            self.assertTrue(wait_until(lambda: not s.reg_key_exists(UNINSTALL_KEY), 30, 0.5))

            self.assertFalse(os.path.exists(s.c_path(r"C:\windows\ZelvoraPelk.scr")))
            self.assertFalse(os.path.exists(mine))
            self.assertFalse(os.path.exists(bob))
            self.assertFalse(s.reg_key_exists(RECORD))
            # The machine key the saver made for the record goes when nothing is left in it.
            self.assertFalse(s.reg_key_exists(r"HKLM\Software\PelkSoft\PelkSaver"))
            self.assertEqual(s.reg_dword(r"HKLM\Software\PelkSoft\Other", "Keep"), 1)
            for path in neighbours:
                self.assertTrue(os.path.isfile(path), path)
            self.assertEqual(set(os.listdir(s.c_path(r"C:\windows"))), windows_files - {"ZelvoraPelk.scr"})
            # The user's own settings stay for a later installation.
            self.assertEqual(s.reg_dword(HKCU, "ShowSpeedTip"), 0)

    def test_an_install_with_its_pages_ends_in_the_settings(self):
        with DialogSession() as s:
            copy_setup(s)
            proc = s.start(s.c_path(SETUP))
            window = s.wait_for_window(SETUP_TITLE, timeout=60)
            self.assertIsNotNone(window, "no installer window")
            # Kept for a person to look at once the page is drawn (not flat).
            wait_until(lambda: Session.image_stats(s.screenshot("setup-folder.png"))[1] > 0.05, 30, 0.5)
            s.keep_shot(s.screenshot("setup-folder.png"), "release-setup-folder.png")
            # Install, into the offered folder, then Close; a key lost by a busy
            # X server is pressed again.
            self.assertTrue(act_until(lambda: s.key("Return"),
                                      lambda: os.path.isfile(s.c_path(FOLDER + r"\Uninstall.exe")), 120))
            # Close, once the installation is over and the last page says so.
            # A Return pressed again above may have closed it already; one
            # more would then reach the settings the installer opened.
            self.assertTrue(act_until(lambda: proc.poll() is None and s.key("Return"),
                                      lambda: proc.poll() is not None, 90))
            self.assertEqual(proc.returncode, 0)
            # Started before the installer ended (the silent case looks for this).
            self.assertNotEqual(s.processes("ZelvoraPelk"), [])
            # /z: the control panel's screen-saver choice (which Wine lacks), then the settings.
            self.assertIsNotNone(s.wait_dialog(), "the settings did not open after the installation")
            s.keep_shot(s.screenshot("after-setup.png"), "release-after-setup.png")


class LinkCollector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("href", "src") or (tag == "param" and name == "value" and value.endswith(".htm")):
                self.links.append(value)


class HelpPages(unittest.TestCase):
    def test_every_link_resolves_and_every_page_is_compiled(self):
        with open(os.path.join(HELP_SOURCES, "Orbex.hhp")) as f:
            project = f.read()
        files = re.search(r"\[FILES\]\n(.*?)\n\n", project, re.S).group(1).split()
        self.assertIn("settings.htm", files)
        self.assertRegex(project, r"IDH_SETTINGS=settings\.htm")
        self.assertRegex(project, r"#define IDH_SETTINGS 1\b")
        pages = [n for n in os.listdir(HELP_SOURCES) if n.endswith((".htm", ".hhc"))]
        for page in pages:
            collector = LinkCollector()
            with open(os.path.join(HELP_SOURCES, page), encoding="cp1252") as f:
                collector.feed(f.read())
            for link in collector.links:
                target = link.split("#")[0]
                if not target or re.match(r"^[a-z]+:", target):
                    continue
                self.assertIn(target, files, "%s links to %s, which is not compiled in" % (page, link))
                self.assertTrue(os.path.exists(os.path.join(HELP_SOURCES, target)), (page, link))
        for name in files:
            self.assertTrue(os.path.exists(os.path.join(HELP_SOURCES, name)), name)
        # The compiled file in the release holds every page.
        with open(os.path.join(DIST, "Orbex.CHM"), "rb") as f:
            chm = f.read()
        self.assertEqual(chm[:4], b"ITSF")
        for name in files:
            self.assertIn(("/" + name).encode(), chm, name)


if __name__ == "__main__":
    unittest.main()
