"""Takes the README's picture of the alarm window: python3 screenshot.py BIN_DIR OUT.png"""

import sys
import tempfile
import time
from pathlib import Path

import harness


def alarm_screenshot(bin_dir, out):
    """Runs Tovrel in Korean at 05:40 with the alarm set for 7 and saves its window."""
    with harness.XServer() as x, tempfile.TemporaryDirectory() as temp:
        app = harness.make_app_folder(temp, "Tovrel", source=bin_dir)
        settings = {"일어날 시간": "7", "원하는 파일": "/tmp/아침 노래.mp3"}
        harness.write_settings(app, settings)
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


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    alarm_screenshot(Path(sys.argv[1]), Path(sys.argv[2]))
