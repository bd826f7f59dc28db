"""How both real executables sit on a desktop (Xvfb with openbox): their own name and icon on
every window, centred with their frames, the alarm leaving the keyboard where the user types, and
no file of their own under the user's config and data folders."""

import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from Xlib import X, display

import harness
from test_day_of_use import BROWSE_BUTTON, click_for_window, close_politely

ALARM, SETTINGS = "Tovrel", "환경설정"
TITLES = {ALARM: "Tovrel프로그램", SETTINGS: "환경설정"}
# The application id of each executable: its desktop entry's and its icon's name.
IDS = {ALARM: "tovrel", SETTINGS: "tovrel-settings"}
ICONS = harness.REPO / "packaging" / "linux"
LOAD_BUTTON = (76, 84)
SETTINGS_AT_7 = {"일어날 시간": "7", "원하는 파일": "/tmp/아침 노래.mp3"}


def largest_icon(xserver, window):
    """The largest image of the window's _NET_WM_ICON: (size, [ARGB pixel, ...]), or None."""
    connection = display.Display(xserver.display)
    try:
        prop = connection.create_resource_object("window", window).get_full_property(
            connection.intern_atom("_NET_WM_ICON"), X.AnyPropertyType)
    finally:
        connection.close()
    data, images = list(prop.value) if prop else [], []
    while data:
        images.append((data[0], data[2:2 + data[0] * data[1]]))
        del data[:2 + data[0] * data[1]]
    return max(images, default=None)


def distance(argb_pixels, svg, size):
    """How far an icon image lies from the SVG drawn at its size: 0 the same, 1 opposite."""
    drawn = subprocess.run(["convert", "-background", "none", "-density", "384", str(svg),
                            "-resize", f"{size}x{size}", "-depth", "8", "RGBA:-"],
                           capture_output=True, check=True).stdout
    ours = b"".join(((pixel << 8 | pixel >> 24) & 0xFFFFFFFF).to_bytes(4, "big")
                    for pixel in argb_pixels)
    return sum(abs(a - b) for a, b in zip(ours, drawn)) / (255 * len(ours))


class TypingWindow:
    """A window of the test's own that the user types in: it has the focus, and counts keys."""

    def __init__(self, xserver):
        self.connection = display.Display(xserver.display)
        root = self.connection.screen().root
        self.window = root.create_window(20, 20, 200, 100, 0, X.CopyFromParent,
                                         event_mask=X.KeyPressMask)
        self.window.set_wm_name("typing")
        self.window.map()
        self.connection.flush()
        if not harness.poll(self.has_focus, timeout=5):
            raise RuntimeError("the typing window did not get the focus")

    def close(self):
        self.window.destroy()
        self.connection.close()

    def focus(self):
        focus = self.connection.get_input_focus().focus
        return getattr(focus, "id", focus)

    def has_focus(self):
        return self.focus() == self.window.id

    def keys_typed(self):
        count = 0
        while self.connection.pending_events():
            count += self.connection.next_event().type == X.KeyPress
        return count


class DesktopTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.x = harness.XServer(window_manager=True).start()
        cls.addClassCleanup(cls.x.stop)

    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="tovrel-desktop-")
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)

    def start(self, name, folder, settings=None, clock="05:40:00", **options):
        """Starts the named executable from an application folder of its own under folder."""
        (self.scratch / folder).mkdir()
        app = harness.make_app_folder(self.scratch / folder, *TITLES)
        if settings:
            harness.write_settings(app, settings)
        run = harness.start([app / name], self.x, self.scratch,
                            fake_time="2026-12-08 " + clock, **options)
        self.addCleanup(run.stop)
        return run

    def typing_window(self):
        typing = TypingWindow(self.x)
        self.addCleanup(typing.close)
        return typing

    def assert_own_name_and_icon(self, name, window):
        self.assertEqual(self.x.wm_class(window), (IDS[name], IDS[name]))
        icon = largest_icon(self.x, window)
        self.assertTrue(icon, "the window has no icon")
        size, pixels = icon
        own, other = (distance(pixels, ICONS / f"{IDS[n]}.svg", size) for n in (name, {
            ALARM: SETTINGS, SETTINGS: ALARM}[name]))
        self.assertLess(own, min(0.05, other), "the icon is not the program's own")

    def test_own_name_and_icon_on_windows_and_message_boxes(self):
        run = self.start(SETTINGS, "settings")
        window = self.x.wait_for_window(TITLES[SETTINGS], run.pid, run=run)
        self.assert_own_name_and_icon(SETTINGS, window)
        box = click_for_window(self.x, window, LOAD_BUTTON, TITLES[SETTINGS], run, exclude=[window])
        self.assert_own_name_and_icon(SETTINGS, box)

        run = self.start(ALARM, "alarm without settings")
        self.assert_own_name_and_icon(ALARM, self.x.wait_for_window(TITLES[ALARM], run.pid, run=run))
        run = self.start(ALARM, "alarm", settings=SETTINGS_AT_7)
        self.assert_own_name_and_icon(ALARM, self.x.wait_for_window(TITLES[ALARM], run.pid, run=run))

    def test_windows_are_centred_with_their_frames(self):
        connection = display.Display(self.x.display)
        area = connection.screen().root.get_full_property(
            connection.intern_atom("_NET_WORKAREA"), X.AnyPropertyType).value[:4]
        connection.close()
        middle = (area[0] + area[2] / 2, area[1] + area[3] / 2)

        def frame_middle(window):
            left, right, top, bottom = self.x.frame_extents(window) or (0, 0, 0, 0)
            x, y, width, height = self.x.geometry(window)
            return (x - left + (width + left + right) / 2, y - top + (height + top + bottom) / 2)

        def centred(window):
            return all(abs(a - b) <= 1 for a, b in zip(frame_middle(window), middle))

        for name in TITLES:
            with self.subTest(name):
                run = self.start(name, name, settings=SETTINGS_AT_7)
                window = self.x.wait_for_window(TITLES[name], run.pid, run=run)
                self.assertTrue(self.x.frame_extents(window), "openbox drew no frame")
                self.assertTrue(harness.poll(lambda: centred(window), timeout=3),
                                f"the frame's middle is {frame_middle(window)}, not {middle}")
                run.stop()

    def test_alarm_leaves_the_keyboard_where_the_user_types_but_its_box_takes_it(self):
        typing = self.typing_window()
        run = self.start(ALARM, "alarm", settings=SETTINGS_AT_7)
        self.x.wait_for_window(TITLES[ALARM], run.pid, run=run)
        time.sleep(0.3)  # what the window manager does on mapping it is done
        self.assertTrue(typing.has_focus(), "the alarm window took the focus")
        self.x.run("xdotool", "key", "a")
        self.assertTrue(harness.poll(typing.keys_typed, timeout=3), "the keystroke was lost")
        run.wait(timeout=10)

        app = harness.make_app_folder(self.scratch, ALARM)  # no settings: the message box
        started = self.scratch / "settings-started.log"
        harness.write_recorder(app / SETTINGS, started)
        run = harness.start([app / ALARM], self.x, self.scratch)
        self.addCleanup(run.stop)
        box = self.x.wait_for_window(TITLES[ALARM], run.pid, run=run)
        self.assertTrue(harness.poll(lambda: typing.focus() == box, timeout=3),
                        "the message box did not get the focus")
        self.x.run("xdotool", "key", "Return")  # no click first: the keyboard is there already
        self.assertTrue(self.x.wait_until_gone(box), "Return did not answer the box")
        self.assertEqual(run.wait(timeout=10)[0], 0, run.output())
        self.assertEqual(harness.wait_for_records(started, 1), [[]])

    def test_no_display_is_said_on_standard_error_with_status_1(self):
        app = harness.make_app_folder(self.scratch, *TITLES)
        displays = {"none at all": {}, "an X server that is not there": {"DISPLAY": ":999"},
                    "a Wayland display that is not there": {"WAYLAND_DISPLAY": "tovrel-none"}}
        for name in TITLES:
            for case, display_variables in displays.items():
                with self.subTest(name=name, case=case):
                    env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", **display_variables}
                    run = subprocess.run([app / name], env=env, cwd=self.scratch, timeout=30,
                                         capture_output=True, text=True)
                    self.assertEqual(run.returncode, 1, run.stderr)
                    self.assertIn(f"{IDS[name]}: 창을 띄울 디스플레이가 없습니다", run.stderr)
                    self.assertNotIn("Reinstalling", run.stderr)

    def test_no_file_under_the_users_config_and_data_folders(self):
        home, config, data = (self.scratch / name for name in ("home", "config", "data"))
        for folder in (home, config, data):
            folder.mkdir()
        stubs, _ = harness.make_opener_stub(self.scratch)
        run = self.start(SETTINGS, "settings", settings=SETTINGS_AT_7, clock="07:30:00",
                         path_first=[stubs],
                         HOME=str(home), XDG_CONFIG_HOME=str(config), XDG_DATA_HOME=str(data))
        window = self.x.wait_for_window(TITLES[SETTINGS], run.pid, run=run)
        dialog = click_for_window(self.x, window, BROWSE_BUTTON, "열기", run)
        self.x.run("xdotool", "key", "Escape")
        self.assertTrue(self.x.wait_until_gone(dialog), "Escape left the Open dialog open")
        box = click_for_window(self.x, window, LOAD_BUTTON, TITLES[SETTINGS], run, exclude=[window])
        self.x.answer_box(box)
        self.assertTrue(self.x.wait_until_gone(box))
        close_politely(self.x, window)
        self.assertEqual(run.wait(timeout=10)[0], 0, run.output())
        # The alarm the settings started, at the set hour, opens the file and ends by itself.
        self.assertTrue(harness.poll(lambda: self.x.windows(TITLES[ALARM]), timeout=10))
        self.assertTrue(harness.poll(lambda: not self.x.windows(TITLES[ALARM]), timeout=8))
        for folder in (home, config, data):
            self.assertEqual(list(folder.rglob("*")), [], f"{folder.name} got files")


if __name__ == "__main__":
    unittest.main()
