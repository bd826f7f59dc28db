"""Runs a command on an X display of its own, with a window manager, and returns its status."""

import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402


def main(argv):
    with harness.XServer(window_manager=True) as xserver:
        return subprocess.run(argv, env=xserver.env()).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
