"""The update check from the settings dialog against a scripted server on
127.0.0.1: what is posted, a link-only and a message-only reply, a link
that is not a web address, no server at all, a refusal, a flood, and
Cancel while the server keeps silent."""
import re
import sys
import time
import unittest

from test_crash_report import wait_message
from test_music_dialog import MusicSession
from test_settings_dialog import CANCEL as SETTINGS_CANCEL, FOLDER
from zvharness import PRODUCT_KEY, Session, act_until, wait_until
from zvserver import ScriptedServer

UPDATE_TITLE = "Checking for Updates"
UPDATE_BUTTON = (92, 166)
STATUS, MESSAGE, LINK = 1160, 1161, 1162
CLOSE, CANCEL = 1, 2
FOUND = "An update was found!  Please click the link below to visit the download page."


class UpdateSession(MusicSession):
    def open_update(self, server):
        """The update dialog's window, over the settings dialog; a click lost
        while the settings dialog settles is made again."""
        self.install()
        self.proc, origin = self.open(WebServer=server)
        assert origin is not None, "no settings dialog"
        opened = act_until(lambda: self.click(UPDATE_BUTTON), lambda: self.find_windows(UPDATE_TITLE), 60, 15)
        return opened[0] if opened else None

    def item(self, control, what):
        return self.control(control, what, title=UPDATE_TITLE)

    def wait_answer(self, timeout=40):
        return wait_message(self, UPDATE_TITLE, timeout)

    def visible(self, control):
        return "visible=1" in (self.item(control, "state") or "")

    def press_button(self, button=CLOSE):
        self.press(button, title=UPDATE_TITLE)


class Replies(unittest.TestCase):
    def test_a_link_only_reply_offers_the_download_and_close_asks_first(self):
        link = "http://127.0.0.1:9/download/zelvora.exe"
        with ScriptedServer(reply=("<link>%s</link>" % link).encode()) as server, UpdateSession() as s:
            self.assertIsNotNone(s.open_update(server.address), "no update dialog")
            self.assertEqual(s.wait_answer(), FOUND)
            self.assertTrue(s.visible(LINK))
            self.assertEqual(s.item(LINK, "text"), link)
            self.assertTrue(s.visible(CLOSE))
            self.assertFalse(s.visible(CANCEL))
            s.keep_shot(s.screenshot("update.png"), "update-found.png")

            request = server.requests[0]
            self.assertEqual(request["path"], "/updates/orbex1_update.php")
            self.assertEqual(request["body"], b"version=1.071\r\n\0")
            self.assertEqual(request["headers"]["content-type"], "application/x-www-form-urlencoded")
            self.assertEqual(request["headers"]["user-agent"], "CHTTPRequest Client")

            s.press_button()
            self.assertTrue(s.confirm("Are you sure\\?", key="n"), "Close did not ask")
            self.assertNotEqual(s.find_windows(UPDATE_TITLE), [], "No closed the dialog")
            s.press_button()
            self.assertTrue(s.confirm("Are you sure\\?", key="space"))
            self.assertTrue(s.wait_until_gone(UPDATE_TITLE, timeout=20))
            self.assertIsNone(s.proc.poll(), "the settings closed with the update dialog")

    def test_a_message_only_reply_is_shown_without_link_and_closes_at_once(self):
        with ScriptedServer(reply=b"<MSG>You have the latest version.</msg>\r\n") as server, \
                UpdateSession() as s:
            self.assertIsNotNone(s.open_update(server.address))
            self.assertEqual(s.wait_answer(), "You have the latest version.")
            self.assertFalse(s.visible(LINK))
            s.press_button()
            self.assertTrue(s.wait_until_gone(UPDATE_TITLE, timeout=20), "Close asked or did not close")
            self.assertEqual(s.find_windows("Are you sure\\?"), [])

    def test_a_link_that_is_not_a_web_address_is_shown_but_never_run(self):
        with ScriptedServer(reply=b"<link>notepad.exe</link>") as server, UpdateSession() as s:
            self.assertIsNotNone(s.open_update(server.address))
            self.assertEqual(s.wait_answer(), FOUND)
            self.assertEqual(s.item(LINK, "text"), "notepad.exe")
            # A program run from the link would be up within a few times what
            # starting one of our helpers takes here.
            started = time.time()
            self.assertEqual(s.item(LINK, "text"), "notepad.exe")
            start_up = time.time() - started
            s.press(LINK, title=UPDATE_TITLE)
            ran = wait_until(lambda: s.processes("notepad") or s.find_windows(".*Notepad.*"),
                             max(4.0, 3 * start_up), 0.3)
            self.assertFalse(ran, "the link was run")


class Failures(unittest.TestCase):
    def test_no_server_at_all_gives_the_code_of_the_failure(self):
        with UpdateSession() as s:
            # Nothing listens on port 1 of the loopback address.
            self.assertIsNotNone(s.open_update("127.0.0.1:1"))
            message = s.wait_answer()
            self.assertIsNotNone(message)
            self.assertRegex(message, r"^Unable to query the internet for an update\. Code: \d+$")
            self.assertFalse(s.visible(LINK))
            s.keep_shot(s.screenshot("update.png"), "update-no-server.png")

    def test_a_refusal_or_a_flood_is_a_failure_with_its_own_text(self):
        cases = (
            (dict(reply=b"<msg>An update was found!</msg>", status=500),
             "Unable to query the internet for an update. The server answered with HTTP status 500."),
            (dict(reply=b"<link>http://x/</link>" + b" " * (10 << 20)),
             "Unable to query the internet for an update. The server's answer was too large."),
        )
        for server_options, expected in cases:
            with ScriptedServer(**server_options) as server, UpdateSession() as s:
                self.assertIsNotNone(s.open_update(server.address))
                self.assertEqual(s.wait_answer(), expected)
                self.assertFalse(s.visible(LINK))

    def test_cancel_while_the_server_is_silent_closes_at_once(self):
        with ScriptedServer(hang=True) as server, UpdateSession() as s:
            self.assertIsNotNone(s.open_update(server.address))
            self.assertIsNotNone(server.wait_for_request(), "nothing was posted")
            first = s.item(STATUS, "text")
            self.assertRegex(first, r"^Looking for updates\.{0,7}$")
            second = wait_until(lambda: (lambda text: text != first and text)(s.item(STATUS, "text")), 30, 0.2)
            self.assertTrue(second, "the dots do not move")
            self.assertRegex(second, r"^Looking for updates\.{0,7}$")
            look = s.look_time(UPDATE_TITLE)
            start = time.time()
            s.press_button(CANCEL)
            pressed = time.time() - start
            gone, last_seen = s.gone_within(UPDATE_TITLE, start)
            self.assertTrue(gone)
            # Within half a second of the press, allowing one look of the
            # machine's present pace for the press to reach the dialog.
            sys.stderr.write("\ncancel: last seen %.2f s after the press began (press %.2f s, look %.2f s)\n"
                             % (last_seen, pressed, look))
            self.assertLess(last_seen, pressed + 0.5 + look, (pressed, look))
            self.assertIsNone(s.proc.poll(), "the settings closed with the update dialog")


class MachineServer(unittest.TestCase):
    KEY = "HKLM\\" + PRODUCT_KEY

    def check(self, s, server):
        """Runs one update check from the settings with no server of the
        user's; returns what the dialog says and how many requests the
        server got."""
        s.proc, origin = s.open()
        self.assertIsNotNone(origin, "no settings dialog")
        s.click(UPDATE_BUTTON)
        self.assertIsNotNone(s.wait_for_window(UPDATE_TITLE, timeout=30))
        message = s.wait_answer(timeout=90)
        s.press_button(CLOSE)
        self.assertTrue(s.gone_within(UPDATE_TITLE, time.time())[0])
        self.assertEqual(s.finish(SETTINGS_CANCEL), 0)
        return message, len(server.requests)

    def test_a_machine_server_counts_only_while_only_administrators_can_write_its_key(self):
        with ScriptedServer(reply=b"<msg>From the machine's server</msg>") as server, UpdateSession() as s:
            Session.install(s, programs=("ZelvoraPelk.scr", "open_key.exe"))
            # As an administrator's installer leaves it: the key inherits
            # the machine's access list, and the saver's first run records
            # its data folder below it without opening it.
            s.reg_add(self.KEY, "WebServer", server.address, "REG_SZ")
            self.assertEqual(self.check(s, server), ("From the machine's server", 1))

            # Opened to every user, as earlier versions left it: any user
            # could have written the value, so it is not used.
            self.assertEqual(s.run(s.c_path(FOLDER + r"\open_key.exe"), PRODUCT_KEY), 0)
            message, requests = self.check(s, server)
            self.assertEqual(requests, 1, "the machine's server was asked again")
            self.assertRegex(message, r"^Unable to query the internet for an update\.")


if __name__ == "__main__":
    unittest.main()
