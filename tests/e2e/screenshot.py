"""Takes the README's pictures of both windows: python3 screenshot.py BIN_DIR DOCS_DIR"""

import sys
import tempfile
import time
from pathlib import Path

import harness

SETTINGS = {"일어날 시간": "7", "원하는 파일": "/home/me/음악/아침 노래.mp3"}
LOAD_BUTTON = (76, 84)  # in the settings window's client area, at 96 dpi


def alarm_screenshot(bin_dir, out):
    """Runs Tovrel in Korean at 05:40 with the alarm set for 7 and saves its window."""
    with harness.XServer() as x, tempfile.TemporaryDirectory() as temp:
        app = harness.make_app_folder(temp, "Tovrel", source=bin_dir)
        harness.write_settings(app, SETTINGS)
        run = harness.start([app / "Tovrel"], x, temp, fake_time="2026-12-08 05:40:00",
                            lang="ko_KR.UTF-8")
        try:
            window = x.wait_for_window("Tovrel프로그램", run.pid, run=run)
            # Let the first paint with the time and hours left settle, well before the
            # program ends at its third tick.
            time.sleep(max(0.0, 0.8 - run.elapsed()))
            x.screenshot(out, window)
        finally:
            run.stop()


def settings_screenshot(bin_dir, out):
    """Runs 환경설정 in Korean, loads the stored settings and saves its window."""
    with harness.XServer() as x, tempfile.TemporaryDirectory() as temp:
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
            x.screenshot(out, window)
        finally:
            run.stop()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    bin_dir, docs = Path(sys.argv[1]), Path(sys.argv[2])
    alarm_screenshot(bin_dir, docs / "alarm-window.png")
    settings_screenshot(bin_dir, docs / "settings-window.png")
