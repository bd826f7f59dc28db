"""Makes a fresh Wine prefix for one run of the Windows tests: the old one goes, a new one is
set up and Wine's server has finished with it before any test starts."""

import os
import shutil
import subprocess
import sys
from pathlib import Path


def main(prefix):
    prefix = Path(prefix)
    env = dict(os.environ, WINEPREFIX=str(prefix))
    env.pop("DISPLAY", None)
    subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL, check=False)
    shutil.rmtree(prefix, ignore_errors=True)
    subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    # The prefix is still being set up (wine.inf) until the server is through.
    subprocess.run(["wineserver", "-w"], env=env, check=True)
    if not (prefix / "drive_c" / "windows").is_dir():
        sys.exit(f"no Wine prefix in {prefix}")


if __name__ == "__main__":
    main(sys.argv[1])
