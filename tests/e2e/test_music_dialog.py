"""The music selection dialog over the settings dialog: songs added through
the open-file dialog (a path typed as a user would), counted, reordered and
removed, OK writing the custom playlist, playlists chosen alone or with
other files, and Cancel's question."""
import os
import time
import unittest

from test_settings_dialog import CANCEL, FOLDER, DialogSession, crop

MUSIC_TITLE = "Select Custom Music"
PICKER_TITLE = "Select a song or playlist"
MUSIC_BUTTON = (554, 146)
SONG_LIST, SONG_COUNT = 1103, 1106
ADD, REMOVE, CLEAR, UP, DOWN = 3, 4, 5, 1011, 1012
SONGS = r"C:\Songs"
HELPER = FOLDER + r"\dialog_control.exe"
PROGRAMS = ("ZelvoraPelk.scr", "list_box_items.exe", "dialog_control.exe")


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
        self.click(MUSIC_BUTTON)
        self.music = self.wait_for_window(MUSIC_TITLE, timeout=30)
        time.sleep(0.5)
        return self.music

    def install(self, programs=PROGRAMS, **kwargs):
        return super().install(programs=PROGRAMS, **kwargs)

    def control(self, control, what, *extra, title=MUSIC_TITLE):
        out = FOLDER + r"\control.txt"
        if self.run(HELPER, out, title, str(control), what, *map(str, extra)) != 0:
            return None
        with open(self.c_path(out), encoding="utf-8", errors="replace") as f:
            return f.read().strip()

    def click_at_screen(self, x, y, modifier=None):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.2)
        if modifier:
            self.xdotool("keydown", modifier)
        self.xdotool("click", "1")
        if modifier:
            self.xdotool("keyup", modifier)
        time.sleep(0.5)

    def press(self, control, title=MUSIC_TITLE):
        left, top, right, bottom = map(int, self.control(control, "rect", title=title).split())
        self.click_at_screen((left + right) // 2, (top + bottom) // 2)

    def click_song(self, index, modifier=None):
        left, top, right, bottom = map(int, self.control(SONG_LIST, "item", index).split())
        self.click_at_screen(left + 20, (top + bottom) // 2, modifier)

    def songs(self):
        out = FOLDER + r"\items.txt"
        if self.run(FOLDER + r"\list_box_items.exe", out, MUSIC_TITLE, str(SONG_LIST)) != 0:
            return None
        with open(self.c_path(out)) as f:
            return f.read().splitlines()[:-1]

    def count_label(self):
        return self.control(SONG_COUNT, "text")

    def pick(self, typed):
        """Add File(s), then types `typed` into the file name box and Enter."""
        self.press(ADD)
        picker = self.wait_for_window(PICKER_TITLE, timeout=30)
        if picker is None:
            return False
        time.sleep(1)
        self.xdotool("type", "--delay", "30", typed)
        time.sleep(0.3)
        self.shot_full("picker.png")
        self.key("Return")
        return self.wait_until_gone(PICKER_TITLE, timeout=20)

    def confirm(self, title, key="space", timeout=20):
        """Answers a question box with a key typed as a user would: sent to
        the box window itself, Wine may deliver it twice, and the second
        copy would answer the next box."""
        box = self.wait_for_window(title, timeout=timeout)
        if box is None:
            return False
        time.sleep(0.3)
        self.key(key)
        self.wait_until_gone(title, timeout=20)
        time.sleep(0.5)
        return True

    def shot_full(self, name):
        path = self.screenshot(name)
        self.keep_shot(path, "music-" + name)
        return path

    def playlist_file(self):
        return os.path.join(self.data_folder(), self.user + ".M3U")


def m3u(paths):
    """The custom playlist as the dialog writes it."""
    text = "#EXTM3U\r\n"
    for path in paths:
        title = path.rsplit("\\", 1)[-1].rsplit(".", 1)[0]
        text += "#EXTINF:-1,%s\r\n%s\r\n" % (title, path)
    return text.encode()


class AddingAndSaving(unittest.TestCase):
    def test_songs_are_added_counted_reordered_and_saved(self):
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(), "no music dialog")
            self.assertEqual(s.songs(), [])
            self.assertEqual(s.count_label(), "0\nFiles")

            self.assertTrue(s.pick(SONGS + r"\alpha.mp3"))
            self.assertEqual(s.songs(), ["alpha.mp3"])
            # Several at once, from the folder the last choice left open.
            self.assertTrue(s.pick('"beta.ogg" "gamma.wav" "delta.mp3"'))
            self.assertEqual(s.songs(), ["alpha.mp3", "beta.ogg", "gamma.wav", "delta.mp3"])
            self.assertEqual(s.count_label(), "4\nFiles")

            # Entries 3 and 4 up by one: they keep their selection.
            s.click_song(2)
            s.click_song(3, modifier="ctrl")
            s.press(UP)
            self.assertEqual(s.songs(), ["alpha.mp3", "gamma.wav", "delta.mp3", "beta.ogg"])
            self.assertEqual(s.control(SONG_LIST, "selected"), "1 2")
            s.shot_full("dialog.png")
            # The first entry cannot go further up; down it goes.
            s.click_song(0)
            s.press(UP)
            self.assertEqual(s.songs()[0], "alpha.mp3")
            s.press(DOWN)
            self.assertEqual(s.songs(), ["gamma.wav", "alpha.mp3", "delta.mp3", "beta.ogg"])
            # Delete removes the selected song.
            s.click_song(2)
            s.key("Delete")
            time.sleep(0.5)
            self.assertEqual(s.songs(), ["gamma.wav", "alpha.mp3", "beta.ogg"])
            self.assertEqual(s.count_label(), "3\nFiles")

            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=20))
            saved = m3u([SONGS + "\\gamma.wav", SONGS + "\\alpha.mp3", SONGS + "\\beta.ogg"])
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), saved)

            # The next opening shows the saved list; Cancel asks first.
            s.click(MUSIC_BUTTON)
            self.assertIsNotNone(s.wait_for_window(MUSIC_TITLE, timeout=30))
            time.sleep(0.5)
            self.assertEqual(s.songs(), ["gamma.wav", "alpha.mp3", "beta.ogg"])
            s.press(CLEAR)
            self.assertEqual(s.count_label(), "0\nFiles")
            s.press(2)
            self.assertTrue(s.confirm("Are you sure\\?", key="n"), "Cancel did not ask")
            self.assertEqual(s.songs(), [], "No closed the dialog")
            s.press(2)
            self.assertTrue(s.confirm("Are you sure\\?", key="space"))
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=20))
            with open(s.playlist_file(), "rb") as f:
                self.assertEqual(f.read(), saved, "Cancel changed the file")
            self.assertEqual(s.finish(CANCEL), 0)


class LongSelections(unittest.TestCase):
    def test_a_selection_longer_than_the_first_buffer_is_added_whole(self):
        # 14 names of about 95 characters: more than the 1024 the file buffer
        # starts with, so it has to grow while the user selects.
        names = ["song %02d with a long name that makes the selection outgrow the buffer %s.mp3"
                 % (i, "x" * 20) for i in range(14)]
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(songs=names))
            s.press(ADD)
            picker = s.wait_for_window(PICKER_TITLE, timeout=30)
            self.assertIsNotNone(picker)
            time.sleep(1)
            s.xdotool("type", "--delay", "30", SONGS)
            s.key("Return")
            time.sleep(1)
            # Selected in the file list: the first, then to the end.
            x, y, _, _ = s.window_geometry(picker)
            s.click_at_screen(x + 100, y + 62)
            s.key("shift+End")
            time.sleep(0.5)
            s.shot_full("long-selection.png")
            s.key("Return")
            self.assertTrue(s.wait_until_gone(PICKER_TITLE, timeout=20))
            self.assertEqual(s.songs(), names)
            self.assertEqual(s.count_label(), "14\nFiles")


class Playlists(unittest.TestCase):
    def test_a_playlist_alone_adds_all_its_entries_with_other_files_only_songs(self):
        with MusicSession() as s:
            self.assertIsNotNone(s.open_music(songs=("alpha.mp3", "beta.ogg", "notes.txt")))
            with open(s.c_path(SONGS + r"\mix.m3u"), "w", newline="") as f:
                f.write(SONGS + "\\notes.txt\r\n" + SONGS + "\\alpha.mp3\r\n")
            self.assertTrue(s.pick(SONGS + r"\mix.m3u"))
            self.assertEqual(s.songs(), ["notes.txt", "alpha.mp3"])
            s.press(CLEAR)
            self.assertEqual(s.songs(), [])
            self.assertTrue(s.pick('"mix.m3u" "beta.ogg"'))
            self.assertEqual(sorted(s.songs()), ["alpha.mp3", "beta.ogg"])
            self.assertEqual(s.count_label(), "2\nFiles")

            # OK with an empty list deletes the custom playlist.
            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=20))
            self.assertTrue(os.path.exists(s.playlist_file()))
            s.click(MUSIC_BUTTON)
            self.assertIsNotNone(s.wait_for_window(MUSIC_TITLE, timeout=30))
            time.sleep(0.5)
            s.press(CLEAR)
            s.press(1)
            self.assertTrue(s.wait_until_gone(MUSIC_TITLE, timeout=20))
            self.assertFalse(os.path.exists(s.playlist_file()))
            s.click(MUSIC_BUTTON)
            self.assertIsNotNone(s.wait_for_window(MUSIC_TITLE, timeout=30))
            time.sleep(0.5)
            self.assertEqual(s.count_label(), "0\nFiles")


if __name__ == "__main__":
    unittest.main()
