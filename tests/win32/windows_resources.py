"""The resources of a Windows executable as windres lists them, and its version information."""

import re
import subprocess


def resources(executable):
    """windres's listing, and the (type and name, language) of each resource in it."""
    listing = subprocess.run(["x86_64-w64-mingw32-windres", "-i", str(executable), "-O", "rc"],
                             capture_output=True, text=True, check=True).stdout
    found, language = [], None
    for line in listing.splitlines():
        switched = re.match(r"LANGUAGE (\d+), (\d+)", line)
        if switched:
            language = tuple(map(int, switched.groups()))
        elif re.match(r"\w+ (\w+|\d+ /\* \w+ \*/)$", line):
            found.append((line, language))
    return listing, found


def version_strings(executable):
    """{name: text} of the version information's strings, which windres writes in C escapes."""
    def unescape(match):
        code = match.group(1)
        if code[0] == "x":
            return chr(int(code[1:], 16))
        return chr(int(code, 8)) if code.isdigit() else code

    return {name: re.sub(r"\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.)", unescape, text)
            for name, text in re.findall(r'VALUE "(\w+)", L?"((?:[^"\\]|\\.)*)"',
                                         resources(executable)[0])}
