"""The music selection dialog over the settings dialog: songs added through
the open-file dialog (a path typed as a user would), counted, reordered and
removed, OK writing the custom playlist, playlists chosen alone or with
other files, and Cancel's question."""
import os
import unittest

from test_music import tone, wait_for_tones
from test_settings_dialog import CANCEL, FOLDER, HKCU, DialogSession, sample_until
from zvharness import wait_exit, wait_until

MUSIC_TITLE = "Select Custom Music"
PICKER_TITLE = "Select a song or playlist"
MUSIC_BUTTON = (554, 146)
SONG_LIST, SONG_COUNT = 1103, 1106
ADD, REMOVE, CLEAR, UP, DOWN = 3, 4, 5, 1011, 1012
SONGS = r"C:\Songs"
FILE_NAME = 1152  # the picker's file name box
HELPER = FOLDER + r"\dialog_control.exe"
PROGRAMS = ("ZelvoraPelk.scr", "list_box_items.exe", "dialog_control.exe")
NOT_SAVED = "Music list not saved"


class MusicSession(DialogSession):
    def open_music(self, songs=("alpha.mp3", "beta.ogg", "gamma.wav", "delta.mp3"), **settings):
        """The settings dialog, then the music dialog over it; `songs` are
        files made in C:\\Songs first."""
        self.install(programs=PROGRAMS)
        folder = self.c_path(SONGS)
        os.makedirs(folder, exist_ok=True)
        for name in songs:
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"\0" * 64)
        self.proc, origin = self.open(**settings)
        if origin is None:
            return None
        return self.reopen_music()

    def reopen_music(self):
        """Music... on the settings dialog; the music dialog once its list answers."""
        self.click(MUSIC_BUTTON)
        self.music = self.wait_for_window(MUSIC_TITLE, timeout=60)
        if self.music is None:
            return None
        assert self.songs() is not None, "the music dialog's list does not answer"
        return self.music

    def install(self, programs=PROGRAMS, **kwargs):
        return super().install(programs=PROGRAMS, **kwargs)

    def control(self, control, what, *extra, title=MUSIC_TITLE):
        out = FOLDER + r"\control.txt"
        if not self.helper(HELPER, out, title, str(control), what, *map(str, extra)):
            return None
        with open(self.c_path(out), encoding="utf-8", errors="replace") as f:
            return f.read().strip()

    def until(self, take, expected, timeout=30):
        """What `take()` gives once it is `expected`, or the last one after
        `timeout` s: the effect of a click shows in the dialog a little later."""
        return sample_until(take, lambda value: value == expected, timeout)

    def click_at_screen(self, x, y, window, modifier=None):
        """A click at a screen point that must land on `window`; the caller
        waits for what it does."""
        self.point_at(x, y, window)
        if modifier:
            self.xdotool("keydown", modifier)
        self.xdotool("click", "1")
        if modifier:
            self.xdotool("keyup", modifier)

    def press(self, control, title=MUSIC_TITLE):
        """Clicks a control's middle; the caller waits for what it does."""
        left, top, right, bottom = map(int, self.control(control, "rect", title=title).split())
        self.click_at_screen((left + right) // 2, (top + bottom) // 2, self.wait_for_window(title))

    def click_song(self, index, selected, modifier=None):
        """Clicks a song in the list; the list's selection once it is `selected`."""
        left, top, right, bottom = map(int, self.control(SONG_LIST, "item", index).split())
        self.click_at_screen(left + 20, (top + bottom) // 2, self.music, modifier)
        return self.until(lambda: self.control(SONG_LIST, "selected"), selected)

    def songs(self):
        return self.lines(MUSIC_TITLE, SONG_LIST)

    def lines(self, title, control):
        """The lines of a list box, None without it."""
        out = FOLDER + r"\items.txt"
        if not self.helper(FOLDER + r"\list_box_items.exe", out, title, str(control)):
            return None
        with open(self.c_path(out), encoding="utf-8") as f:
            return f.read().splitlines()[:-1]

    def count_label(self):
        return self.control(SONG_COUNT, "text")

    def open_picker(self):
        """Add File(s); the file picker once its file name box has the focus."""
        self.press(ADD)
        picker = self.wait_for_window(PICKER_TITLE, timeout=60)
        return picker if picker is not None and self.take_focus(picker) else None

    def type_file_name(self, typed, attempts=3):
        """Types into the picker's file name box; what the box shows, `typed`
        once it shows it all. On a loaded display a shifted character can
        arrive unshifted (a quote as an apostrophe), so a box that shows
        something else is emptied and typed again, as a user would."""
        shown = None
        for _ in range(attempts):
            self.xdotool("type", "--delay", "30", typed)
            shown = self.until(lambda: self.control(FILE_NAME, "text", title=PICKER_TITLE), typed, timeout=10)
            if shown == typed:
                break
            # (Wine's edit boxes know no Ctrl+A.)
            self.key("End")
            self.key("shift+Home")
            self.key("BackSpace")
            self.until(lambda: self.control(FILE_NAME, "text", title=PICKER_TITLE), "", timeout=10)
        return shown

    def pick(self, typed):
        """Add File(s), then types `typed` into the file name box and Enter."""
        picker = self.open_picker()
        assert picker is not None, "the file picker did not open with the focus on its name box"
        shown = self.type_file_name(typed)
        assert shown == typed, "the file name box shows %r, not %r" % (shown, typed)
        self.shot_full("picker.png")
        self.key("Return")
        return self.wait_until_gone(PICKER_TITLE, timeout=60)

    def shot_full(self, name):
        path = self.screenshot(name)
        self.keep_shot(path, "music-" + name)
        return path

    def playlist_file(self):
        return os.path.join(self.data_folder(), self.user + ".M3U")


def m3u(paths):
    """The custom playlist as the dialog writes it."""
    text = "\ufeff#EXTM3U\r\n"
    for path in paths:
        title = path.rsplit("\\", 1)[-1].rsplit(".", 1)[0]
        text += "#EXTINF:-1,%s\r\n%s\r\n" % (title, path)
    return text.encode("utf-8")


class AddingAndSaving(unittest.TestCase):
    def test_songs_are_added_counted_reordered_and_saved(self):
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(), "no music dialog")
            self.assertEqual(s.songs(), [])
            self.assertEqual(s.count_label(), "0\nFiles")

            self.assertTrue(s.pick(SONGS + r"\alpha.mp3"))
            self.assertEqual(s.until(s.songs, ["alpha.mp3"]), ["alpha.mp3"])
            # Several at once, from the folder the last choice left open.
            self.assertTrue(s.pick('"beta.ogg" "gamma.wav" "delta.mp3"'))
            four = ["alpha.mp3", "beta.ogg", "gamma.wav", "delta.mp3"]
            self.assertEqual(s.until(s.songs, four), four)
            self.assertEqual(s.until(s.count_label, "4\nFiles"), "4\nFiles")

            # Entries 3 and 4 up by one: they keep their selection.
            self.assertEqual(s.click_song(2, "2"), "2")
            self.assertEqual(s.click_song(3, "2 3", modifier="ctrl"), "2 3")
            s.press(UP)
            up = ["alpha.mp3", "gamma.wav", "delta.mp3", "beta.ogg"]
            self.assertEqual(s.until(s.songs, up), up)
            self.assertEqual(s.control(SONG_LIST, "selected"), "1 2")
            s.shot_full("dialog.png")
            # The first entry cannot go further up; down it goes.
            self.assertEqual(s.click_song(0, "0"), "0")
            s.press(UP)
            # Up's click is handled before the next one, whose effect shows:
            # the second song selected as well, and then not.
            self.assertEqual(s.click_song(1, "0 1", modifier="ctrl"), "0 1")
            self.assertEqual(s.songs()[0], "alpha.mp3")
            self.assertEqual(s.click_song(1, "0", modifier="ctrl"), "0")
            s.press(DOWN)
            down = ["gamma.wav", "alpha.mp3", "delta.mp3", "beta.ogg"]
            self.assertEqual(s.until(s.songs, down), down)
            # Delete removes the selected song.
            self.assertEqual(s.click_song(2, "2"), "2")
            self.assertTrue(s.type_keys(s.music, "Delete"), "the music dialog has no focus")
            three = ["gamma.wav", "alpha.mp3", "beta.ogg"]
            self.assertEqual(s.until(s.songs, three), three)
            self.assertEqual(s.count_label(), "3\nFiles")

            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=60))
            saved = m3u([SONGS + "\\gamma.wav", SONGS + "\\alpha.mp3", SONGS + "\\beta.ogg"])
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), saved)

            # The next opening shows the saved list; Cancel asks first.
            self.assertIsNotNone(s.reopen_music())
            self.assertEqual(s.songs(), three)
            s.press(CLEAR)
            self.assertEqual(s.until(s.count_label, "0\nFiles"), "0\nFiles")
            s.press(2)
            self.assertTrue(s.confirm("Are you sure\\?", key="n"), "Cancel did not ask")
            self.assertEqual(s.songs(), [], "No closed the dialog")
            # Asked again: the dialog outlived the No.
            s.press(2)
            self.assertTrue(s.confirm("Are you sure\\?", key="space"))
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=60))
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), saved, "Cancel changed the file")
            self.assertEqual(s.finish(CANCEL), 0)

    def test_a_list_that_cannot_be_saved_says_so_and_stays(self):
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(), "no music dialog")
            old = m3u([SONGS + "\\beta.ogg"])
            with open(s.playlist_file(), "wb") as f:
                f.write(old)
            # Where the new list is written first, something else is in the way.
            os.makedirs(s.playlist_file() + ".tmp")
            self.assertTrue(s.pick(SONGS + r"\alpha.mp3"))
            self.assertEqual(s.until(s.songs, ["alpha.mp3"]), ["alpha.mp3"])
            s.press(1)
            box = s.wait_for_window(NOT_SAVED, timeout=60)
            self.assertIsNotNone(box, "no word of the failure")
            text = wait_until(lambda: s.control(0xFFFF, "text", title="dialog:" + NOT_SAVED), 30, 0.5)
            self.assertIn("could not be saved", text or "")
            s.shot_full("not-saved.png")
            self.assertTrue(s.confirm(NOT_SAVED, key="Return"))
            # The dialog and the user's list are still there; the old file too.
            self.assertNotEqual(s.find_windows(MUSIC_TITLE), [])
            self.assertEqual(s.songs(), ["alpha.mp3"])
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), old)
            # Once the way is clear, OK saves and closes.
            os.rmdir(s.playlist_file() + ".tmp")
            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=60))
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), m3u([SONGS + "\\alpha.mp3"]))


class SongNamesInOtherScripts(unittest.TestCase):
    NAME = "星空 – Größe.ogg"

    def test_a_song_chosen_in_the_picker_is_saved_whole_and_played_by_the_next_run(self):
        # With a sound device: the saver run at the end plays the song.
        with MusicSession(audio=True) as s:
            folder = s.c_path(SONGS)
            os.makedirs(folder)
            tone(os.path.join(folder, self.NAME), 880, 3)
            self.assertIsNotNone(s.open_music(songs=()), "no music dialog")
            self.assertTrue(s.pick(SONGS + "\\" + self.NAME))
            self.assertEqual(s.until(s.songs, [self.NAME]), [self.NAME])
            s.shot_full("unicode-song.png")
            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=60))
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), m3u([SONGS + "\\" + self.NAME]))
            self.assertEqual(s.finish(CANCEL), 0)

            # The next saver run plays it.
            s.set_desktop_mode()
            for name, value in (("PlayMusic", 1), ("CustomMusic", 1), ("DefaultMusic", 0), ("Animate", 0)):
                s.reg_add(HKCU, name, value)
            s.pulse.start_recording(os.path.join(s.tmp, "picked.wav"))
            proc = s.start(s.c_path(FOLDER + r"\ZelvoraPelk.scr"), "/s")
            window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
            self.assertIsNotNone(window, "no saver window")
            self.assertTrue(wait_for_tones(s, (880,)), "the chosen song was not heard")
            s.key("Escape", window=window)
            self.assertEqual(wait_exit(proc, 60), 0)


class LongSelections(unittest.TestCase):
    def test_a_selection_longer_than_the_first_buffer_is_added_whole(self):
        # 14 names of about 95 characters: more than the 1024 the file buffer
        # starts with, so it has to grow while the user selects.
        names = ["song %02d with a long name that makes the selection outgrow the buffer %s.mp3"
                 % (i, "x" * 20) for i in range(14)]
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(songs=names))
            picker = s.open_picker()
            self.assertIsNotNone(picker)
            self.assertEqual(s.type_file_name(SONGS), SONGS)
            s.key("Return")
            # In the folder, the picker empties its file name box.
            name_box = lambda: s.control(FILE_NAME, "text", title=PICKER_TITLE)
            self.assertEqual(s.until(name_box, ""), "")
            # Selected in the file list: the first, then to the end. The list
            # may still be filling: the click is made again (it only selects)
            # until the file name box shows the first name.
            x, y, _, _ = s.window_geometry(picker)

            def first_chosen():
                s.click_at_screen(x + 100, y + 62, picker)
                return s.until(name_box, names[0], timeout=5) == names[0]

            self.assertTrue(wait_until(first_chosen, 60, 0), "the first song was not selected")
            s.key("shift+End")
            # The box lists them all in quotes (its text is read cut short).
            chosen = sample_until(name_box, lambda text: text.startswith('"%s" "%s"' % tuple(names[:2])))
            self.assertTrue(chosen.startswith('"%s" "%s"' % tuple(names[:2])), chosen)
            s.shot_full("long-selection.png")
            s.key("Return")
            self.assertTrue(s.wait_until_gone(PICKER_TITLE, timeout=60))
            self.assertEqual(s.until(s.songs, names), names)
            self.assertEqual(s.count_label(), "14\nFiles")


class Playlists(unittest.TestCase):
    def test_a_playlist_alone_adds_all_its_entries_with_other_files_only_songs(self):
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(songs=("alpha.mp3", "beta.ogg", "notes.txt")))
            with open(s.c_path(SONGS + r"\mix.m3u"), "w", newline="") as f:
                f.write(SONGS + "\\notes.txt\r\n" + SONGS + "\\alpha.mp3\r\n")
            self.assertTrue(s.pick(SONGS + r"\mix.m3u"))
            self.assertEqual(s.until(s.songs, ["notes.txt", "alpha.mp3"]), ["notes.txt", "alpha.mp3"])
            s.press(CLEAR)
            self.assertEqual(s.until(s.songs, []), [])
            self.assertTrue(s.pick('"mix.m3u" "beta.ogg"'))
            self.assertEqual(sorted(s.until(lambda: sorted(s.songs() or []), ["alpha.mp3", "beta.ogg"])),
                             ["alpha.mp3", "beta.ogg"])
            self.assertEqual(s.count_label(), "2\nFiles")

            # OK with an empty list deletes the custom playlist.
            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=60))
            self.assertTrue(os.path.exists(s.playlist_file()))
            self.assertIsNotNone(s.reopen_music())
            s.press(CLEAR)
            self.assertEqual(s.until(s.count_label, "0\nFiles"), "0\nFiles")
            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=60))
            self.assertFalse(os.path.exists(s.playlist_file()))
            self.assertIsNotNone(s.reopen_music())
            self.assertEqual(s.count_label(), "0\nFiles")


if __name__ == "__main__":
    unittest.main()
