"""Takes the README's pictures of both windows under Wine, with their frames:
python3 wine_screenshot.py BUILD_DIR DOCS_DIR

BUILD_DIR is the Windows build (build/windows) after a run of its tests, which leave a Wine prefix
in BUILD_DIR/wine-prefix."""

import os
import sys
import time
from pathlib import Path

import wine_harness  # first: it puts tests/e2e on the path

import harness

SETTINGS = {"일어날 시간": "7", "원하는 파일": "C:\\음악\\아침 노래.mp3"}
LOAD_BUTTON = (8 + 68, 72 + 12)  # Command2: 120, 1080, 2055 x 375 twips, at 96 dpi


def alarm_screenshot(x, out):
    """Tovrel.exe at 05:40 with the alarm set for 7."""
    wine = wine_harness.WineSession(x).start()
    try:
        harness.write_settings(wine.app, SETTINGS)
        run = wine.run(wine_harness.ALARM, fake_time="2026-12-08 05:40:00", channels=())
        window = x.wait_for_window("Tovrel프로그램", run.pid, timeout=30, run=run)
        # The first paint with the time and hours left, well before the third tick ends it.
        time.sleep(0.8)
        x.screenshot(out, window, framed=True)
    finally:
        wine.stop()


def settings_screenshot(x, out):
    """환경설정.exe after 불러오기 has shown the stored settings."""
    wine = wine_harness.WineSession(x).start()
    try:
        harness.write_settings(wine.app, SETTINGS)
        run = wine.run(wine_harness.SETTINGS, channels=())
        window = x.wait_for_window("환경설정", run.pid, timeout=30, run=run)
        x.run("xdotool", "mousemove", "--window", str(window), *map(str, LOAD_BUTTON),
              "click", "1")
        box = harness.poll(lambda: [w for w in x.windows("환경설정", run.pid) if w != window],
                           timeout=15)
        if not box:
            raise RuntimeError("불러오기 showed no box")
        x.answer_box(box[0])
        x.wait_until_gone(box[0])
        time.sleep(0.5)
        x.screenshot(out, window, framed=True)
    finally:
        wine.stop()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    build, docs = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    os.environ.update(WINEPREFIX=str(build / "wine-prefix"),
                      TOVREL_WINDOWS_BIN_DIR=str(build / "bin"))
    with harness.XServer(window_manager=True) as display:
        alarm_screenshot(display, docs / "alarm-window-wine.png")
        settings_screenshot(display, docs / "settings-window-wine.png")
