"""After a crash: the saver's own exception filter (the dump, the reporter
started, the crash values reset, no system crash box; the "corrupted" box
instead when a file is damaged), and the error reporter against a
scripted server on 127.0.0.1: what it posts, the server's answers, Cancel
while the server is silent, and "Do not ask again"."""
import base64
import os
import re
import sys
import time
import unittest
import urllib.parse

from test_music_dialog import MusicSession
from test_startup import HKCU, install_with_checksums
from zvharness import Session, wait_exit, wait_for_file, wait_until
from zvserver import ScriptedServer

FOLDER = r"C:\Zelvora"
SCR = FOLDER + r"\ZelvoraPelk.scr"
REPORTER = FOLDER + r"\Brevatch.exe"
PROGRAMS = ("ZelvoraPelk.scr", "Brevatch.exe", "crash_process.exe", "dialog_control.exe",
            "list_box_items.exe", "preview_host.exe")
# The crashed run's log, kept apart from the log later runs write.
CRASH_LOG = "OrbexCrashLog.txt"
QUESTION = "Abnormal Termination"
REPORT = "Error report"
STATUS, MESSAGE, LINK = 1160, 1161, 1162
DONT_ASK = 1201
COMMENTS = 1202
THANKS = "Thank you for sending this error report.  We will do our best to diagnose the issue."
NOT_SENT = ("The error report was not able to be sent over the internet.  You may not be connected or may be "
            "behind a firewall.")
NEWER = ("It appears that there is a newer version of the software available.  If you are experiencing "
         "errors, we strongly recommend having the latest version of the software installed.  To visit the "
         "download page for the newest version, please click the link below.")


def base64_text(data):
    """The dump as the reporter sends it: 72-character lines and a final line
    break, written in text mode (CR LF)."""
    encoded = base64.b64encode(data).decode()
    lines = [encoded[i:i + 72] for i in range(0, len(encoded), 72)]
    return ("\r\n".join(lines) + "\r\n").encode()


def wait_message(s, title, timeout=40):
    """The text of the progress dialog `title`'s message once it is shown
    (the text follows the showing in the same step), or None."""
    def shown():
        state = s.control(MESSAGE, "state", title=title)
        return state is not None and "visible=1" in state and s.control(MESSAGE, "text", title=title)
    return wait_until(shown, timeout, 0.5) or None


class ReporterSession(MusicSession):
    def __init__(self, audio=False):
        # A crashing saver runs with a sound device, as on a user's machine.
        Session.__init__(self, audio=audio)

    def setup(self, server=None, log=None, dump=None):
        self.install()
        folder = self.data_folder()
        os.makedirs(folder, exist_ok=True)
        for name, data in ((CRASH_LOG, log), ("zv_minidump.dmp", dump)):
            if data is not None:
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(data)
        if server is not None:
            self.reg_add(HKCU, "WebServer", server, "REG_SZ")

    def install(self, programs=PROGRAMS, **kwargs):
        return super(MusicSession, self).install(programs=PROGRAMS, **kwargs)

    def start_reporter(self):
        self.reporter = self.start(self.c_path(REPORTER))
        return self.wait_for_window(QUESTION, timeout=40)

    def answer(self, button, dont_ask=False):
        if dont_ask:
            self.press(DONT_ASK, title=QUESTION)
        self.press(button, title=QUESTION)

    def comment(self, text):
        """Types the comment as a user would and sends it. The comments
        dialog (it has no title) opens with the focus in its text box; the
        keys go in once the X focus is on it, and Send once the box shows
        every letter typed."""
        box = "dialog:"
        if not wait_until(lambda: self.control(COMMENTS, "state", title=box) is not None, 60, 0.3):
            raise AssertionError("no comments dialog")
        focused = wait_until(lambda: self.xdotool("getwindowfocus", "getwindowname") == "", 30, 0.2)
        if not focused:
            raise AssertionError("the comments dialog never had the focus")
        shown = ""
        # On a loaded display a shifted character can arrive unshifted ("&"
        # as "7"); a box that shows something else is emptied and typed
        # again, as a user would.
        for _ in range(3 if text else 0):
            self.xdotool("type", "--delay", "30", text)
            wait_until(lambda: self.control(COMMENTS, "text", title=box) == text, 10, 0.3)
            shown = self.control(COMMENTS, "text", title=box)
            if shown == text:
                break
            self.key("ctrl+End")
            self.xdotool("key", "--delay", "20", *(["BackSpace"] * (len(shown or "") + 2)))
            wait_until(lambda: self.control(COMMENTS, "text", title=box) == "", 10, 0.3)
        if shown != text:
            raise AssertionError("the comment box shows %r" % shown)
        self.key("Tab")
        self.key("space")

    def wait_answer(self, timeout=40):
        return wait_message(self, REPORT, timeout)

    def visible(self, control):
        return "visible=1" in (self.control(control, "state", title=REPORT) or "")


# What a user may well type: each of "&", "+" and "%" breaks a form that is
# not encoded.
COMMENT = "It crashed & burned + 100% sure"


def form_fields(body):
    """The posted form as a server's standard parser reads it: (name, bytes)
    pairs in order, every value decoded."""
    return [(name, value.encode("latin-1"))
            for name, value in urllib.parse.parse_qsl(body.decode("ascii"), keep_blank_values=True,
                                                      strict_parsing=True, encoding="latin-1")]


class Crash(unittest.TestCase):
    def crash_running_saver(self, s, damage=False):
        bundle = install_with_checksums(s, programs=PROGRAMS)
        s.set_desktop_mode()
        saver = s.start(s.c_path(SCR), "/s")
        self.assertIsNotNone(s.wait_for_window("Zelvora: Quorrin", timeout=60), "no saver window")
        # Crashed in its main loop, the saver's own exception filter long in place.
        self.assertTrue(s.wait_for_log("Entering main loop..."), s.read_log())
        # As a saver in its critical phase would have left them.
        s.reg_add(HKCU, "CrashFlag", 1)
        s.reg_add(HKCU, "CriticalError", 1)
        if damage:
            with open(bundle, "r+b") as f:
                f.seek(1000)
                f.write(b"\x00")
        self.assertEqual(s.run(s.c_path(FOLDER + r"\crash_process.exe"), "Zelvora: Quorrin"), 0)
        return saver

    def assert_saver_ends(self, s, saver):
        """Wine's dump writer takes some 15 s on a quiet machine and several
        times that on a loaded one, so the wait goes on while the dump still
        grows; 90 s with neither growth nor an end is a hang."""
        dump = os.path.join(s.data_folder(), "zv_minidump.dmp")
        size, changed = None, time.time()
        while wait_exit(saver, 2) is None:
            now_size = os.path.getsize(dump) if os.path.exists(dump) else None
            if now_size != size:
                size, changed = now_size, time.time()
            elif time.time() - changed > 90:
                self.fail("the saver did not end (dump: %s bytes)" % size)

    def test_a_crash_writes_the_dump_starts_the_reporter_and_resets_the_values(self):
        with ReporterSession(audio=True) as s:
            saver = self.crash_running_saver(s)
            self.assertIsNotNone(s.wait_for_window(QUESTION, timeout=60), "the reporter did not start")
            # (What the damaged-file case looks for to see that none started.)
            self.assertNotEqual(s.processes("Brevatch"), [])
            self.assert_saver_ends(s, saver)
            s.keep_shot(s.screenshot("crash.png"), "crash-reporter-question.png")
            # Wine's own crash dialog would be "Program Error".
            self.assertEqual(s.find_windows(".*Program Error.*"), [])
            dump = os.path.join(s.data_folder(), "zv_minidump.dmp")
            self.assertTrue(os.path.exists(dump), "no crash dump")
            with open(dump, "rb") as f:
                self.assertEqual(f.read(4), b"MDMP")
            self.assertEqual(s.reg_dword(HKCU, "CrashFlag"), 0)
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)

    def test_the_report_carries_the_crashed_runs_log_though_a_preview_ran_since(self):
        with ScriptedServer(reply=b"") as server, ReporterSession(audio=True) as s:
            saver = self.crash_running_saver(s)
            s.reg_add(HKCU, "WebServer", server.address, "REG_SZ")
            self.assertIsNotNone(s.wait_for_window(QUESTION, timeout=60), "the reporter did not start")
            self.assert_saver_ends(s, saver)
            crashed = s.read_log()
            self.assertIn("Entering main loop...", crashed)

            # As Display Properties does on its own: a preview, which starts
            # a log of its own.
            handle_file = s.c_path(FOLDER + r"\host.txt")
            host = s.start(s.c_path(FOLDER + r"\preview_host.exe"), FOLDER + r"\host.txt", "3",
                           FOLDER + r"\children.txt")
            self.assertTrue(wait_for_file(handle_file), "no preview host")
            with open(handle_file) as f:
                preview = s.start(s.c_path(SCR), "/p", f.read().strip())
            self.assertEqual(wait_exit(host, 60), 0)
            self.assertEqual(wait_exit(preview, 60), 0)
            self.assertIn("Running in Preview mode.", s.read_log())

            s.answer(1)
            s.comment("x")
            self.assertEqual(s.wait_answer(), THANKS)
            sent = dict(form_fields(server.requests[0]["body"]))["logData"].decode("latin-1")
            self.assertIn("Running in normal Screensaver mode.", sent)
            self.assertIn("Entering main loop...", sent)
            self.assertNotIn("Running in Preview mode.", sent)
            s.press(1, title=REPORT)
            # Started by the crash, not by the test: seen through its process.
            self.assertTrue(wait_until(lambda: s.processes("Brevatch") == [], 30), "the reporter did not end")
            # Sent, so no longer kept.
            self.assertFalse(os.path.exists(os.path.join(s.data_folder(), CRASH_LOG)))

    def test_a_crash_with_a_damaged_file_says_so_and_starts_nothing(self):
        with ReporterSession(audio=True) as s:
            saver = self.crash_running_saver(s, damage=True)
            text = wait_until(lambda: s.control(0xFFFF, "text", title="dialog:Zelvora: Quorrin"), 30, 0.5)
            self.assertTrue(text, "no message box")
            self.assertIn("appears to have been corrupted", text)
            s.keep_shot(s.screenshot("corrupted.png"), "crash-corrupted.png")
            self.assertEqual(s.find_windows(QUESTION), [])
            s.key("Return")
            self.assert_saver_ends(s, saver)
            # The saver would have started the reporter before it ended.
            self.assertEqual(s.processes("Brevatch"), [], "the reporter started")
            self.assertEqual(s.find_windows(QUESTION), [], "the reporter started")
            self.assertFalse(os.path.exists(os.path.join(s.data_folder(), "zv_minidump.dmp")))
            self.assertEqual(s.reg_dword(HKCU, "CrashFlag"), 0)
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)


class Reporter(unittest.TestCase):
    def test_yes_a_comment_and_send_posts_everything_and_shows_the_newer_version(self):
        log = b"first line\r\nwith\0zero\0bytes\r\n"
        dump = bytes(range(256)) * 20 + b"tail"
        link = "http://127.0.0.1:9/download"
        reply = ("<status>3</status><link>%s</link>" % link).encode()
        with ScriptedServer(reply=reply) as server, ReporterSession() as s:
            s.setup(server.address, log=log, dump=dump)
            self.assertIsNotNone(s.start_reporter(), "no question")
            s.answer(1)
            s.comment(COMMENT)
            self.assertIsNotNone(s.wait_for_window(REPORT, timeout=30), "no report dialog")
            self.assertEqual(s.wait_answer(), NEWER)
            self.assertTrue(s.visible(LINK))
            self.assertEqual(s.control(LINK, "text", title=REPORT), link)
            s.keep_shot(s.screenshot("report.png"), "reporter-newer-version.png")

            request = server.requests[0]
            self.assertEqual(request["path"], "/bugs/orbex1_bug.php")
            self.assertEqual(form_fields(request["body"]),
                             [("appName", b"Zelvora: Quorrin 1.05"), ("version", b"1.05"),
                              ("comments", COMMENT.encode()), ("logData", log.replace(b"\0", b" ")),
                              ("dumpData", base64_text(dump))])
            self.assertEqual(base64.b64decode(form_fields(request["body"])[4][1]), dump)
            with open(os.path.join(s.data_folder(), "zv_minidump.b64"), "rb") as f:
                self.assertEqual(f.read(), base64_text(dump))

            s.press(1, title=REPORT)
            self.assertTrue(s.confirm("Are you sure\\?", key="space"), "Close did not ask")
            self.assertEqual(wait_exit(s.reporter, 30), 0)

    def test_an_empty_reply_thanks_and_close_ends_the_program(self):
        with ScriptedServer(reply=b"") as server, ReporterSession() as s:
            s.setup(server.address)
            self.assertIsNotNone(s.start_reporter())
            s.answer(1)
            s.comment("x")
            self.assertEqual(s.wait_answer(), THANKS)
            self.assertFalse(s.visible(LINK))
            request = server.requests[0]
            # No log: no logData; no dump: its text is the single line break.
            self.assertEqual(form_fields(request["body"]),
                             [("appName", b"Zelvora: Quorrin 1.05"), ("version", b"1.05"),
                              ("comments", b"x"), ("dumpData", b"\r\n")])
            s.press(1, title=REPORT)
            self.assertEqual(wait_exit(s.reporter, 30), 0)
            self.assertEqual(s.reg_dword(HKCU, "ShowErrorReport"), 1)

    def test_a_refusal_a_flood_or_a_silent_server_end_in_a_failure_text(self):
        cases = (
            (dict(reply=b"<msg>Known issue</msg>", status=404),
             "The server did not accept the error report (HTTP status 404)."),
            # Ten megabytes and no length announced: the reader stops by itself.
            (dict(reply=b"<msg>x</msg>" + b"y" * (10 << 20), announce_length=False),
             "The server's answer to the error report was too large to read."),
            # Connected, then never a byte: the receive timeout ends it.
            (dict(hang=True), NOT_SENT),
        )
        with ReporterSession() as s:
            s.setup()
            for server_options, expected in cases:
                with ScriptedServer(**server_options) as server:
                    s.reg_add(HKCU, "WebServer", server.address, "REG_SZ")
                    self.assertIsNotNone(s.start_reporter(), "no question")
                    s.answer(1)
                    s.comment("x")
                    self.assertEqual(s.wait_answer(timeout=90), expected)
                    self.assertFalse(s.visible(LINK))
                    s.keep_shot(s.screenshot("failure.png"), "reporter-failure-%d.png" % cases.index(
                        (server_options, expected)))
                    s.press(1, title=REPORT)
                    self.assertEqual(wait_exit(s.reporter, 30), 0)

    def test_cancel_while_the_server_is_silent_closes_at_once(self):
        with ScriptedServer(hang=True) as server, ReporterSession() as s:
            s.setup(server.address)
            self.assertIsNotNone(s.start_reporter())
            s.answer(1)
            s.comment("")
            self.assertIsNotNone(server.wait_for_request(), "nothing was posted")
            # The dots move while it waits. (Before the first tick the text
            # is the template's own.)
            seen = set()

            def dots_moved():
                seen.add(s.control(STATUS, "text", title=REPORT))
                return len([t for t in seen if re.match(r"^Sending error report\.{0,7}$", t or "")]) >= 2
            self.assertTrue(wait_until(dots_moved, 30, 0.3), seen)
            look = s.look_time(REPORT)
            start = time.time()
            s.press(2, title=REPORT)
            pressed = time.time() - start
            gone, last_seen = s.gone_within(REPORT, start)
            self.assertTrue(gone)
            # Within half a second of the press, allowing for the machine's
            # pace at that moment: one look, or what a small Wine program
            # took right after, when a load came with the press (the dialog's
            # close is Wine's work as much as that program's).
            began = time.time()
            s.reg_query(HKCU, "WebServer")
            wine = time.time() - began
            sys.stderr.write("\ncancel: last seen %.2f s after the press began (press %.2f s, look %.2f s, "
                             "Wine program %.2f s)\n" % (last_seen, pressed, look, wine))
            self.assertLess(last_seen, pressed + 0.5 + max(look, wine), (pressed, look, wine))
            self.assertEqual(wait_exit(s.reporter, 30), 0)

    def test_no_with_do_not_ask_again_sends_nothing_and_turns_both_off(self):
        with ScriptedServer(reply=b"") as server, ReporterSession() as s:
            s.setup(server.address, log=b"the crashed run\r\n")
            self.assertIsNotNone(s.start_reporter())
            s.answer(2, dont_ask=True)
            # A report would have been on the server before the reporter,
            # which waits for the reply, could end.
            self.assertEqual(wait_exit(s.reporter, 30), 0)
            self.assertEqual(server.requests, [])
            self.assertEqual(s.reg_dword(HKCU, "ShowErrorReport"), 0)
            # Declined, so the crashed run's log is no longer kept.
            self.assertFalse(os.path.exists(os.path.join(s.data_folder(), CRASH_LOG)))
            self.assertEqual(s.reg_dword(HKCU, "ShowBugReport"), 0)


if __name__ == "__main__":
    unittest.main()
