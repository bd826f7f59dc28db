"""Takes the README's pictures of both windows: python3 screenshot.py BIN_DIR DOCS_DIR [--framed]

With --framed the windows have openbox's frames around them, and the pictures are
linux-alarm-window.png and linux-settings-window.png."""

import sys
import tempfile
import time
from pathlib import Path

import harness

SETTINGS = {"일어날 시간": "7", "원하는 파일": "/home/me/음악/아침 노래.mp3"}
LOAD_BUTTON = (76, 84)  # in the settings window's client area, at 96 dpi


def framed_screenshot(x, path, window):
    """Saves the window with the frame the window manager drew around it."""
    left, right, top, bottom = x.frame_extents(window)
    cx, cy, width, height = x.geometry(window)
    crop = f"{width + left + right}x{height + top + bottom}+{cx - left}+{cy - top}"
    result = x.run("import", "-window", "root", "-crop", crop, "+repage", str(path))
    if result.returncode != 0:
        raise RuntimeError("import failed: " + result.stderr)


def take(x, out, window, framed):
    if framed:
        framed_screenshot(x, out, window)
    else:
        x.screenshot(out, window)


def alarm_screenshot(bin_dir, out, framed=False):
    """Runs Tovrel in Korean at 05:40 with the alarm set for 7 and saves its window."""
    with harness.XServer(window_manager=framed) as x, tempfile.TemporaryDirectory() as temp:
        app = harness.make_app_folder(temp, "Tovrel", source=bin_dir)
        harness.write_settings(app, SETTINGS)
        run = harness.start([app / "Tovrel"], x, temp, fake_time="2026-12-08 05:40:00",
                            lang="ko_KR.UTF-8")
        try:
            window = x.wait_for_window("Tovrel프로그램", run.pid, run=run)
            # Let the first paint with the time and hours left settle, well before the
            # program ends at its third tick.
            time.sleep(max(0.0, 0.8 - run.elapsed()))
            take(x, out, window, framed)
        finally:
            run.stop()


def settings_screenshot(bin_dir, out, framed=False):
    """Runs 환경설정 in Korean, loads the stored settings and saves its window."""
    with harness.XServer(window_manager=framed) as x, tempfile.TemporaryDirectory() as temp:
        app = harness.make_app_folder(temp, "환경설정", source=bin_dir)
        harness.write_settings(app, SETTINGS)
        run = harness.start([app / "환경설정"], x, temp, lang="ko_KR.UTF-8")
        try:
            window = x.wait_for_window("환경설정", run.pid, run=run)
            x.run("xdotool", "mousemove", "--window", str(window), *map(str, LOAD_BUTTON),
                  "click", "1")
            box = x.wait_for_window("환경설정", run.pid, exclude=[window], run=run)
            x.answer_box(box)
            x.wait_until_gone(box)
            time.sleep(0.3)
            take(x, out, window, framed)
        finally:
            run.stop()


if __name__ == "__main__":
    framed = sys.argv[3:] == ["--framed"]
    if len(sys.argv) != 3 and not framed:
        sys.exit(__doc__)
    bin_dir, docs = Path(sys.argv[1]), Path(sys.argv[2])
    prefix = "linux-" if framed else ""
    alarm_screenshot(bin_dir, docs / f"{prefix}alarm-window.png", framed)
    settings_screenshot(bin_dir, docs / f"{prefix}settings-window.png", framed)
