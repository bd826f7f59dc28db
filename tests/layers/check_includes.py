"""Fails when a source under src/ includes a header of a layer above its own.

The layers, bottom up: the settings store, the frame, the windows (side by side, neither
including the other), the program. The platform folders under frame/ (posix, win32, qt) stand
beside them: they may include the settings store and the frame, only an entry point (main.cpp)
includes the program, and nothing outside a platform folder includes one."""

import re
import sys
from pathlib import Path

SRC = Path(sys.argv[1])
RANKS = {"settings_store": 0, "frame": 1, "alarm_window": 2, "settings_window": 2, "program": 3}
PLATFORMS = ("frame/posix/", "frame/win32/", "frame/qt/")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder(path):
    return path.split("/")[0]


def refusal(source, header):
    if header.startswith(PLATFORMS):
        return None if source.startswith(PLATFORMS) else "a platform folder's header"
    if folder(header) not in RANKS:
        return None  # a file beside the source, or one the build makes
    if source.startswith(PLATFORMS):
        allowed = RANKS["program"] if source.endswith("/main.cpp") else RANKS["frame"]
        return None if RANKS[folder(header)] <= allowed else "a layer above the platform's"
    mine, theirs = RANKS[folder(source)], RANKS[folder(header)]
    if theirs > mine:
        return "a layer above its own"
    if theirs == mine and folder(header) != folder(source):
        return "a layer beside its own"
    return None


sources = sorted(p for p in SRC.rglob("*") if p.suffix in (".h", ".cpp"))
problems = []
for path in sources:
    source = path.relative_to(SRC).as_posix()
    for header in INCLUDE.findall(path.read_text(encoding="utf-8")):
        why = refusal(source, header)
        if why:
            problems.append(f"{source} includes {header}: {why}")
print(f"{len(sources)} sources checked")
print("\n".join(problems))
sys.exit(1 if problems or not sources else 0)
