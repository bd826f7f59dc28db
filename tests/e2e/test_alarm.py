"""End-to-end tests of the alarm: the real Tovrel on Xvfb, at faked times of day."""

import tempfile
import time
import unittest
from pathlib import Path

import harness

TITLE = "Tovrel프로그램"
HOUR = "일어날 시간"
FILE = "원하는 파일"
DIALOG = "_NET_WM_WINDOW_TYPE_DIALOG"
TOOL_WINDOW = "_NET_WM_WINDOW_TYPE_UTILITY"


def at(clock):
    return "2026-12-08 " + clock


class Sandbox:
    """An application folder with Tovrel and a recording 환경설정, a recording xdg-open, and a
    working folder, all in one temporary folder."""

    def __init__(self, test, settings_program=True):
        temp = tempfile.TemporaryDirectory(prefix="tovrel-e2e-")
        test.addCleanup(temp.cleanup)
        self.root = Path(temp.name)
        self.work = self.root / "work"
        self.work.mkdir()
        self.app = harness.make_app_folder(self.root, "Tovrel")
        self.opener_dir, self.opener_log = harness.make_opener_stub(self.root)
        self.settings_log = self.root / "settings-program.log"
        if settings_program:
            harness.write_recorder(self.app / "환경설정", self.settings_log)

    def start(self, test, clock):
        run = harness.start([self.app / "Tovrel"], test.x, self.work, fake_time=at(clock),
                            path_first=[self.opener_dir])
        test.addCleanup(run.stop)
        return run


class AlarmTestCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.x = harness.XServer().start()
        cls.addClassCleanup(cls.x.stop)

    def run_to_end(self, sandbox, clock):
        """Runs the alarm at clock, checking its window shows and it ends by itself with 0
        about three seconds later."""
        run = sandbox.start(self, clock)
        window = self.x.wait_for_window(TITLE, run.pid, run=run)
        self.assertIn(TOOL_WINDOW, self.x.window_type(window))
        self.assert_ends_with_0(run, run.elapsed(), total=(2.3, 6.0), after_shown=(2.5, 3.6))

    def assert_ends_with_0(self, run, shown_at, total, after_shown):
        """Checks the run ends with 0 within total seconds of its start and within after_shown
        seconds of its first window showing.

        The timer starts as the first window is made, so timed from the window the end is
        exact enough to tell one tick more or less. Qt's start-up alone took over 1.5 s on a
        busy machine, so the time from the start is only checked loosely."""
        status, seconds = run.wait(timeout=15)
        self.assertEqual(status, 0, run.output())
        for (low, high), value in [(total, seconds), (after_shown, seconds - shown_at)]:
            self.assertGreaterEqual(value, low)
            self.assertLessEqual(value, high)

    def wait_for_box(self, run, seen=()):
        box = self.x.wait_for_window(TITLE, run.pid, run=run, exclude=seen)
        self.assertIn(DIALOG, self.x.window_type(box))
        return box

    def answer(self, box):
        self.x.answer_box(box)
        self.assertTrue(self.x.wait_until_gone(box), "the box did not close on Return")


class OpenAtSetHourTest(AlarmTestCase):
    def test_file_is_opened_once_with_one_argument(self):
        for hour, clock in [("7", "07:30:00"), ("0", "00:00:30")]:
            with self.subTest(hour=hour, clock=clock):
                sandbox = Sandbox(self)
                wanted = str(sandbox.root / "노래 모음" / "아침 노래 (1).mp3")
                harness.write_settings(sandbox.app, {HOUR: hour, FILE: wanted})
                self.run_to_end(sandbox, clock)
                self.assertEqual(harness.read_records(sandbox.opener_log), [[wanted]])

    def test_shell_characters_reach_xdg_open_as_they_are(self):
        values = ["/tmp/x;touch PWNED", "$(touch PWNED2)", "`touch PWNED3` 'a\" | touch PWNED4"]
        for wanted in values:
            with self.subTest(wanted=wanted):
                sandbox = Sandbox(self)
                harness.write_settings(sandbox.app, {HOUR: "7", FILE: wanted})
                self.run_to_end(sandbox, "07:59:00")
                # A shell would have run touch in the working folder, inside the sandbox.
                self.assertEqual(list(sandbox.root.rglob("PWNED*")), [])
                self.assertEqual(harness.read_records(sandbox.opener_log), [[wanted]])


class OtherHoursTest(AlarmTestCase):
    def test_nothing_is_opened(self):
        for clock in ["05:40:00", "09:10:00", "06:59:57"]:
            with self.subTest(clock=clock):
                sandbox = Sandbox(self)
                harness.write_settings(sandbox.app, {HOUR: "7", FILE: "/tmp/아침 노래.mp3"})
                self.run_to_end(sandbox, clock)
                self.assertEqual(harness.read_records(sandbox.opener_log), [])


class MissingSettingTest(AlarmTestCase):
    def test_box_waits_for_its_answer_then_settings_program(self):
        # The first case leaves the box unanswered well past the timer's third tick.
        cases = {
            "no SETUP.INI": (None, 10),
            "no file": ({HOUR: "7"}, 0.5),
            "empty hour": ({HOUR: "", FILE: "/tmp/아침 노래.mp3"}, 0.5),
        }
        for name, (entries, unanswered) in cases.items():
            with self.subTest(name):
                sandbox = Sandbox(self)
                if entries is not None:
                    harness.write_settings(sandbox.app, entries)
                # At the set hour, so that going on past the box would open the file.
                run = sandbox.start(self, "07:30:00")
                box = self.wait_for_box(run)
                self.assertEqual(self.x.windows(TITLE, run.pid), [box], "the alarm window shows")
                # Whatever is started before the box is answered has had time to log.
                time.sleep(unanswered)
                self.assertTrue(self.x.is_visible(box), "the box went by itself")
                self.assertEqual(harness.read_records(sandbox.settings_log), [])
                self.answer(box)
                status, _ = run.wait(timeout=10)
                self.assertEqual(status, 0, run.output())
                self.assertEqual(harness.wait_for_records(sandbox.settings_log, 1), [[]])
                self.assertEqual(harness.read_records(sandbox.opener_log), [])

    def test_missing_settings_program_is_run_time_error_53(self):
        sandbox = Sandbox(self, settings_program=False)
        run = sandbox.start(self, "07:30:00")
        first = self.wait_for_box(run)
        message_height = self.x.geometry(first)[3]
        self.answer(first)
        second = self.wait_for_box(run, seen=[first])
        self.answer(second)
        report = self.wait_for_box(run, seen=[first, second])
        # The report has more lines than the one-line message.
        self.assertGreater(self.x.geometry(report)[3], message_height)
        # The timer is ignored while the report waits: past the fourth tick it is still there.
        time.sleep(max(0.0, 4.5 - run.elapsed()))
        self.assertTrue(self.x.is_visible(report))
        self.answer(report)
        status, _ = run.wait(timeout=10)
        self.assertEqual(status, 53, run.output())


if __name__ == "__main__":
    unittest.main()
