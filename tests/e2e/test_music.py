"""Music under Wine, heard through a PulseAudio null sink: built-in tracks
from the bundle, the arrow keys, the user's own playlist of WAV, Ogg and MP3
files in order, a playlist of missing files, and a machine without sound."""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from test_slideshow import ZVBUNDLE, SlideshowSession
from zvaudio import loud_seconds, tone_runs
from zvharness import DEMO_BUNDLE, PRODUCT_KEY, wait_exit, wait_until

HKCU = "HKCU\\" + PRODUCT_KEY
KEEP = os.environ.get("ZV_AUDIO_KEEP")  # folder for the recordings


def tone(path, freq, seconds, rate=44100, channels=2):
    """A sine tone file; the extension picks the format (wav, ogg, mp3)."""
    if path.endswith(".mp3"):
        wav = path[:-4] + ".src.wav"
        tone(wav, freq, seconds, rate, channels)
        subprocess.run(["lame", "--quiet", "-b", "128", wav, path], check=True)
        return path
    subprocess.run(["sox", "-n", "-r", str(rate), "-c", str(channels), path, "synth", str(seconds),
                    "sine", str(freq), "vol", "0.5"], check=True, capture_output=True)
    return path


def tone_bundle(tmp, tracks):
    """The demo bundle cut to two photographs, its music replaced by `tracks`
    ({name: (freq, seconds)}), stored in name order."""
    src = os.path.join(tmp, "bundle")
    subprocess.run([ZVBUNDLE, "extract", DEMO_BUNDLE, src], check=True, capture_output=True)
    image = os.path.join(src, "image")
    for name in sorted(os.listdir(image))[2:]:
        os.remove(os.path.join(image, name))
    music = os.path.join(src, "music")
    shutil.rmtree(music, ignore_errors=True)
    os.makedirs(music)
    for name, (freq, seconds) in tracks.items():
        tone(os.path.join(music, name), freq, seconds)
    out = os.path.join(tmp, "tones.bdl")
    subprocess.run([ZVBUNDLE, "pack", out, src], check=True, capture_output=True)
    return out


def tracks(runs, at_least=0.3):
    """The tracks heard: runs of one tone joined across the short glitches a
    loaded machine puts into the recording, [(start, end, frequency rounded
    to 10 Hz, seconds actually heard)]; blips shorter than `at_least` s
    (track changes) dropped, though a stretch of them joins the tone runs
    on either side. A glitch also bends the tone measured over the short run
    around it, so runs one 10 Hz step apart are one tone, whose frequency is
    that of the part heard longest."""
    joined = []
    reach = None  # the end of the last track and of the blips right after it
    for a, b, f, sound in runs:
        if b - a < at_least:
            # Underruns on a loaded machine can break a tone into a stretch
            # of such blips; they bridge it, as silence would not.
            if reach is not None and a - reach < 0.5:
                reach = b
            continue
        f = int(round(f / 10.0)) * 10
        if joined and abs(joined[-1][2] - f) <= 10 and a - reach < 0.5:
            if sound > joined[-1][4]:
                joined[-1][2], joined[-1][4] = f, sound
            joined[-1][1] = b
            joined[-1][3] += sound
        else:
            joined.append([a, b, f, sound, sound])
        reach = b
    return [tuple(t[:4]) for t in joined]


def assert_tones(test, heard, expected, runs):
    """The first tracks heard have the expected tones. They are measured over
    0.1 s windows, so one 10 Hz step either way counts as the tone."""
    test.assertEqual(len(heard[:len(expected)]), len(expected), runs)
    for track, tone_hz in zip(heard, expected):
        test.assertAlmostEqual(track[2], tone_hz, delta=12, msg=runs)


def assert_length(test, track, seconds, runs):
    """A track lasted `seconds`: a glitch of a loaded machine stretches the
    span and shortens what is heard by its own length, so the tolerance
    grows by the glitches inside the track."""
    start, end, _, loud = track
    slack = 0.4 + (end - start - loud)
    test.assertAlmostEqual(end - start, seconds, delta=slack, msg=runs)
    test.assertAlmostEqual(loud, seconds, delta=slack, msg=runs)


def wait_for_tones(s, expected, timeout=90):
    """Waits until the recording so far has the tracks `expected` (tones in
    Hz, in this order, each heard for at least half a second)."""
    def heard_all():
        heard = [t for t in tracks(s.pulse.heard()) if t[3] >= 0.5]
        tones = [t[2] for t in heard]
        for i in range(len(tones) - len(expected) + 1):
            if all(abs(a - b) <= 12 for a, b in zip(tones[i:], expected)):
                return True
        return False
    return wait_until(heard_all, timeout, 0.5)


class MusicSession(SlideshowSession):
    def start_music(self, bundle=DEMO_BUNDLE, **settings):
        base = dict(PlayMusic=1, ShuffleMusic=0, DebugLog=1, Animate=0)
        base.update(settings)
        return self.start_show(bundle=bundle, **base)

    def record(self, name):
        self.pulse.start_recording(os.path.join(self.tmp, name))

    def recording(self):
        path = self.pulse.stop_recording()
        if KEEP:
            os.makedirs(KEEP, exist_ok=True)
            shutil.copy2(path, KEEP)
        return path

    def write_playlist(self, lines, encoding=None):
        os.makedirs(self.data_folder(), exist_ok=True)
        with open(os.path.join(self.data_folder(), self.user + ".M3U"), "w", newline="\r\n",
                  encoding=encoding) as f:
            f.write("\n".join(lines) + "\n")

    def play_custom_list(self, name, tones):
        """Runs the saver with the user's own list until the tones of
        `tones` were heard in that order; the recording's tone runs."""
        self.record(name)
        proc, window = self.start_music(CustomMusic=1, DefaultMusic=0)
        assert window is not None, "no saver window"
        assert wait_for_tones(self, tones), "not every track was heard"
        assert self.quit(proc, window) == 0
        return tone_runs(self.recording())

    def quit(self, proc, window):
        self.key("Escape", window=window)
        return wait_exit(proc, 60)

    def started_tracks(self):
        """The tracks the saver's log says started, names decoded as UTF-8."""
        log = (self.read_log() or "").encode("latin-1").decode("utf-8", "replace")
        return re.findall(r"Playing music: (.*?)\r?\n", log)


class BuiltInMusic(unittest.TestCase):
    def test_built_in_tracks_play_and_the_right_arrow_changes_the_track(self):
        tmp = tempfile.mkdtemp(prefix="zv-music-")
        try:
            bundle = tone_bundle(tmp, {"a440.wav": (440, 30), "b660.ogg": (660, 3)})
            with MusicSession() as s:
                s.record("builtin.wav")
                proc, window = s.start_music(bundle=bundle)
                self.assertIsNotNone(window)
                self.assertTrue(wait_for_tones(s, (440,)), "the first track is not heard")
                s.key("Right", window=window)
                # The 660 Hz track plays to its end, then the list wraps to 440.
                self.assertTrue(wait_for_tones(s, (660, 440)), "no next track, or no wrap")
                self.assertIsNone(proc.poll(), "the saver ended on the arrow key")
                self.assertEqual(s.quit(proc, window), 0)
                runs = tone_runs(s.recording())
                log = s.read_log()
        finally:
            shutil.rmtree(tmp, ignore_errors=True)
        heard = tracks(runs)
        assert_tones(self, heard, (440, 660, 440), runs)
        assert_length(self, heard[1], 3.0, runs)
        self.assertIn("initSound()", log)
        self.assertIn("Successfully exiting initSound()", log)
        self.assertIn("Successfully exiting ShutdownSound()", log)


class CustomPlaylist(unittest.TestCase):
    def test_wav_ogg_and_mp3_files_play_in_the_order_of_the_list(self):
        with MusicSession() as s:
            music = s.c_path(r"C:\Music")
            os.makedirs(music)
            # Another rate and mono too: the engine converts.
            tone(os.path.join(music, "t550.wav"), 550, 2, rate=22050, channels=1)
            tone(os.path.join(music, "t770.ogg"), 770, 2)
            tone(os.path.join(music, "t990.mp3"), 990, 2)
            s.write_playlist(["#EXTM3U", "#EXTINF:-1,first", r"C:\Music\t550.wav",
                              r"C:\Music\t770.ogg", r"C:\Music\t990.mp3"])
            runs = s.play_custom_list("custom.wav", (550, 770, 990))
        heard = tracks(runs)
        # WAV and Ogg through our engine, the MP3 through DirectShow, then round again.
        assert_tones(self, heard, (550, 770, 990), runs)
        for track in heard[:2]:
            assert_length(self, track, 2.0, runs)

    def test_a_truncated_mp3_and_an_empty_ogg_give_way_to_the_third_track_at_once(self):
        with MusicSession() as s:
            music = s.c_path(r"C:\Music")
            os.makedirs(music)
            whole = tone(os.path.join(music, "whole.mp3"), 660, 2)
            with open(whole, "rb") as f:
                data = f.read()
            # Cut in the middle of a frame, a quarter of the way in.
            with open(os.path.join(music, "cut.mp3"), "wb") as f:
                f.write(data[:len(data) // 4 + 101])
            open(os.path.join(music, "empty.ogg"), "wb").close()
            tone(os.path.join(music, "t880.ogg"), 880, 3)
            s.write_playlist([r"C:\Music\cut.mp3", r"C:\Music\empty.ogg", r"C:\Music\t880.ogg"])
            s.record("failing.wav")
            proc, window = s.start_music(CustomMusic=1, DefaultMusic=0)
            self.assertIsNotNone(window)
            # The music starts within initSound; the recording's length when
            # that is logged is later than the start, never earlier.
            self.assertTrue(s.wait_for_log("Successfully exiting initSound()"), s.read_log())
            started = s.pulse.recorded_seconds()
            self.assertTrue(wait_for_tones(s, (880,)), "the third track was never heard")
            self.assertEqual(s.quit(proc, window), 0)
            runs = tone_runs(s.recording())
        third = [t for t in tracks(runs) if abs(t[2] - 880) <= 12]
        self.assertTrue(third, runs)
        sys.stderr.write("\nthird track from %.2f s, music started by %.2f s\n" % (third[0][0], started))
        self.assertLessEqual(third[0][0], started + 2.0, runs)

    def test_a_utf16_playlist_of_songs_in_folders_named_in_other_scripts_plays_in_order(self):
        with MusicSession() as s:
            # Names no ANSI code page holds whole.
            songs = [(r"C:\Music\Sternenlicht – Größe\Größe.ogg", 550),
                     (r"C:\Music\星空\星.wav", 770),
                     (r"C:\Music\Sternenlicht – Größe\Ωmega.mp3", 990)]
            for path, freq in songs:
                os.makedirs(os.path.dirname(s.c_path(path)), exist_ok=True)
                tone(s.c_path(path), freq, 2)
            # As some Windows players save them: UTF-16 with its mark.
            lines = ["#EXTM3U"]
            for path, _ in songs:
                lines += ["#EXTINF:-1,x", path]
            s.write_playlist(lines, encoding="utf-16")
            runs = s.play_custom_list("unicode.wav", (550, 770, 990))
            logged = s.started_tracks()
        assert_tones(self, tracks(runs), (550, 770, 990), runs)
        # The log names them readably.
        self.assertEqual(logged[:3], [path for path, _ in songs], logged)

    def test_right_pressed_as_tracks_end_leaves_one_track_playing_and_the_music_going_on(self):
        """Twenty presses, each aimed at the end of a short track, where the
        engine's thread moves on by itself at the same moment. Two streams
        playing at once would sound louder than one: sines of equal level
        add up to 1.4 times the level of either."""
        length = 0.4
        tones = (440, 550, 660, 770, 880)
        with MusicSession() as s:
            music = s.c_path(r"C:\Music")
            os.makedirs(music)
            entries = []
            for freq in tones:
                tone(os.path.join(music, "s%d.ogg" % freq), freq, length)
                entries.append(r"C:\Music\s%d.ogg" % freq)
            s.write_playlist(entries)
            s.record("presses.wav")
            proc, window = s.start_music(CustomMusic=1, DefaultMusic=0)
            self.assertIsNotNone(window)
            # A few tracks alone first, for the level of one.
            self.assertTrue(wait_until(lambda: len(s.started_tracks()) >= 4, 60), "the music did not start")
            before = len(s.pulse.analysed())
            rng = random.Random(20)
            for _ in range(20):
                seen = len(s.started_tracks())
                self.assertTrue(wait_until(lambda: len(s.started_tracks()) > seen, 60),
                                "the music stopped: %s" % s.started_tracks()[-3:])
                # Aimed at the track's end by the sink's own clock; the log
                # line comes a frame after the start.
                end = s.pulse.recorded_seconds() + length - 0.05 + rng.uniform(-0.1, 0.1)
                wait_until(lambda: s.pulse.recorded_seconds() >= end, 10, 0.02)
                s.key("Right", window=window)
            pressed = s.pulse.recorded_seconds()

            def heard_since(start):
                return sum(w[3] for w in s.pulse.analysed() if w[0] >= start and w[1] >= 0.01)

            # Going on by itself: tracks keep starting and keep being heard.
            seen = len(s.started_tracks())
            self.assertTrue(wait_until(lambda: len(s.started_tracks()) >= seen + 5, 60),
                            "the music stopped after the presses")
            self.assertTrue(wait_until(lambda: heard_since(pressed) >= 1.0, 60), "silent after the presses")
            self.assertIsNone(proc.poll(), "an arrow key ended the saver")
            self.assertEqual(s.quit(proc, window), 0)
            analysed = s.pulse.analysed()
        single = sorted(w[1] for w in analysed[:before] if w[1] >= 0.01)
        self.assertGreater(len(single), 5, analysed[:before])
        level = single[len(single) // 2]
        loudest = max(analysed[before:], key=lambda w: w[1])
        sys.stderr.write("\none track's level %.3f, loudest window since the presses began %.3f at %.1f s\n"
                         % (level, loudest[1], loudest[0]))
        self.assertLess(loudest[1], 1.2 * level, analysed[before:])

    def test_a_list_of_missing_files_and_no_built_in_music_leave_the_saver_silent(self):
        with MusicSession() as s:
            s.write_playlist([r"C:\Nowhere\gone.ogg", r"C:\Nowhere\gone.wma", "missing.wav"])
            s.record("missing.wav")
            proc, window = s.start_music(CustomMusic=1, DefaultMusic=0)
            self.assertIsNotNone(window)
            # Every entry has been tried once the music set-up is done; two
            # seconds of recording after it would hold a track that started.
            self.assertTrue(s.wait_for_log("Successfully exiting initSound()"), s.read_log())
            mark = s.pulse.recorded_seconds()
            self.assertTrue(wait_until(lambda: s.pulse.recorded_seconds() >= mark + 2.0, 60))
            self.assertEqual(s.find_windows("Error initializing sound"), [])
            self.assertIsNone(proc.poll())
            self.assertEqual(s.quit(proc, window), 0)
            self.assertLess(loud_seconds(s.recording()), 0.2)
            self.assertNotEqual(s.reg_dword(HKCU, "CriticalError"), 1)


class NoSoundDevice(unittest.TestCase):
    def test_without_a_sound_device_the_error_box_appears_and_the_saver_goes_on(self):
        with MusicSession(audio=False) as s:
            proc = s.start_music(wait=False)
            self.assertTrue(s.dismiss("Error initializing sound"), "no sound error box")
            window = s.wait_for_window("Zelvora: Quorrin", timeout=60)
            self.assertIsNotNone(window)
            self.assertTrue(s.wait_for_photograph(), "the slideshow did not go on")
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 1)
            # The run's critical error is reported once more on the way out.
            s.key("Escape", window=window)
            self.assertTrue(s.dismiss("Error initializing"), s.read_log())
            self.assertEqual(wait_exit(proc, 60), 0)
            self.assertEqual(s.reg_dword(HKCU, "CriticalError"), 0)


if __name__ == "__main__":
    unittest.main()
