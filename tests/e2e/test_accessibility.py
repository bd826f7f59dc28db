"""What a screen reader gets from both real windows over AT-SPI: each box named by its label, and
the settings window worked with the keyboard alone. Run inside dbus-run-session."""

import os
import tempfile
import unittest
from pathlib import Path

import pyatspi

import harness

SETTINGS_TITLE = "환경설정"
ALARM_TITLE = "Tovrel프로그램"


def setUpModule():
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        raise RuntimeError("run inside dbus-run-session: AT-SPI needs a session bus")
    # Qt's accessibility bridge starts only when asked, or when a screen reader is running.
    os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"


def applications():
    desktop = pyatspi.Registry.getDesktop(0)
    return [app for app in map(desktop.getChildAtIndex, range(desktop.childCount)) if app]


def application(pid, timeout=10):
    """The AT-SPI application of process pid, once it has registered."""
    app = harness.poll(lambda: next((a for a in applications() if a.get_process_id() == pid),
                                    None), timeout)
    if app is None:
        raise AssertionError(f"process {pid} did not register with AT-SPI within {timeout} s")
    return app


def descendants(accessible):
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from descendants(child)


def showing(app, role):
    return [o for o in descendants(app)
            if o.getRoleName() == role and o.getState().contains(pyatspi.STATE_SHOWING)]


def focused(app):
    """(role, name) of the object with the keyboard focus, or None."""
    for o in descendants(app):
        if o.getState().contains(pyatspi.STATE_FOCUSED):
            return o.getRoleName(), o.name
    return None


def names(app, role):
    return [o.name for o in showing(app, role)]


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def labels_of(accessible):
    """(role, name) of the objects that label this one."""
    return [(relation.getTarget(i).getRoleName(), relation.getTarget(i).name)
            for relation in accessible.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for i in range(relation.getNTargets())]


class AccessibilityTest(unittest.TestCase):
    def setUp(self):
        self.x = harness.XServer(window_manager=True).start()
        self.addCleanup(self.x.stop)
        scratch = tempfile.TemporaryDirectory(prefix="tovrel-a11y-")
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)

    def start(self, name, folder=".", **options):
        (self.scratch / folder).mkdir(exist_ok=True)
        app = harness.make_app_folder(self.scratch / folder, name)
        if name == "Tovrel":
            harness.write_settings(app, {"일어날 시간": "7", "원하는 파일": "/tmp/아침 노래.mp3"})
        options.setdefault("lang", "ko_KR.UTF-8")
        run = harness.start([app / name], self.x, self.scratch, **options)
        self.addCleanup(run.stop)
        return run

    def wait_for_focus(self, app, expected, after):
        seen = harness.poll(lambda: focused(app) == expected, timeout=5)
        self.assertTrue(seen, f"after {after} the focus is on {focused(app)}, not {expected}")

    def test_alarm_boxes_are_named_by_their_labels(self):
        # Two hours before the set hour: the window stays about three seconds, then the alarm ends.
        run = self.start("Tovrel", fake_time="2026-12-08 05:40:00")
        self.x.wait_for_window(ALARM_TITLE, run.pid, run=run)
        app = application(run.pid)
        captions = ["현재 시간", "남은 시간", "Tovrel 실행"]
        self.assertEqual([label.name for label in showing(app, "label")], captions)
        boxes = showing(app, "text")
        self.assertEqual([box.name for box in boxes], captions)
        self.assertEqual([labels_of(box) for box in boxes], [[("label", c)] for c in captions])
        self.assertEqual(text_of(boxes[1]), "2시간 남았습니다.")

    def test_a_file_that_is_gone_is_named_once_the_alarm_has_ended(self):
        # At the set hour, with the real xdg-open, which ends with status 2 for a missing file.
        gone = "/tmp/tovrel-지운 노래.mp3"
        app_folder = harness.make_app_folder(self.scratch, "Tovrel")
        harness.write_settings(app_folder, {"일어날 시간": "7", "원하는 파일": gone})
        run = harness.start([app_folder / "Tovrel"], self.x, self.scratch, lang="ko_KR.UTF-8",
                            fake_time="2026-12-08 07:30:00")
        self.addCleanup(run.stop)
        self.assertEqual(run.wait(timeout=15)[0], 0, run.output())

        def message():
            return next((label.name for app in applications() if app.get_process_id() != run.pid
                         for label in showing(app, "label") if gone in label.name), None)

        self.assertEqual(harness.poll(message, timeout=10), "파일을 열 수 없습니다:\n" + gone)
        box = self.x.wait_for_window(ALARM_TITLE)
        self.x.run("xdotool", "key", "Return")
        self.assertTrue(self.x.wait_until_gone(box), "Return left the box open")

    def test_settings_window_by_keyboard_alone(self):
        run = self.start(SETTINGS_TITLE)
        window = self.x.wait_for_window(SETTINGS_TITLE, run.pid, run=run)
        app = application(run.pid)
        hour_box, path_box = showing(app, "text")
        self.assertEqual((hour_box.name, path_box.name), ("일어날 시간", "원하는 파일"))
        self.assertEqual([b.name for b in showing(app, "push button")],
                         ["찾아보기", "불러오기", "저장하기"])

        self.wait_for_focus(app, ("text", "일어날 시간"), "the window opened")
        self.x.run("xdotool", "type", "7")
        self.assertTrue(harness.poll(lambda: text_of(hour_box) == "7", timeout=5),
                        f"the hour box holds {text_of(hour_box)!r}")

        # Once round the window and back to the hour box; the read-only path box takes the focus.
        order = [("text", "원하는 파일"), ("push button", "찾아보기"), ("push button", "불러오기"),
                 ("push button", "저장하기"), ("text", "일어날 시간")]
        for number, expected in enumerate(order, start=1):
            self.x.run("xdotool", "key", "Tab")
            self.wait_for_focus(app, expected, f"Tab {number}")

        for _ in range(2):
            self.x.run("xdotool", "key", "Tab")
        self.wait_for_focus(app, ("push button", "찾아보기"), "two more Tabs")
        self.x.run("xdotool", "key", "space")
        dialog = self.x.wait_for_window("열기", run.pid, run=run)
        self.x.run("xdotool", "key", "Escape")
        self.assertTrue(self.x.wait_until_gone(dialog), "Escape left the Open dialog open")
        self.wait_for_focus(app, ("push button", "찾아보기"), "the dialog was cancelled")
        self.assertEqual(text_of(path_box), "찾아보기를 눌러 주세요.")

        # Enter presses a button too: 불러오기 with no settings file says so in a box.
        self.x.run("xdotool", "key", "Tab")
        self.wait_for_focus(app, ("push button", "불러오기"), "Tab to 불러오기")
        self.x.run("xdotool", "key", "Return")
        box = self.x.wait_for_window(SETTINGS_TITLE, run.pid, exclude=[window], run=run)
        self.assertTrue(harness.poll(
            lambda: "파일이 정상적이지 않습니다." in [o.name for o in showing(app, "label")],
            timeout=5), "the box's text is not readable over AT-SPI")
        self.x.run("xdotool", "key", "Return")
        self.assertTrue(self.x.wait_until_gone(box), "Return left the box open")

    def test_toolkit_words_are_korean_in_every_locale(self):
        for lang in ("C.UTF-8", None):
            with self.subTest(lang=lang):
                run = self.start(SETTINGS_TITLE, folder=str(lang), lang=lang)
                app = application(run.pid)
                self.wait_for_focus(app, ("text", "일어날 시간"), "the window opened")
                for _ in range(2):
                    self.x.run("xdotool", "key", "Tab")
                self.wait_for_focus(app, ("push button", "찾아보기"), "two Tabs")
                self.x.run("xdotool", "key", "space")
                self.assertTrue(harness.poll(lambda: "취소" in names(app, "push button"), 5),
                                f"the Open dialog's buttons: {names(app, 'push button')}")
                labels = names(app, "label")
                for words in ("다음에서 찾기:", "파일 형식:"):
                    self.assertIn(words, labels)
                self.x.run("xdotool", "key", "Escape")
                self.wait_for_focus(app, ("push button", "찾아보기"), "the dialog was cancelled")
                self.x.run("xdotool", "key", "Tab")
                self.wait_for_focus(app, ("push button", "불러오기"), "Tab to 불러오기")
                self.x.run("xdotool", "key", "Return")
                self.assertTrue(harness.poll(lambda: "확인" in names(app, "push button"), 5),
                                f"the message box's buttons: {names(app, 'push button')}")
                run.stop()


if __name__ == "__main__":
    unittest.main()
