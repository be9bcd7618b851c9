"""The release folder dist/ as a user's installation: its chk.sum passes the
saver's own file check, its help file opens from the settings dialog, and
the help pages' links all resolve."""
import html.parser
import os
import re
import shutil
import time
import unittest

from test_settings_dialog import HELP, DialogSession
from zvharness import PRODUCT_KEY, Session, wait_exit

HKCU = "HKCU\\" + PRODUCT_KEY
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DIST = os.environ.get("ZV_DIST_DIR") or os.path.join(ROOT, "dist")
HELP_SOURCES = os.path.join(ROOT, "ui", "help")
FOLDER = r"C:\Program Files\Zelvora"
HELP_TITLE = "Zelvora: Quorrin Help"


def install_release(s):
    """The release's files in Program Files and the saver in the Windows folder."""
    folder = s.c_path(FOLDER)
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(DIST):
        shutil.copy2(os.path.join(DIST, name), os.path.join(folder, name))
    shutil.copy2(os.path.join(DIST, "ZelvoraPelk.scr"), s.c_path(r"C:\windows\ZelvoraPelk.scr"))
    return FOLDER + r"\ZelvoraPelk.scr"


class Release(unittest.TestCase):
    def test_the_release_passes_the_savers_own_file_check(self):
        with Session() as s:
            scr = install_release(s)
            s.set_desktop_mode()
            # A drawing error last time: the files are checked, silently if intact.
            s.reg_add(HKCU, "CriticalError", 2)
            proc = s.start(s.c_path(scr), "/s")
            window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
            self.assertIsNotNone(window, "no saver window")
            time.sleep(3)
            self.assertEqual(s.find_windows("Encountered corrupted file\\(s\\)"), [])
            self.assertEqual(s.find_windows("Error initializing"), [])
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)

    def test_the_help_button_opens_the_help_file(self):
        with DialogSession() as s:
            scr = install_release(s)
            s.reg_add(HKCU, "ShowSpeedTip", 0)
            s.proc = s.start(s.c_path(scr), "/c")
            self.assertIsNotNone(s.wait_dialog(), "no settings dialog")
            time.sleep(2)
            s.click(HELP)
            self.assertIsNotNone(s.wait_for_window(HELP_TITLE, timeout=30), "Help! opened nothing")
            s.keep_shot(s.screenshot("help.png"), "release-help.png")


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
