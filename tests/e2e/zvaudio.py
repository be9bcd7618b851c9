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
import wave

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
        self.recorder = subprocess.Popen(
            ["parecord", "--device=%s.monitor" % SINK, "--file-format=wav", "--channels=2",
             "--rate=44100", "--format=s16le", path],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        time.sleep(0.3)

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
    """(rate, samples of the first channel as floats in -1..1)."""
    with wave.open(path, "rb") as w:
        rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
        data = w.readframes(w.getnframes())
    assert width == 2, width
    samples = array.array("h")
    samples.frombytes(data[:len(data) - len(data) % (2 * channels)])
    return rate, [s / 32768.0 for s in samples[::channels]]


def windows(path, seconds=0.1):
    """Per window of `seconds`: (start time, RMS level, tone frequency in Hz).
    The frequency counts rising zero crossings, so it suits a pure tone."""
    rate, samples = read_channel(path)
    size = max(1, int(rate * seconds))
    out = []
    for start in range(0, len(samples) - size + 1, size):
        chunk = samples[start:start + size]
        rms = (sum(s * s for s in chunk) / size) ** 0.5
        rising = sum(1 for a, b in zip(chunk, chunk[1:]) if a < 0 <= b)
        out.append((start / rate, rms, rising / seconds))
    return out


def tone_runs(path, level=0.01, seconds=0.1, tolerance=0.05):
    """The stretches of steady tone in a recording: [(start, end, frequency)],
    silent windows dropped, neighbouring windows of one frequency joined."""
    runs = []
    for start, rms, freq in windows(path, seconds):
        if rms < level:
            continue
        if runs and abs(runs[-1][2] - freq) <= tolerance * runs[-1][2] and start - runs[-1][1] < 0.5:
            runs[-1][1] = start + seconds
            runs[-1][3].append(freq)
        else:
            runs.append([start, start + seconds, freq, [freq]])
    return [(a, b, sorted(fs)[len(fs) // 2]) for a, b, _, fs in runs]


def loud_seconds(path, level=0.01):
    return sum(0.1 for _, rms, _ in windows(path) if rms >= level)
