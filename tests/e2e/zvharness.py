"""End-to-end harness: real Windows programs under Wine on an Xvfb display.

A Session owns one Xvfb server and one fresh Wine prefix (hard-linked from a
template made once per build tree), starts programs in it, and drives and
inspects them with xdotool, ImageMagick and Wine's reg tool. Everything it
starts is stopped again by process id when the session ends.
"""
import fcntl
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import zlib

import zvimage
from zvaudio import PulseSink

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
PRODUCT_KEY = r"Software\PelkSoft\PelkSaver\Zelvora"
DESKTOP_COLOUR = "#4070b0"
# Letters outside the display's keymap that tests type. xdotool binds such a
# letter to a spare key only while it types it, and on a loaded machine Wine
# reads the key after the binding is gone, so the letter is lost; bound for
# the whole display before Wine starts, they type like any other. Wine gives
# a character only to the first seven or so spare keys: keep this short.
TYPED_EXTRA_LETTERS = "–öß星空"

BUILD_DIR = os.environ.get("ZV_BUILD_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", "..", "build", "win64"))
# The demo photographs (tools/make_demo_bundle.sh); every saver run needs a bundle.
DEMO_BUNDLE = os.environ.get("ZV_DEMO_BUNDLE") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", "..", "build", "demo", "images.bdl"))


def write_file(path, text="x"):
    """A small file at a Unix path, its folders made as needed."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


def wait_exit(proc, timeout):
    """The exit code of a started program, or None if it still runs after `timeout` s."""
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def wait_until(condition, timeout, interval=0.2):
    """Polls `condition` until it gives a true value, which is returned; the
    last (false) value once `timeout` seconds have passed."""
    deadline = time.time() + timeout
    while True:
        value = condition()
        if value or time.time() >= deadline:
            return value
        time.sleep(interval)


def act_until(act, condition, timeout, again_after=10):
    """Does `act` until `condition` holds: a key or click lost by a busy X
    server is done again, but only after long enough for the first to have
    done its work. The condition's value, or its last false one."""
    value = None
    for _ in range(max(1, int(timeout // again_after))):
        act()
        value = wait_until(condition, again_after, 0.25)
        if value:
            break
    return value


def wait_for_file(path, timeout=60):
    """True once `path` exists (a helper's readiness file, say)."""
    return wait_until(lambda: os.path.exists(path), timeout)


def _base_env(prefix):
    env = dict(os.environ)
    env["WINEPREFIX"] = prefix
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    # Software GL takes every core by default and starves the X server the
    # screenshots come from; one rendering thread leaves room for them.
    env.setdefault("LP_NUM_THREADS", "1")
    return env


def _windows_unmanaged(prefix):
    """True when the prefix's saved registry tells Wine to manage its own
    windows (Managed "N" under the X11 driver's key)."""
    try:
        with open(os.path.join(prefix, "user.reg"), encoding="utf-8", errors="replace") as f:
            text = f.read()
    except OSError:
        return False
    key = text.find("[Software\\\\Wine\\\\X11 Driver]")
    if key < 0:
        return False
    section = text[key:].split("\n\n", 1)[0]
    return '"Managed"="N"' in section


def template_prefix():
    """A booted Wine prefix shared read-only by the sessions of this build.
    It counts as made only once its settings are on disk (the ready file)."""
    path = os.path.join(BUILD_DIR, "e2e-template-prefix")
    ready = os.path.join(path, ".zv-ready")
    with open(path + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(ready):
            shutil.rmtree(path, ignore_errors=True)
            env = _base_env(path)
            env.pop("DISPLAY", None)
            subprocess.run([WINE, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=False, timeout=300)
            # Without a window manager Wine waits 2 s for every window that is
            # hidden or destroyed unless it manages the windows itself. On a
            # loaded machine the value was once lost (most likely a Wine
            # server still saving the boot's registry wrote over it), and
            # every later test then waited at each window: it is checked on
            # disk and set again.
            for _ in range(5):
                subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                                "/t", "REG_SZ", "/d", "N", "/f"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, check=False, timeout=120)
                subprocess.run([WINESERVER, "-w"], env=env, check=False, timeout=120)
                if _windows_unmanaged(path):
                    break
            else:
                raise RuntimeError("the template prefix %s would not keep Managed=N" % path)
            open(ready, "w").close()
    return path


class Session:
    def __init__(self, width=1024, height=768, screens=None, audio=True):
        # audio: a sound device (a PulseAudio null sink, self.pulse) as on a
        # user's machine; without one the saver reports that sound failed.
        self.audio = audio
        self.pulse = None
        self.width, self.height = width, height
        self.screens = screens or [(width, height)]
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix="zv-e2e-")
        self.prefix = os.path.join(self.tmp, "prefix")
        self.xvfb = None
        self.display = None

    # --- lifetime -------------------------------------------------------
    def __enter__(self):
        self._make_prefix()
        self._start_xvfb()
        self.env = _base_env(self.prefix)
        self.env["DISPLAY"] = self.display
        self._bind_letters(TYPED_EXTRA_LETTERS)
        if self.audio:
            self.pulse = PulseSink().__enter__()
            self.pulse.apply(self.env)
        # A desktop that is not black, so a black saver window shows.
        subprocess.run(["xsetroot", "-solid", DESKTOP_COLOUR], env=self.env, check=False, timeout=30)
        self._boot_wine()
        return self

    def _boot_wine(self):
        """One Wine server and one set of Wine's own services for the whole
        session. Otherwise every program started (each reg call) boots them
        again and, its output read through a pipe the services inherit,
        waits for them to shut down: seconds a call. Booted with no pipes,
        so no later call waits for them."""
        subprocess.run([WINESERVER, "-p"], env=self.env, check=False, timeout=60)
        subprocess.run([WINE, "cmd", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False, timeout=300)

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        for p in self.procs:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if os.path.exists(self.prefix):
            subprocess.run([WINESERVER, "-k"], env=_base_env(self.prefix), check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        for p in self.procs:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.pulse is not None:
            self.pulse.__exit__(None, None, None)
            self.pulse = None
        if self.xvfb is not None and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if os.environ.get("ZV_KEEP_E2E"):
            print("kept", self.tmp)
        else:
            shutil.rmtree(self.tmp, ignore_errors=True)

    def _make_prefix(self):
        template = template_prefix()
        # Hard links keep a fresh prefix cheap; the registry files are real
        # copies because every session changes them.
        subprocess.run(["cp", "-al", template, self.prefix], check=True)
        for name in os.listdir(self.prefix):
            if name.endswith(".reg"):
                dst = os.path.join(self.prefix, name)
                os.unlink(dst)
                shutil.copy2(os.path.join(template, name), dst)

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        args = ["Xvfb", "-displayfd", str(write_fd), "-nolisten", "tcp", "-noreset"]
        for i, (w, h) in enumerate(self.screens):
            args += ["-screen", str(i), "%dx%dx24" % (w, h)]
        if len(self.screens) > 1:
            args.append("+xinerama")
        self.xvfb = subprocess.Popen(args, pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as r:
            while not number.endswith(b"\n"):
                chunk = r.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def _bind_letters(self, letters):
        """Binds each letter to a key the display leaves empty."""
        table = subprocess.run(["xmodmap", "-pke"], env=self.env, capture_output=True, text=True,
                               check=True, timeout=30).stdout
        # (Some programs ignore the lowest key code, 8.)
        empty = [int(m) for m in re.findall(r"^keycode\s+(\d+) =\s*$", table, re.M) if int(m) > 8]
        if len(empty) < len(letters):
            raise RuntimeError("the display has only %d empty keys" % len(empty))
        bindings = []
        for code, letter in zip(empty, letters):
            bindings += ["-e", "keycode %d = U%04X" % (code, ord(letter))]
        subprocess.run(["xmodmap", *bindings], env=self.env, check=True, timeout=30)

    # --- files and paths ------------------------------------------------
    def c_path(self, windows_path):
        """Unix path of a C:\\ path inside the prefix."""
        assert windows_path[1:3] == ":\\", windows_path
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    @property
    def user(self):
        return os.environ.get("USER") or "root"

    def data_folder(self, user=None):
        return os.path.join(self.prefix, "drive_c", "users", user or self.user, "AppData",
                            "Roaming", "PelkSoft", "Zelvora")

    def install(self, folder=r"C:\Zelvora", programs=("ZelvoraPelk.scr",), bundle=DEMO_BUNDLE):
        """Copies the built programs into a folder of the prefix, and the image
        bundle at the Unix path `bundle` (the demo one unless None) as
        images.bdl beside them; returns the folder's Windows path."""
        dst = self.c_path(folder)
        os.makedirs(dst, exist_ok=True)
        for name in programs:
            shutil.copy2(os.path.join(BUILD_DIR, name), os.path.join(dst, name))
        if bundle is not None:
            shutil.copy2(bundle, os.path.join(dst, "images.bdl"))
        return folder

    def write_chk_sum(self, folder, slots):
        """slots: eight CRCs (ints) or Unix paths whose CRC-32 goes in the slot."""
        data = b""
        for s in slots:
            if isinstance(s, int):
                crc = s
            else:
                with open(s, "rb") as f:
                    crc = zlib.crc32(f.read())
            data += (crc & 0xFFFFFFFF).to_bytes(4, "little")
        with open(os.path.join(self.c_path(folder), "chk.sum"), "wb") as f:
            f.write(data)

    # --- programs -------------------------------------------------------
    def start(self, program, *args):
        """Starts a Windows program (Windows or Unix path) without waiting."""
        p = subprocess.Popen([WINE, program, *args], env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, start_new_session=True)
        self.procs.append(p)
        return p

    def run(self, program, *args, timeout=60):
        p = self.start(program, *args)
        return p.wait(timeout=timeout)

    def run_saver_until_key(self, program, *args, key="x", timeout=60):
        """Starts the saver, waits for its window, ends it with a key; returns the exit code."""
        p = self.start(program, "/s", *args)
        window = self.wait_for_window("Zelvora: Quorrin", timeout=timeout)
        if window is None and p.poll() not in (None, 0):
            # The saver itself always ends with 0: anything else is Wine failing
            # to start it on a loaded machine. Start it once more.
            p = self.start(program, "/s", *args)
            window = self.wait_for_window("Zelvora: Quorrin", timeout=timeout)
        if window is None:
            return None
        self.key(key, window=window)
        return wait_exit(p, timeout)

    def set_desktop_mode(self):
        """Xvfb offers only its own mode: let the saver run in it."""
        self.reg_add("HKCU\\" + PRODUCT_KEY, "DispModeWidth", "0", "REG_SZ")

    def processes(self, name):
        """Process ids of this session's Wine processes whose command line
        holds `name` (told apart from other sessions' by their prefix)."""
        found = []
        marker = ("WINEPREFIX=" + self.prefix).encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    if name.encode() not in f.read():
                        continue
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if marker in f.read().split(b"\0"):
                        found.append(int(pid))
            except OSError:
                continue
        return found

    # --- registry -------------------------------------------------------
    def reg_add(self, key, name, value, kind="REG_DWORD"):
        self._reg(["add", key, "/v", name, "/t", kind, "/d", str(value), "/f"])

    def reg_query(self, key, name):
        """(type, text) of a value, or None when it is absent."""
        out = self._reg(["query", key, "/v", name], check=False)
        for line in out.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
                return parts[1], parts[2] if len(parts) > 2 else ""
        return None

    def reg_dword(self, key, name):
        v = self.reg_query(key, name)
        return None if v is None else int(v[1], 16)

    def reg_key_exists(self, key):
        return self._reg_process(["query", key]).returncode == 0

    def _reg(self, args, check=True):
        r = self._reg_process(args)
        if check and r.returncode != 0:
            raise RuntimeError("reg %s failed (%d): %s" % (args, r.returncode, r.stdout + r.stderr))
        return r.stdout

    def _reg_process(self, args):
        for _ in range(3):
            r = subprocess.run([WINE, "reg", *args], env=self.env, capture_output=True, text=True,
                               timeout=60)
            # A loaded machine sometimes keeps Wine from starting reg.exe at
            # all, or ends it before it says a word (seen with the prefix's
            # server shutting down as the next command came): reg itself
            # always names what it refuses.
            said = (r.stdout + r.stderr).strip()
            if r.returncode == 0 or (said and "ShellExecuteEx failed" not in said):
                break
            time.sleep(1)
        return r

    # --- windows, input, screen ----------------------------------------
    def xdotool(self, *args, check=False):
        r = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (args, r.stderr))
        return r.stdout.strip()

    def find_windows(self, title):
        out = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % title)
        return [int(w) for w in out.split()] if out else []

    def wait_for_window(self, title, timeout=30):
        found = wait_until(lambda: self.find_windows(title), timeout, 0.25)
        return found[0] if found else None

    def wait_until_gone(self, title, timeout=30):
        return wait_until(lambda: not self.find_windows(title), timeout, 0.25)

    def look_time(self, title):
        """Seconds one look for a window takes now: the machine's pace."""
        started = time.time()
        self.find_windows(title)
        return time.time() - started

    def gone_within(self, title, started, timeout=20):
        """(gone, seconds from `started` to the last moment the window was
        still seen): a window's end is known only to within one look."""
        last_seen = [started]

        def gone():
            looked = time.time()
            if self.find_windows(title):
                last_seen[0] = looked
                return False
            return True
        return wait_until(gone, timeout, 0.1), last_seen[0] - started

    def wait_for_log(self, text, timeout=60):
        """True once the saver's log holds `text`."""
        return wait_until(lambda: text in (self.read_log() or ""), timeout, 0.25)

    def key(self, keys, window=None):
        args = ["key"] + (["--window", str(window)] if window else []) + [keys]
        self.xdotool(*args)

    def mouse_move(self, x, y):
        self.xdotool("mousemove", str(x), str(y))

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", str(window))

    def screenshot(self, name):
        path = os.path.join(self.tmp, name)
        subprocess.run(["import", "-display", self.display, "-window", "root", path], check=True,
                       timeout=60)
        keep = os.environ.get("ZV_SHOTS")
        if keep:
            os.makedirs(keep, exist_ok=True)
            shutil.copy2(path, os.path.join(keep, name))
        return path

    # Measures of a picture or of a part WxH+X+Y of it (zvimage).
    @staticmethod
    def image_stats(path, crop=None):
        """Mean and standard deviation of the grey levels (0..1)."""
        return zvimage.stats(path, crop)

    @staticmethod
    def image_difference(path_a, path_b):
        """Mean absolute grey-level difference (0..1) of two images of one size."""
        return zvimage.difference(path_a, path_b)

    @staticmethod
    def lit_fraction(path, level=0.06, crop=None):
        """Share of pixels whose grey level is above `level`."""
        return zvimage.lit_fraction(path, level, crop)

    def window_geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", str(window))
        g = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    # --- the log --------------------------------------------------------
    def read_log(self):
        path = os.path.join(self.data_folder(), "OrbexLog.txt")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read().decode("latin-1")
