"""Hearing what Wine plays: a private PulseAudio server with a null sink,
a recorder on its monitor, and the analysis of the recording (loudness and
the frequency of a tone, per window of time).

The server runs in its own runtime folder, so it neither needs nor touches a
user session; programs reach it through XDG_RUNTIME_DIR and PULSE_SERVER.
"""
import array
import os
import shutil
import signal
import subprocess
import tempfile
import time

SINK = "zvnull"


class PulseSink:
    def __init__(self):
        self.runtime = tempfile.mkdtemp(prefix="zv-pulse-")
        os.chmod(self.runtime, 0o700)
        self.env = dict(os.environ)
        self.env["XDG_RUNTIME_DIR"] = self.runtime
        self.env["PULSE_SERVER"] = "unix:" + os.path.join(self.runtime, "pulse", "native")
        # Keeps the server's state (cookie, databases) out of the real home.
        self.env["HOME"] = self.runtime
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.recorder = None
        self.recording = None
        self._analysed = []

    def __enter__(self):
        subprocess.run(["pulseaudio", "--kill"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False, timeout=30)
        # norewinds: without it the monitor loses the first part of each sound.
        subprocess.run(["pulseaudio", "-D", "--exit-idle-time=-1", "--system=false", "-n",
                        "--disable-shm=yes", "--load=module-native-protocol-unix",
                        "--load=module-null-sink sink_name=%s norewinds=1" % SINK],
                       env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True, timeout=30)
        deadline = time.time() + 15
        while subprocess.run(["pactl", "info"], env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, timeout=15).returncode != 0:
            if time.time() > deadline:
                raise RuntimeError("PulseAudio did not start")
            time.sleep(0.2)
        subprocess.run(["pactl", "set-default-sink", SINK], env=self.env, check=True, timeout=15)
        return self

    def __exit__(self, *exc):
        self.stop_recording()
        subprocess.run(["pulseaudio", "--kill"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False, timeout=30)
        shutil.rmtree(self.runtime, ignore_errors=True)
        return False

    def apply(self, env):
        """Points a program environment (a Session's) at this server."""
        for name in ("XDG_RUNTIME_DIR", "PULSE_SERVER"):
            env[name] = self.env[name]

    def start_recording(self, path):
        self.recording = path
        self._analysed = []
        self.recorder = subprocess.Popen(
            ["parecord", "--device=%s.monitor" % SINK, "--file-format=wav", "--channels=2",
             "--rate=44100", "--format=s16le", path],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        # Recording from the moment the recorder is attached to the monitor.
        deadline = time.time() + 30
        while not self._recorder_attached():
            if time.time() > deadline or self.recorder.poll() is not None:
                raise RuntimeError("parecord did not attach to the null sink")
            time.sleep(0.1)

    def _recorder_attached(self):
        out = subprocess.run(["pactl", "list", "short", "source-outputs"], env=self.env,
                             capture_output=True, text=True, timeout=15).stdout
        return bool(out.strip())

    def analysed(self):
        """The windows recorded so far (see analyse); each call analyses only
        what was recorded since the last."""
        if self.recording and os.path.exists(self.recording):
            rate, samples = read_channel(self.recording)
            self._analysed += analyse(samples, rate, start=len(self._analysed))
        return self._analysed

    def heard(self):
        """The tone runs recorded so far (see tone_runs)."""
        return runs_of(self.analysed())

    def recorded_seconds(self):
        """How much the running recording holds: the null sink's own clock."""
        return len(self.analysed()) * WINDOW

    def _last_seconds(self, seconds, loud, level=0.01):
        last = self.analysed()[-int(round(seconds / WINDOW)):]
        return len(last) * WINDOW >= seconds - 1e-6 and all((w[1] >= level) == loud for w in last)

    def last_seconds_loud(self, seconds):
        return self._last_seconds(seconds, True)

    def last_seconds_silent(self, seconds):
        return self._last_seconds(seconds, False)

    def stop_recording(self):
        """Ends the recording; its path, or None when none was running."""
        if self.recorder is None:
            return None
        self.recorder.send_signal(signal.SIGINT)
        try:
            self.recorder.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.recorder.kill()
            self.recorder.wait(timeout=10)
        self.recorder = None
        return self.recording


def read_channel(path):
    """(rate, samples of the first channel as floats in -1..1). Reads a
    recording still being written too: its header's sizes are not final
    then, so everything after the data chunk's header is taken."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return 44100, []
    rate, channels, width, at = 44100, 2, 2, 12
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], int.from_bytes(data[at + 4:at + 8], "little")
        if kind == b"fmt ":
            channels = int.from_bytes(data[at + 10:at + 12], "little")
            rate = int.from_bytes(data[at + 12:at + 16], "little")
            width = int.from_bytes(data[at + 22:at + 24], "little") // 8
        if kind == b"data":
            body = data[at + 8:]
            if 0 < size < len(body):
                body = body[:size]
            break
        at += 8 + size + (size & 1)
    else:
        return rate, []
    assert width == 2, width
    samples = array.array("h")
    samples.frombytes(body[:len(body) - len(body) % (2 * channels)])
    return rate, [s / 32768.0 for s in samples[::channels]]


WINDOW = 0.1  # seconds analysed at a time


def analyse(samples, rate, start=0):
    """Per window of WINDOW s from window number `start` on: (start time, RMS
    level, tone frequency in Hz, seconds of sound). When a loaded machine
    cannot feed the sound server in time, the sink fills the gap with exact
    zeros; level and frequency are measured over the samples that are not,
    so a gap inside a window neither lowers the tone nor hides it. The
    frequency counts rising zero crossings, so it suits a pure tone."""
    size = max(1, int(rate * WINDOW))
    out = []
    for first in range(start * size, len(samples) - size + 1, size):
        chunk = [s for s in samples[first:first + size] if s != 0.0]
        sound = len(chunk) / float(rate)
        if len(chunk) < size // 10:
            out.append((first / rate, 0.0, 0.0, sound))
            continue
        rms = (sum(s * s for s in chunk) / len(chunk)) ** 0.5
        rising = sum(1 for a, b in zip(chunk, chunk[1:]) if a < 0 <= b)
        out.append((first / rate, rms, rising / sound, sound))
    return out


def windows(path):
    rate, samples = read_channel(path)
    return analyse(samples, rate)


def runs_of(analysed, level=0.01, tolerance=0.05):
    """The stretches of steady tone: [(start, end, frequency, seconds of
    sound)], silent windows dropped, neighbouring windows of one frequency
    joined."""
    runs = []
    for start, rms, freq, sound in analysed:
        if rms < level:
            continue
        if runs and abs(runs[-1][2] - freq) <= tolerance * runs[-1][2] and start - runs[-1][1] < 0.5:
            runs[-1][1] = start + WINDOW
            runs[-1][3].append(freq)
            runs[-1][4] += sound
        else:
            runs.append([start, start + WINDOW, freq, [freq], sound])
    return [(a, b, sorted(fs)[len(fs) // 2], sound) for a, b, _, fs, sound in runs]


def tone_runs(path):
    """The stretches of steady tone in a recording (see runs_of)."""
    return runs_of(windows(path))


def loud_seconds(path, level=0.01):
    return sum(w[3] for w in windows(path) if w[1] >= level)
