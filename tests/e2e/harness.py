"""Helpers for end-to-end tests that run the real executables on a private X display."""

import glob
import os
import select
import shlex
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
TOOLS = ("Xvfb", "xdpyinfo", "xdotool", "xprop", "xwininfo", "import")


def bin_dir():
    """The build's folder of executables, as ctest passes it."""
    return Path(os.environ.get("TOVREL_BIN_DIR", REPO / "build" / "linux" / "bin"))


def require_tools(*names):
    """Raises when a tool is missing: the project's scripts install them, so a gap is a failure."""
    missing = [name for name in names if shutil.which(name) is None]
    if missing:
        raise RuntimeError("missing tools (scripts/test installs them): " + ", ".join(missing))


def poll(condition, timeout, interval=0.05):
    """Calls condition until it returns something truthy; returns that, or None after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


class XServer:
    """An Xvfb display of its own, optionally with openbox as its window manager."""

    def __init__(self, window_manager=False):
        self.window_manager = window_manager
        self.display = None
        self._processes = []
        self._runtime_dir = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *_):
        self.stop()

    def start(self):
        try:
            return self._start()
        except BaseException:
            self.stop()
            raise

    def _start(self):
        require_tools(*TOOLS)
        self._runtime_dir = tempfile.TemporaryDirectory(prefix="xdg-runtime-")
        os.chmod(self._runtime_dir.name, 0o700)
        read_end, write_end = os.pipe()
        try:
            xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                 "-noreset", "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self._processes.append(xvfb)
            os.close(write_end)
            self.display = ":" + _read_line(read_end, timeout=15)
        finally:
            os.close(read_end)
        if not poll(lambda: self.run("xdpyinfo").returncode == 0, timeout=15):
            raise RuntimeError(f"Xvfb on {self.display} does not answer")
        if self.window_manager:
            require_tools("openbox", "wmctrl")
            self._processes.append(subprocess.Popen(
                ["openbox", "--sm-disable"], env=self.env(),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            if not poll(lambda: self.run("wmctrl", "-m").returncode == 0, timeout=15):
                raise RuntimeError("openbox did not start")
            if not self._window_manager_maps_windows():
                raise RuntimeError("openbox does not map windows")
        return self

    def _window_manager_maps_windows(self, attempts=20):
        # openbox answers wmctrl before it is through starting, and a window mapped in that
        # moment is never shown (3 starts in 50 here): wait until a probe window gets managed.
        from Xlib import X, display

        connection = display.Display(self.display)
        try:
            wm_state = connection.intern_atom("WM_STATE")
            root = connection.screen().root
            for _ in range(attempts):
                probe = root.create_window(0, 0, 10, 10, 0, X.CopyFromParent)
                probe.map()
                connection.flush()
                managed = poll(lambda: probe.get_full_property(wm_state, X.AnyPropertyType),
                               timeout=1)
                probe.destroy()
                connection.flush()
                if managed:
                    return True
            return False
        finally:
            connection.close()

    def stop(self):
        for process in reversed(self._processes):
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self._processes.clear()
        if self._runtime_dir:
            self._runtime_dir.cleanup()
            self._runtime_dir = None

    def env(self, **extra):
        """The environment for a program on this display."""
        env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self._runtime_dir.name)
        env.pop("WAYLAND_DISPLAY", None)
        env.update(extra)
        return env

    def run(self, *argv):
        return subprocess.run(argv, env=self.env(), capture_output=True, text=True)

    def windows(self, title, pid=None):
        """Visible windows whose title is exactly title, of process pid if given."""
        argv = ["xdotool", "search", "--all", "--onlyvisible"]
        if pid is not None:
            argv += ["--pid", str(pid)]
        result = self.run(*argv, "--name", "^" + _regex_escape(title) + "$")
        return [int(line) for line in result.stdout.split()]

    def wait_for_window(self, title, pid=None, timeout=10, exclude=(), run=None):
        """The first visible window titled title not in exclude; fails if run ends first."""
        def found():
            if run is not None and run.finished():
                raise AssertionError(
                    f"process ended with {run.popen.returncode} before window {title!r} "
                    f"appeared\n{run.output()}")
            fresh = [w for w in self.windows(title, pid) if w not in exclude]
            return fresh[0] if fresh else None

        window = poll(found, timeout)
        if window is None:
            raise AssertionError(f"no visible window {title!r} within {timeout} s")
        return window

    def wait_until_gone(self, window, timeout=5):
        return poll(lambda: not self.is_visible(window), timeout) is not None

    def is_visible(self, window):
        return "IsViewable" in self.run("xwininfo", "-id", str(window)).stdout

    def window_type(self, window):
        """The window's _NET_WM_WINDOW_TYPE atoms, e.g. ['_NET_WM_WINDOW_TYPE_DIALOG']."""
        output = self.run("xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE").stdout
        _, _, atoms = output.partition("=")
        return [atom.strip() for atom in atoms.split(",") if atom.strip()]

    def geometry(self, window):
        """The client area's (x, y, width, height) on the screen."""
        fields = {}
        for line in self.run("xwininfo", "-id", str(window)).stdout.splitlines():
            key, _, value = line.strip().partition(":")
            fields[key] = value.strip()
        return tuple(int(fields[key]) for key in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def wm_class(self, window):
        """The window's WM_CLASS as (instance, class)."""
        from Xlib import display

        connection = display.Display(self.display)
        try:
            return connection.create_resource_object("window", window).get_wm_class()
        finally:
            connection.close()

    def frame_extents(self, window):
        """(left, right, top, bottom): the frame the window manager drew around the window."""
        output = self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS").stdout
        _, _, numbers = output.partition("=")
        return tuple(int(n) for n in numbers.split(",")) if numbers.strip() else None

    def answer_box(self, window):
        """Answers a message box with Return, clicking into it first to give it the focus."""
        # With no window manager a window gets the keyboard focus only when clicked; a corner
        # of the box is clear of its button.
        self.run("xdotool", "mousemove", "--window", str(window), "4", "4", "click", "1")
        # "key --window" sends a synthetic event, which answered the box only about half the
        # time.
        self.run("xdotool", "key", "Return")

    def screenshot(self, path, window=None, framed=False):
        """Saves the screen, or only the window's client area, or the window with the frame the
        window manager drew around it, as an image file."""
        argv = ["import", "-window", "root"]
        if window is not None:
            x, y, width, height = self.geometry(window)
            left, right, top, bottom = (self.frame_extents(window) if framed else None) or (0,) * 4
            argv += ["-crop", f"{width + left + right}x{height + top + bottom}+{x - left}+{y - top}",
                     "+repage"]
        result = self.run(*argv, str(path))
        if result.returncode != 0:
            raise RuntimeError("import failed: " + result.stderr)


def _read_line(fd, timeout):
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(fd, 64) if ready else b""
        if not chunk:
            raise RuntimeError("Xvfb did not report its display number")
        data += chunk
    return data.decode().strip()


def _regex_escape(text):
    # xdotool takes a POSIX extended regular expression.
    return "".join("\\" + c if c in r".^$*+?()[]{}|\\" else c for c in text)


def make_app_folder(parent, *names, source=None):
    """A folder holding copies of the named executables, the alarm with the opener it opens its
    file through; copies, as they find their folder through /proc/self/exe, which a symlink would
    point back into the build."""
    folder = Path(parent) / "app"
    folder.mkdir()
    if "Tovrel" in names:
        names += ("tovrel-opener",)
    for name in names:
        shutil.copy2(Path(source or bin_dir()) / name, folder / name)
    return folder


def write_settings(folder, entries, section="환경설정"):
    """Writes SETUP.INI as the programs store it: code page 949 with CRLF line endings."""
    lines = [f"[{section}]"] + [f"{key}={value}" for key, value in entries.items()]
    path = Path(folder) / "SETUP.INI"
    path.write_bytes("".join(line + "\r\n" for line in lines).encode("cp949"))
    return path


def write_recorder(path, log):
    """A script at path that appends its arguments to log each time it runs.

    A record is the argument count then each argument, all NUL-terminated, so spaces,
    newlines and an empty argument all survive."""
    path = Path(path)
    record = "{ printf '%s\\0' \"$#\"; for a; do printf '%s\\0' \"$a\"; done; }"
    path.write_text(f"#!/bin/sh\n{record} >> {shlex.quote(str(log))}\n", encoding="utf-8")
    path.chmod(0o755)
    return path


def read_fields(log):
    """The NUL-terminated fields a recording stand-in wrote into its log, on Linux or under
    Wine; none while there is no log."""
    try:
        return Path(log).read_bytes().decode().split("\0")[:-1]
    except FileNotFoundError:
        return []


def read_records(log):
    """The argument lists that a recorder logged, one per run."""
    fields = read_fields(log)
    records = []
    while fields:
        count = int(fields.pop(0))
        records.append(fields[:count])
        del fields[:count]
    return records


def wait_for_records(log, count, timeout=5, settle=0.3):
    """The log's records once there are at least count, read again settle seconds later so
    that a late extra run shows up too."""
    poll(lambda: len(read_records(log)) >= count, timeout)
    # Started programs run detached, so no exit can be waited for: a short wait must do.
    time.sleep(settle)
    return read_records(log)


def make_opener_stub(parent):
    """A folder holding a recording xdg-open, to put first on PATH, and its log."""
    folder = Path(parent) / "stub-bin"
    folder.mkdir()
    log = Path(parent) / "xdg-open.log"
    write_recorder(folder / "xdg-open", log)
    return folder, log


class Run:
    """A started program, timed from its start; stop() ends it if need be and cleans up."""

    def __init__(self, argv, env, cwd, output_path):
        self._output_path = output_path
        self._output = open(output_path, "wb")
        self.started = time.monotonic()
        self.popen = subprocess.Popen(argv, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                      stdout=self._output, stderr=subprocess.STDOUT)
        self.pid = self.popen.pid
        self._faked = "FAKETIME" in env

    def elapsed(self):
        return time.monotonic() - self.started

    def finished(self):
        return self.popen.poll() is not None

    def wait(self, timeout):
        """Waits for the end; returns (exit status, seconds since start)."""
        try:
            status = self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"still running {timeout} s later\n{self.output()}") from None
        return status, time.monotonic() - self.started

    def output(self):
        self._output.flush()
        return Path(self._output_path).read_text(errors="replace")

    def stop(self):
        if self.popen.poll() is None:
            self.popen.kill()
            self.popen.wait()
        self._output.close()
        if self._faked:
            # libfaketime shares its clock through objects named after the process, removed
            # only by a normal exit; a program that ends with _exit leaves them behind, and a
            # later process with the same pid would fail to create its own.
            for name in (f"faketime_shm_{self.pid}", f"sem.faketime_sem_{self.pid}"):
                Path("/dev/shm", name).unlink(missing_ok=True)


def faketime_library():
    """libfaketime's preload library, wherever the multiarch layout puts it."""
    found = (glob.glob("/usr/lib/*/faketime/libfaketime.so.1")
             + glob.glob("/usr/lib*/faketime/libfaketime.so.1"))
    if not found:
        raise RuntimeError("libfaketime is missing (scripts/test installs faketime)")
    return found[0]


def start(argv, xserver, work_dir, fake_time=None, tz="UTC", path_first=(), lang="C.UTF-8",
          **environment):
    """Starts argv on the display in work_dir, with the environment variables given besides,
    where None unsets one (lang=None: no LANG, as cron starts programs); with fake_time
    ('2026-12-08 07:30:00') the program's clock starts there and runs on, so its timers keep
    working.

    libfaketime is preloaded directly rather than through the faketime command: that runs
    the program as a child of its own (after one running date) and ends only once every
    process started beneath it has ended, hiding the program's own pid and exit."""
    env = xserver.env(TZ=tz, LANG=lang, LC_ALL=None, LANGUAGE=None, **environment)
    env = {name: value for name, value in env.items() if value is not None}
    if path_first:
        env["PATH"] = os.pathsep.join([str(p) for p in path_first] + [env.get("PATH", "")])
    if fake_time:
        # NO_FAKE_STAT: with file times faked too, fontconfig takes its caches for stale and
        # rescans every font, some 400 ms of each start.
        env.update(LD_PRELOAD=faketime_library(), FAKETIME="@" + fake_time, NO_FAKE_STAT="1")
    return Run([str(a) for a in argv], env, work_dir, Path(work_dir) / "output.log")
