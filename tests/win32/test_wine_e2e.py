"""End-to-end tests of Tovrel.exe and 환경설정.exe under Wine, on Xvfb with openbox, in a Korean
locale: what they show, which programs they start with which command line, SETUP.INI's bytes."""

import time
import unittest

import wine_harness  # first: it puts tests/e2e on the path
from wine_harness import ALARM, SETTINGS

import harness
from test_day_of_use import close_politely

ALARM_TITLE = "Tovrel프로그램"
SETTINGS_TITLE = "환경설정"
HOUR = "일어날 시간"
FILE = "원하는 파일"
EXPLORER = "C:\\windows\\explorer.exe"
APP = "C:\\Program Files\\Tovrel"

# Client-area pixels of the settings window's buttons at 96 dpi: the layout's twips / 15.
BROWSE_BUTTON = (216 + 36, 8 + 12)  # Command1: 3240, 120, 1095 x 375 twips
SAVE_BUTTON = (160 + 68, 72 + 12)   # Command3: 2400, 1080, 2055 x 375 twips


def at(clock):
    return "2026-12-08 " + clock


class WineTestCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        harness.require_tools("wine", "wineserver", "xprop", "openbox", "wmctrl")
        cls.x = harness.XServer(window_manager=True).start()
        cls.addClassCleanup(cls.x.stop)
        cls.addClassCleanup(wine_harness.StandInExplorer().install().restore)

    def setUp(self):
        self.wine = wine_harness.WineSession(self.x).start()
        self.addCleanup(self.wine.stop)

    def song(self, name, folder="음악"):
        """A file in a folder of the scratch folder; its Windows path."""
        path = self.wine.scratch / folder / name
        path.parent.mkdir(exist_ok=True)
        path.write_bytes(b"ID3")
        return wine_harness.windows_path(path)

    def wait_for_end(self, run, shown_at):
        """Checks the run ends by itself with 0 about three seconds after its window showed."""
        status, seconds = run.wait(timeout=30)
        self.assertEqual(status, 0, wine_harness.summary(run.output()))
        self.assertGreaterEqual(seconds - shown_at, 2.0)
        self.assertLessEqual(seconds - shown_at, 6.0)

    def new_window(self, run, exclude, title=None):
        """A visible window of the run that is not in exclude: a message box or dialog."""
        def found():
            if run.finished():
                raise AssertionError(f"ended with {run.popen.returncode}\n"
                                     + wine_harness.summary(run.output()))
            result = self.x.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(run.pid), "--name", "^" + (title or ".+") + "$")
            fresh = [int(w) for w in result.stdout.split() if int(w) not in exclude]
            return fresh[0] if fresh else None

        window = harness.poll(found, timeout=15)
        self.assertIsNotNone(window, "no new window\n" + wine_harness.summary(run.output()))
        return window

    def wait_until_active(self, window):
        """Waits until the window manager has given the window the keyboard focus."""
        active = harness.poll(
            lambda: self.x.run("xdotool", "getactivewindow").stdout.strip() == str(window),
            timeout=10)
        self.assertTrue(active, f"window {window} did not get the focus")


class AlarmUnderWineTest(WineTestCase):
    def test_at_the_set_hour_explorer_opens_the_file(self):
        song = self.song("아침 노래, with comma.mp3")
        harness.write_settings(self.wine.app, {HOUR: "7", FILE: song})
        run = self.wine.run(ALARM, fake_time=at("07:30:00"))
        window = self.x.wait_for_window(ALARM_TITLE, run.pid, timeout=30, run=run)
        # A tool window, which has no place in the taskbar.
        state = self.x.run("xprop", "-id", str(window), "_NET_WM_STATE").stdout
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", state)
        self.wait_for_end(run, run.elapsed())

        command_line = f'explorer.exe "{song}"'
        self.assertEqual(wine_harness.started_programs(run.output()), [(EXPLORER, command_line)])
        # Started, explorer runs on its own: it may not have recorded yet.
        harness.poll(self.wine.started, timeout=10)
        self.assertEqual(self.wine.started(), [(EXPLORER, command_line)])
        texts = wine_harness.edit_texts(run.output())
        self.assertIn("Tovrel 시간 입니다.", texts)
        self.assertIn("실행", texts)
        self.assertEqual(wine_harness.message_boxes(run.output()), [])

    def test_at_other_hours_nothing_starts(self):
        # Before the set hour the status box keeps its text; after it, running is forbidden.
        cases = [("05:40:00", "5:40", False), ("09:10:00", "9:10", True)]
        for clock, time_shown, forbidden in cases:
            with self.subTest(clock=clock):
                harness.write_settings(self.wine.app, {HOUR: "7", FILE: self.song("a.mp3")})
                run = self.wine.run(ALARM, fake_time=at(clock))
                self.x.wait_for_window(ALARM_TITLE, run.pid, timeout=30, run=run)
                self.wait_for_end(run, run.elapsed())

                self.assertEqual(wine_harness.started_programs(run.output()), [])
                texts = wine_harness.edit_texts(run.output())
                self.assertTrue(any(time_shown in t for t in texts), texts)
                self.assertIn("2시간 남았습니다.", texts)
                self.assertEqual("실행 금지" in texts, forbidden, texts)
                self.assertNotIn("실행", texts)
        self.assertEqual(self.wine.started(), [])

    def test_a_missing_setting_is_told_then_the_settings_start(self):
        # The first case leaves the box unanswered well past the timer's third tick.
        cases = {"no SETUP.INI": (None, 10), "no file": ({HOUR: "7"}, 0.5),
                 "empty hour": ({HOUR: "", FILE: "C:\\a.mp3"}, 0.5)}
        settings_program = (f"{APP}\\{SETTINGS}", f'"{APP}\\{SETTINGS}"')
        for name, (entries, unanswered) in cases.items():
            with self.subTest(name):
                (self.wine.app / "SETUP.INI").unlink(missing_ok=True)
                if entries is not None:
                    harness.write_settings(self.wine.app, entries)
                # At the set hour, so that going on past the box would open the file.
                run = self.wine.run(ALARM, fake_time=at("07:30:00"))
                box = self.x.wait_for_window(ALARM_TITLE, run.pid, timeout=30, run=run)
                time.sleep(unanswered)  # whatever starts or shows before the answer has done so
                self.assertTrue(self.x.is_visible(box), "the box went by itself")
                self.assertEqual(self.x.windows(ALARM_TITLE, run.pid), [box], "one window")
                self.assertEqual(wine_harness.message_boxes(run.output()),
                                 ["파일이 정상적이지 않습니다. 환경설정부터 해주세요."])
                self.assertEqual(wine_harness.started_programs(run.output()), [])

                self.x.answer_box(box)
                status, _ = run.wait(timeout=30)
                self.assertEqual(status, 0, wine_harness.summary(run.output()))
                self.assertEqual(wine_harness.started_programs(run.output()),
                                 [settings_program])
                settings = self.x.wait_for_window(SETTINGS_TITLE, timeout=30)
                self.assertEqual(self.wine.started(), [], "explorer started")
                # Closing it would start the alarm again, which would find the setting missing.
                pid = int(self.x.run("xdotool", "getwindowpid", str(settings)).stdout)
                self.wine.end_process(pid)
                self.assertTrue(self.x.wait_until_gone(settings, timeout=10))


class FocusUnderWineTest(WineTestCase):
    def test_the_alarms_message_box_comes_to_the_front_while_another_window_has_the_keyboard(self):
        # The user's window, which the window manager gives the keyboard. (That the alarm window
        # itself leaves the keyboard there, win32_tests shows: under Wine 8 and openbox no window
        # of a program started from outside takes it from another program's window.)
        from Xlib import X, display
        connection = display.Display(self.x.display)
        self.addCleanup(connection.close)
        elsewhere = connection.screen().root.create_window(600, 400, 300, 200, 0, X.CopyFromParent)
        elsewhere.map()
        connection.sync()
        self.wait_until_active(elsewhere.id)

        run = self.wine.run(ALARM, fake_time=at("05:40:00"), channels=())  # no SETUP.INI
        box = self.x.wait_for_window(ALARM_TITLE, run.pid, timeout=30, run=run)
        self.wait_until_active(box)


class SettingsUnderWineTest(WineTestCase):
    def test_set_the_alarm_then_closing_starts_the_alarm_which_opens_the_file(self):
        song = self.song("Song, Live.mp3", folder="music")  # typed: ASCII only
        run = self.wine.run(SETTINGS, fake_time=at("07:20:00"))
        window = self.x.wait_for_window(SETTINGS_TITLE, run.pid, timeout=30, run=run)

        # The hour box has the focus.
        self.wait_until_active(window)
        self.x.run("xdotool", "type", "7")
        self.x.run("xdotool", "mousemove", "--window", str(window), *map(str, BROWSE_BUTTON),
                   "click", "1")
        dialog = self.new_window(run, exclude=[window])
        self.wait_until_active(dialog)
        # Wine's Open dialog has the focus in its file-name field.
        self.x.run("xdotool", "type", "--delay", "20", song)
        self.x.run("xdotool", "key", "Return")
        self.assertTrue(self.x.wait_until_gone(dialog, timeout=10), "the Open dialog stays")
        # The dialog's window goes before the path box is given the path.
        shown = harness.poll(lambda: song in wine_harness.edit_texts(run.output()), timeout=10)
        self.assertTrue(shown, "the path box\n" + wine_harness.summary(run.output()))

        self.x.run("xdotool", "mousemove", "--window", str(window), *map(str, SAVE_BUTTON),
                   "click", "1")
        box = self.new_window(run, exclude=[window, dialog], title=SETTINGS_TITLE)
        self.assertEqual(wine_harness.message_boxes(run.output()),
                         ["저장하기가 완료 되었습니다."])
        self.x.answer_box(box)
        self.assertTrue(self.x.wait_until_gone(box, timeout=10))
        expected = f"[환경설정]\r\n일어날 시간=7\r\n원하는 파일={song}\r\n".encode("cp949")
        self.assertEqual((self.wine.app / "SETUP.INI").read_bytes(), expected)
        self.assertEqual(wine_harness.started_programs(run.output()), [])

        close_politely(self.x, window)
        status, _ = run.wait(timeout=30)
        self.assertEqual(status, 0, wine_harness.summary(run.output()))
        # The alarm inherited the faked clock: it is its hour, and it opens the file. (It writes
        # its trace into the same output.)
        self.assertTrue(harness.poll(self.wine.started, timeout=30),
                        wine_harness.summary(run.output()))
        explorer = (EXPLORER, f'explorer.exe "{song}"')
        self.assertEqual(self.wine.started(), [explorer])
        alarm = (f"{APP}\\{ALARM}", f'"{APP}\\{ALARM}"')
        self.assertEqual(wine_harness.started_programs(run.output()), [alarm, explorer])
        self.assertTrue(harness.poll(lambda: not self.x.windows(ALARM_TITLE), timeout=15),
                        "the alarm did not end by itself")

    def test_the_open_dialog_takes_no_file_that_does_not_exist(self):
        run = self.wine.run(SETTINGS)
        window = self.x.wait_for_window(SETTINGS_TITLE, run.pid, timeout=30, run=run)
        self.wait_until_active(window)
        self.x.run("xdotool", "mousemove", "--window", str(window), *map(str, BROWSE_BUTTON),
                   "click", "1")
        dialog = self.new_window(run, exclude=[window])
        self.wait_until_active(dialog)
        self.x.run("xdotool", "type", "--delay", "20", "no such song.mp3")
        self.x.run("xdotool", "key", "Return")

        # The dialog's own message, in a box of its own (untitled under Wine); the dialog stays.
        box = self.new_window(run, exclude=[window, dialog], title=".*")
        self.assertEqual(len(wine_harness.message_boxes(run.output())), 1,
                         wine_harness.summary(run.output()))
        self.x.answer_box(box)
        self.assertTrue(self.x.wait_until_gone(box, timeout=10))
        self.assertTrue(self.x.is_visible(dialog), "the Open dialog took the name")
        self.x.run("xdotool", "key", "Escape")
        self.assertTrue(self.x.wait_until_gone(dialog, timeout=10))
        time.sleep(0.5)  # whatever the path box is given, it has been given
        self.assertFalse([t for t in wine_harness.edit_texts(run.output()) if "no such" in t],
                         "the path box took the name")


if __name__ == "__main__":
    unittest.main()
