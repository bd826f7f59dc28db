"""Runs the Windows executables under Wine on a private X display: an application folder in the
prefix's drive C, recording stand-ins for explorer.exe and schtasks.exe, what Wine's debug
channels tell, an end to each test's Wine session, and a console for scripts."""

import fcntl
import os
import pty
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import termios
import time
import uuid
from pathlib import Path, PureWindowsPath

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402

ALARM = "Tovrel.exe"
SETTINGS = "환경설정.exe"
# Wine's own programs (the desktop, services, wineboot) start from these folders.
WINE_FOLDERS = ("c:\\windows\\system32\\", "c:\\windows\\syswow64\\")


def prefix():
    """The Wine prefix that the ctest fixture made for this run."""
    return Path(os.environ["WINEPREFIX"])


def windows_path(path):
    """The Windows path of a file under the prefix's drive_c."""
    relative = Path(path).relative_to(prefix() / "drive_c")
    return str(PureWindowsPath("C:\\", *relative.parts))


def decode_wine_string(literal):
    """The text of a string as Wine's debug output writes it (L"..." or (null)): backslash
    escapes, and \\xxxx in hex for each UTF-16 unit outside printable ASCII."""
    if literal == "(null)":
        return None
    if not (literal.startswith('L"') and literal.endswith('"')):
        raise ValueError("not a Wine debug string: " + literal)
    body, units, i = literal[2:-1], [], 0
    escapes = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}
    while i < len(body):
        if body[i] != "\\":
            units.append(ord(body[i]))
            i += 1
        elif body[i + 1] in escapes:
            units.append(ord(escapes[body[i + 1]]))
            i += 2
        else:
            units.append(int(body[i + 1:i + 5], 16))
            i += 5
    return b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le")


_STRING = r'(L"(?:[^"\\]|\\.)*"|\(null\))'
_CREATE_PROCESS = re.compile(r":trace:process:CreateProcessInternalW app " + _STRING
                             + " cmdline " + _STRING)
_MESSAGE_BOX = re.compile(r":trace:msgbox:MSGBOX_OnInit " + _STRING)
_EDIT_TEXT = re.compile(r":trace:edit:EDIT_WM_SetText " + _STRING)


def started_programs(output):
    """(application, command line) of each CreateProcess in the +process output, leaving out
    Wine's own programs."""
    started = []
    for match in _CREATE_PROCESS.finditer(output):
        application, command_line = map(decode_wine_string, match.groups())
        program = (application or command_line.lstrip('"')).lower()
        if not program.startswith(WINE_FOLDERS):
            started.append((application, command_line))
    return started


def message_boxes(output):
    """The text of each message box in the +msgbox output."""
    return [decode_wine_string(m.group(1)) for m in _MESSAGE_BOX.finditer(output)]


def edit_texts(output):
    """Every text put into an edit control, in the +edit output: what the text boxes showed."""
    return [decode_wine_string(m.group(1)) for m in _EDIT_TEXT.finditer(output)]


def summary(output):
    """What a failure message needs of a run's output: the programs it started, its message
    boxes and texts, and whatever is no trace (Wine's errors, a crash)."""
    wanted = (_CREATE_PROCESS, _MESSAGE_BOX, _EDIT_TEXT)
    return "\n".join(line for line in output.splitlines()
                     if ":trace:" not in line or any(p.search(line) for p in wanted))


class WineSession:
    """A test's Wine: an application folder "C:\\Program Files\\Tovrel" holding both
    executables, a scratch folder C:\\tovrel-test, and the stand-in explorer.exe recording into
    it. Each program runs with a marker in its environment, which the programs it starts
    inherit, so that stop() can end every one of them by its process id."""

    def __init__(self, xserver):
        self.xserver = xserver
        self.marker = uuid.uuid4().hex
        drive_c = prefix() / "drive_c"
        self.app = drive_c / "Program Files" / "Tovrel"
        self.scratch = drive_c / "tovrel-test"
        self.record_file = self.scratch / "started.log"
        self.runs = []

    def start(self):
        # A session left by an earlier test or by core_tests ends first: each test has its own.
        self.wait_for_wineserver()
        for folder in (self.app, self.scratch):
            shutil.rmtree(folder, ignore_errors=True)
            folder.mkdir(parents=True)
        bin_dir = Path(os.environ["TOVREL_WINDOWS_BIN_DIR"])
        for name in (ALARM, SETTINGS):
            shutil.copy2(bin_dir / name, self.app / name)
        return self

    def run(self, executable, fake_time=None, channels=("process", "msgbox", "edit")):
        """Starts an executable of the application folder; with fake_time
        ('2026-12-08 07:30:00') its clock, and that of the programs it starts, begins there."""
        env = self.xserver.env(
            WINEPREFIX=str(prefix()), WINEDLLOVERRIDES="mscoree,mshtml=", LANG="ko_KR.UTF-8",
            TZ="UTC", WINEDEBUG=",".join(["-all"] + ["+" + c for c in channels]),
            TOVREL_RECORD_FILE=windows_path(self.record_file), TOVREL_E2E_RUN=self.marker)
        env.pop("LC_ALL", None)
        if fake_time:
            # Without NO_FAKE_STAT, Wine sees wine.inf dated in the faked time and updates the
            # prefix, for several seconds, before the program starts.
            env.update(LD_PRELOAD=harness.faketime_library(), FAKETIME="@" + fake_time,
                       NO_FAKE_STAT="1")
        log = self.scratch / f"wine-{len(self.runs)}.log"
        run = harness.Run(["wine", windows_path(self.app / executable)], env, self.scratch, log)
        self.runs.append(run)
        return run

    def started(self):
        """(program path, command line) of each start of the stand-in explorer.exe."""
        return read_records(self.record_file)

    def stop(self):
        """Ends every program of this test still running, by its process id, and waits until
        Wine's server has ended too."""
        for run in self.runs:
            run.stop()
        for pid in self._marked_processes():
            self._kill(pid)
        self.wait_for_wineserver()
        for folder in (self.app, self.scratch):
            shutil.rmtree(folder, ignore_errors=True)

    def end_process(self, pid):
        """Ends a program that one of this test's programs started."""
        if pid not in self._marked_processes():
            raise AssertionError(f"process {pid} is not one of this test's")
        self._kill(pid)

    @staticmethod
    def _kill(pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        # libfaketime's objects, which only a normal exit removes.
        for name in (f"faketime_shm_{pid}", f"sem.faketime_sem_{pid}"):
            Path("/dev/shm", name).unlink(missing_ok=True)

    def wait_for_wineserver(self):
        subprocess.run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=str(prefix())),
                       timeout=60, check=False)

    def _marked_processes(self):
        mark = f"TOVREL_E2E_RUN={self.marker}".encode()
        pids = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if mark in (entry / "environ").read_bytes().split(b"\0"):
                    # Wine's server ends by itself once its last program has ended.
                    if not os.readlink(entry / "exe").startswith("/usr/lib/wine/wineserver"):
                        pids.append(int(entry.name))
            except OSError:
                pass  # ended meanwhile, or not ours to read
        return pids


class StandIn:
    """A stand-in executable in place of one of the prefix's programs, put back as it was by
    restore()."""

    def __init__(self, path, executable):
        self.path = path
        self.executable = executable
        self.saved = path.with_name(path.name + ".wine")

    def install(self):
        if not self.saved.exists():
            shutil.copy2(self.path, self.saved)
        shutil.copy2(self.executable, self.path)
        return self

    def restore(self):
        if self.saved.exists():
            shutil.move(self.saved, self.path)


class StandInExplorer(StandIn):
    """The recording stand-in in place of the prefix's C:\\windows\\explorer.exe, which Tovrel
    starts to open a file. (Wine's own explorer.exe shows no file; Wine starts its desktop from
    C:\\windows\\system32\\explorer.exe, which stays.)"""

    def __init__(self):
        super().__init__(prefix() / "drive_c" / "windows" / "explorer.exe",
                         os.environ["TOVREL_RECORDER"])


class StandInSchtasks(StandIn):
    """schtasks_stand_in.cpp in place of the prefix's C:\\windows\\system32\\schtasks.exe,
    which keeps neither the triggers nor the command of a task. Wine prefers its built-in one
    unless the environment has SCHTASKS_OVERRIDE."""

    SCHTASKS_OVERRIDE = {"WINEDLLOVERRIDES": "mscoree,mshtml=;schtasks.exe=n"}

    def __init__(self):
        super().__init__(prefix() / "drive_c" / "windows" / "system32" / "schtasks.exe",
                         os.environ["TOVREL_SCHTASKS"])


def keep_session(env):
    """Keeps one Wine session running until the function it returns is called, as each new one
    takes some 5 s to start. Its services keep the output they are started with: none."""
    env = dict(env, WINEPREFIX=str(prefix()))
    for argv in (["wineserver", "-p"], ["wine", "cmd", "/c", "exit"]):
        subprocess.run(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
    return lambda: subprocess.run(["wineserver", "-k"], env=env, timeout=30)


def read_records(record_file):
    """(program path, command line) of each start that a recording stand-in recorded."""
    fields = harness.read_fields(record_file)
    return list(zip(fields[0::2], fields[1::2]))


def command_line_arguments(command_line):
    """The arguments of a Windows command line that holds no escaped quotes."""
    return [a.replace('"', "") for a in re.findall(r'(?:[^\s"]|"[^"]*")+', command_line)]


# What cmd's pause shows under Wine in Korean.
PAUSE_PROMPT = "계속하려면 아무 키나 누르세요"
_CONSOLE_CONTROLS = re.compile(r"\x1b\[[0-9;?]*[A-Za-z]|\r")


def run_in_console(argv, cwd, env, timeout=60):
    """Runs a program in a console of its own, as a double-click runs a script: a
    pseudo-terminal, which Wine takes for one (without one, chcp has no code page to set),
    wide enough that no line wraps. Presses a key whenever the program asks for one. Returns
    (exit status, what the console showed, whether the program asked for a key)."""
    controller, terminal = pty.openpty()
    fcntl.ioctl(terminal, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 250, 0, 0))
    process = subprocess.Popen(argv, cwd=cwd, env=env, stdin=terminal, stdout=terminal,
                               stderr=terminal, start_new_session=True)
    os.close(terminal)
    shown, asked, deadline = b"", False, time.monotonic() + timeout
    try:
        while time.monotonic() < deadline:
            if select.select([controller], [], [], 0.3)[0]:
                try:
                    shown += os.read(controller, 4096)
                    continue
                except OSError:  # no one has the terminal open any more
                    break
            if process.poll() is not None:
                break
            # Again and again: pause empties the console's input as it starts.
            if PAUSE_PROMPT in _CONSOLE_CONTROLS.sub("", shown.decode(errors="replace")):
                asked = True
                os.write(controller, b"\r")
        status = process.wait(timeout=max(0.1, deadline - time.monotonic()))
    finally:
        if process.poll() is None:
            process.kill()
        os.close(controller)
    return status, _CONSOLE_CONTROLS.sub("", shown.decode(errors="replace")), asked
