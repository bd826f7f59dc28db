"""One day of use with both real executables: set the alarm in 환경설정, close it, and let
Tovrel open the file at the set hour; and every way of closing the settings window."""

import signal
import subprocess
import tempfile
import unittest
from pathlib import Path

from Xlib import X, display, protocol

import harness

SETTINGS_TITLE = "환경설정"
ALARM_TITLE = "Tovrel프로그램"
OPEN_DIALOG_TITLE = "열기"  # Qt's own dialog, in Korean

# Client-area pixel positions of the settings window's controls at 96 dpi.
HOUR_BOX = (100, 16)
BROWSE_BUTTON = (250, 20)
SAVE_BUTTON = (228, 84)


def close_politely(xserver, window):
    """Asks a window to close as a window manager's close box does (WM_DELETE_WINDOW)."""
    connection = display.Display(xserver.display)
    try:
        target = connection.create_resource_object("window", window)
        protocols = connection.intern_atom("WM_PROTOCOLS")
        delete = connection.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(
            window=target, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(event, event_mask=X.NoEventMask)
        # A round trip, so that the server has handled the event before the connection closes:
        # a busy server drops what is left of a closed connection.
        connection.sync()
    finally:
        connection.close()


def paste(xserver, text):
    """Types text by pasting it: typing Korean with xdotool drops syllables."""
    subprocess.run(["xclip", "-selection", "clipboard"], input=text.encode(), env=xserver.env(),
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    xserver.run("xdotool", "key", "ctrl+v")


def click(xserver, window, position):
    xserver.run("xdotool", "mousemove", "--window", str(window), *map(str, position), "click", "1")


def click_for_window(xserver, window, position, title, run, exclude=()):
    """Clicks until a window titled title appears: a click that lands while a dialog is still
    closing is lost, and a second click on a window blocked by a new box does nothing."""
    for _ in range(3):
        click(xserver, window, position)
        found = harness.poll(lambda: [w for w in xserver.windows(title, run.pid) if w not in exclude],
                             timeout=3)
        if found:
            return found[0]
    raise AssertionError(f"no window {title!r} after clicking\n{run.output()}")


def set_and_save(xserver, window, run, hour, path):
    """Types the hour, picks the file in the Open dialog and saves, answering the message box."""
    click(xserver, window, HOUR_BOX)
    xserver.run("xdotool", "type", hour)
    dialog = click_for_window(xserver, window, BROWSE_BUTTON, OPEN_DIALOG_TITLE, run)
    paste(xserver, str(path))
    xserver.run("xdotool", "key", "Return")
    if not xserver.wait_until_gone(dialog):
        raise AssertionError("the Open dialog stays open")
    box = click_for_window(xserver, window, SAVE_BUTTON, SETTINGS_TITLE, run, exclude=[window])
    xserver.answer_box(box)
    if not xserver.wait_until_gone(box):
        raise AssertionError("the message box stays open")


class DayOfUseTest(unittest.TestCase):
    def setUp(self):
        harness.require_tools("xclip", "openbox", "wmctrl")
        self.xserver = harness.XServer(window_manager=True).start()
        self.addCleanup(self.xserver.stop)
        scratch = tempfile.TemporaryDirectory(prefix="tovrel-day-")
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)
        self.stubs, self.opened = harness.make_opener_stub(self.scratch)

    def test_set_the_alarm_then_it_opens_the_file_at_the_set_hour(self):
        app = harness.make_app_folder(self.scratch, SETTINGS_TITLE, "Tovrel")
        music = self.scratch / "음악"
        music.mkdir()
        song = music / "아침 노래 (1).mp3"
        song.write_bytes(b"ID3")

        settings = harness.start([app / SETTINGS_TITLE], self.xserver, self.scratch,
                                 fake_time="2026-12-08 07:20:00", path_first=[self.stubs])
        self.addCleanup(settings.stop)
        window = self.xserver.wait_for_window(SETTINGS_TITLE, settings.pid, run=settings)
        set_and_save(self.xserver, window, settings, "7", song)

        expected = f"[환경설정]\r\n일어날 시간=7\r\n원하는 파일={song}\r\n".encode("cp949")
        self.assertEqual((app / "SETUP.INI").read_bytes(), expected)

        close_politely(self.xserver, window)
        status, _ = settings.wait(timeout=10)
        self.assertEqual(status, 0, settings.output())

        # The alarm was started by the settings executable: it inherits the faked clock. (Window
        # ids are matched by title from here on: X hands the closed window's id to the alarm.)
        alarm = harness.poll(lambda: self.xserver.windows(ALARM_TITLE), timeout=10)
        self.assertTrue(alarm, "Tovrel did not show its window\n" + settings.output())
        self.assertEqual(harness.wait_for_records(self.opened, 1), [[str(song)]])
        self.assertTrue(harness.poll(lambda: not self.xserver.windows(ALARM_TITLE), timeout=6),
                        "Tovrel did not end by itself")

    def test_every_way_of_closing_starts_the_alarm(self):
        def close_box(window, run):
            close_politely(self.xserver, window)

        def alt_f4(window, run):
            click(self.xserver, window, HOUR_BOX)
            self.xserver.run("xdotool", "key", "alt+F4")

        def window_manager(window, run):
            self.xserver.run("wmctrl", "-i", "-c", hex(window))

        def end_of_session(window, run):
            subprocess.run(["kill", "-TERM", str(run.pid)], check=True)

        def hangup(window, run):
            subprocess.run(["kill", "-HUP", str(run.pid)], check=True)

        for way in (close_box, alt_f4, window_manager, end_of_session, hangup):
            with self.subTest(way.__name__):
                folder = self.scratch / way.__name__
                folder.mkdir()
                app = harness.make_app_folder(folder, SETTINGS_TITLE)
                started = folder / "alarm-started.log"
                harness.write_recorder(app / "Tovrel", started)

                run = harness.start([app / SETTINGS_TITLE], self.xserver, folder)
                self.addCleanup(run.stop)
                window = self.xserver.wait_for_window(SETTINGS_TITLE, run.pid, run=run)
                way(window, run)
                status, _ = run.wait(timeout=10)
                self.assertEqual(status, 0, run.output())
                self.assertEqual(harness.wait_for_records(started, 1), [[]])
                self.assertFalse((app / "SETUP.INI").exists(), "closing saved something")


if __name__ == "__main__":
    unittest.main()
