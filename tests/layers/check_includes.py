"""Fails when a source under src/ includes a header of a layer above its own.

The layers, bottom up: the settings store, the frame, the windows (side by side, neither
including the other), the program. Inside the frame, the operating system's code (frame/os/posix,
frame/os/win32) and the window systems' (frame/ui/qt, frame/ui/win32) stand apart: a window
system may include its own operating system's code, never the other way round; the frame's shared
code and the windows include neither; only the program, which holds the entry points, starts
them."""

import re
import sys
from pathlib import Path

SRC = Path(sys.argv[1])
RANKS = {"settings_store": 0, "frame": 1, "alarm_window": 2, "settings_window": 2, "program": 3}
# frame/os/ and frame/ui/, with the folder of one system or window system, or none for what the
# systems share.
PLATFORM = re.compile(r"^frame/(os|ui)/(?:(\w+)/)?")
# The operating system each window system runs on.
OS_OF_WINDOW_SYSTEM = {"qt": "posix", "win32": "win32"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder(path):
    return path.split("/")[0]


def platform_refusal(source, header):
    included = PLATFORM.match(header)
    if not included or folder(source) == "program":
        return None
    including = PLATFORM.match(source)
    if not including:
        return "a platform folder's header"
    (source_kind, source_name), (header_kind, header_name) = including.groups(), included.groups()
    if header_name not in (None, source_name if source_kind == header_kind else None) and not (
            source_kind == "ui" and header_kind == "os"
            and OS_OF_WINDOW_SYSTEM.get(source_name) == header_name):
        return "another platform folder's header"
    if source_kind == "os" and header_kind == "ui":
        return "a window system's header in the operating system's code"
    return None


def refusal(source, header):
    if folder(header) not in RANKS:
        return None  # a file beside the source, or one the build makes
    mine, theirs = RANKS[folder(source)], RANKS[folder(header)]
    if theirs > mine:
        return "a layer above its own"
    if theirs == mine and folder(header) != folder(source):
        return "a layer beside its own"
    return platform_refusal(source, header)


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
