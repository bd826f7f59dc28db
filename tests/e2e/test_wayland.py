"""Both real executables in a Wayland session, on a headless Weston: natively where Wayland alone
is there or the X server turns them away, on X11 where one is there too.

Wayland shows a client no other client's windows, so a program's own protocol log
(WAYLAND_DEBUG=client) tells that it made its window and that Weston took it."""

import os
import re
import signal
import subprocess
import tempfile
import unittest
from pathlib import Path

import harness

ALARM, SETTINGS = "Tovrel", "환경설정"
TITLES = {ALARM: "Tovrel프로그램", SETTINGS: "환경설정"}
WANTED = "/tmp/아침 노래.mp3"


class Weston:
    """A headless Weston of its own, its socket at an absolute path."""

    def __init__(self):
        self._runtime_dir = tempfile.TemporaryDirectory(prefix="wayland-runtime-")
        os.chmod(self._runtime_dir.name, 0o700)
        self.socket = Path(self._runtime_dir.name) / "wayland-tovrel"
        self._process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={self.socket.name}",
             "--idle-time=0"], env=dict(os.environ, XDG_RUNTIME_DIR=self._runtime_dir.name),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not harness.poll(lambda: self.socket.exists() or self._process.poll() is not None,
                            timeout=15) or not self.socket.exists():
            self.stop()
            raise RuntimeError("weston did not start (weston --backend=headless-backend.so)")

    def stop(self):
        self._process.terminate()
        self._process.wait(timeout=10)
        self._runtime_dir.cleanup()


def wayland_windows(run):
    """The titles of the windows the program made on Wayland and Weston configured."""
    log = run.output()
    made = re.findall(r'-> xdg_toplevel@(\d+)\.set_title\("([^"]*)"\)', log)
    return [title for toplevel, title in made
            if re.search(rf"\] xdg_toplevel@{toplevel}\.configure\(", log)]


class WaylandTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        harness.require_tools("weston")
        cls.weston = Weston()
        cls.addClassCleanup(cls.weston.stop)
        cls.x = harness.XServer().start()
        cls.addClassCleanup(cls.x.stop)

    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="tovrel-wayland-")
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)
        self.stubs, self.opened = harness.make_opener_stub(self.scratch)

    def start(self, name, display, clock, programs=(ALARM, SETTINGS)):
        """Starts the executable with WAYLAND_DISPLAY set, and DISPLAY as given (None: unset)."""
        folder = Path(tempfile.mkdtemp(dir=self.scratch))
        app = harness.make_app_folder(folder, *programs)
        harness.write_settings(app, {"일어날 시간": "7", "원하는 파일": WANTED})
        run = harness.start([app / name], self.x, folder, fake_time="2026-12-08 " + clock,
                            path_first=[self.stubs], WAYLAND_DISPLAY=str(self.weston.socket),
                            WAYLAND_DEBUG="client", DISPLAY=display)
        self.addCleanup(run.stop)
        return run, app

    def test_alarm_checks_opens_the_file_and_ends_on_its_own(self):
        run, _ = self.start(ALARM, display=None, clock="07:30:00")
        status, seconds = run.wait(timeout=15)
        self.assertEqual(status, 0, run.output())
        self.assertGreaterEqual(seconds, 2.3)
        self.assertEqual(wayland_windows(run), [TITLES[ALARM]])
        self.assertIn('set_app_id("tovrel")', run.output())
        self.assertEqual(harness.wait_for_records(self.opened, 1), [[WANTED]])

    def test_settings_window_opens_and_closing_it_starts_the_alarm(self):
        run, app = self.start(SETTINGS, display=None, clock="05:40:00", programs=[SETTINGS])
        started = self.scratch / "alarm-started.log"
        harness.write_recorder(app / ALARM, started)
        self.assertTrue(harness.poll(lambda: wayland_windows(run), timeout=10), run.output())
        self.assertEqual(wayland_windows(run), [TITLES[SETTINGS]])
        self.assertIn('set_app_id("tovrel-settings")', run.output())
        run.popen.send_signal(signal.SIGTERM)  # closes the window as its close box does
        self.assertEqual(run.wait(timeout=10)[0], 0, run.output())
        self.assertEqual(harness.wait_for_records(started, 1), [[]])

    def test_x11_wherever_an_x_server_lets_it_in(self):
        cases = {"an X server": (self.x.display, True), "one that turns it away": (":999", False)}
        for name, (display, on_x11) in cases.items():
            with self.subTest(name):
                run, _ = self.start(ALARM, display=display, clock="05:40:00")
                if on_x11:
                    self.x.wait_for_window(TITLES[ALARM], run.pid, run=run)
                status, _ = run.wait(timeout=15)
                self.assertEqual(status, 0, run.output())
                self.assertEqual(wayland_windows(run), [] if on_x11 else [TITLES[ALARM]])


if __name__ == "__main__":
    unittest.main()
