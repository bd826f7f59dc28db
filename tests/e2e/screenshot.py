"""Takes the README's pictures of both windows: python3 screenshot.py BIN_DIR DOCS_DIR [--framed]

With --framed the windows have openbox's frames around them, and the pictures are
linux-alarm-window.png and linux-settings-window.png, with the settings' message box after
불러오기 (linux-message-box.png) and its Open dialog (linux-open-dialog.png) besides."""

import sys
import tempfile
import time
from pathlib import Path

import harness

SETTINGS = {"일어날 시간": "7", "원하는 파일": "/home/me/음악/아침 노래.mp3"}
LOAD_BUTTON = (76, 84)  # in the settings window's client area, at 96 dpi
BROWSE_BUTTON = (250, 20)


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
            x.screenshot(out, window, framed)
        finally:
            run.stop()


def settings_screenshot(bin_dir, out, framed=False, box_out=None, dialog_out=None):
    """Runs 환경설정 in Korean, loads the stored settings and saves its window; with box_out
    and dialog_out, also the message box that loading shows and the Open dialog."""
    with harness.XServer(window_manager=framed) as x, tempfile.TemporaryDirectory() as temp:
        app = harness.make_app_folder(temp, "환경설정", source=bin_dir)
        harness.write_settings(app, SETTINGS)
        music = Path(temp) / "음악"  # where the Open dialog starts
        music.mkdir()
        for song in ("아침 노래.mp3", "저녁 노래.mp3"):
            (music / song).write_bytes(b"ID3")
        run = harness.start([app / "환경설정"], x, music, lang="ko_KR.UTF-8")
        try:
            window = x.wait_for_window("환경설정", run.pid, run=run)
            click(x, window, LOAD_BUTTON)
            box = x.wait_for_window("환경설정", run.pid, exclude=[window], run=run)
            if box_out:
                time.sleep(0.3)
                x.screenshot(box_out, box, framed)
            x.answer_box(box)
            x.wait_until_gone(box)
            time.sleep(0.3)
            x.screenshot(out, window, framed)
            if dialog_out:
                (music / "output.log").unlink()  # the program's log, not a file to show
                click(x, window, BROWSE_BUTTON)
                dialog = x.wait_for_window("열기", run.pid, run=run)
                time.sleep(0.5)
                x.screenshot(dialog_out, dialog, framed)
        finally:
            run.stop()


def click(x, window, position):
    x.run("xdotool", "mousemove", "--window", str(window), *map(str, position), "click", "1")


if __name__ == "__main__":
    framed = sys.argv[3:] == ["--framed"]
    if len(sys.argv) != 3 and not framed:
        sys.exit(__doc__)
    bin_dir, docs = Path(sys.argv[1]), Path(sys.argv[2])
    prefix = "linux-" if framed else ""
    alarm_screenshot(bin_dir, docs / f"{prefix}alarm-window.png", framed)
    extras = {"box_out": docs / "linux-message-box.png",
              "dialog_out": docs / "linux-open-dialog.png"} if framed else {}
    settings_screenshot(bin_dir, docs / f"{prefix}settings-window.png", framed, **extras)
