"""Both Windows executables as Windows' loader and Explorer see them: they start on Windows 7 SP1
and later, their version information is Korean, and a second build of the same sources gives the
same bytes."""

import os
import re
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from windows_resources import resources, version_strings

BUILD = Path(os.environ["TOVREL_BUILD_DIR"])
SOURCE = Path(os.environ["TOVREL_SOURCE_DIR"])
COMPILER = os.environ["TOVREL_CXX_COMPILER"]
EXECUTABLES = ("Tovrel.exe", "환경설정.exe")
WINDOWS_7 = "0x0601"
# The compatibility GUIDs Windows gives its versions, from 7 on.
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
KOREAN = (0x12, 0x01)  # LANG_KOREAN, SUBLANG_KOREAN


def objdump(executable):
    return subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(executable)],
                          capture_output=True, text=True, check=True).stdout


def imports(dump):
    """{DLL name in lower case: [imported function names]} from objdump -p."""
    table, dll = {}, None
    for line in dump.partition("The Import Tables")[2].splitlines():
        named = re.match(r"\s+DLL Name: (\S+)", line)
        function = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\w+)$", line)
        if named:
            dll = named.group(1).lower()
            table[dll] = []
        elif function and dll:
            table[dll].append(function.group(1))
        elif line.startswith("The "):
            break
    return table


def declared_for_windows_7():
    """Every name that the system headers declare for a program that targets Windows 7: the
    headers leave out what later versions brought."""
    source = "#include <windows.h>\n#include <commctrl.h>\n#include <commdlg.h>\n"
    preprocessed = subprocess.run(
        [COMPILER, "-E", "-P", "-x", "c++", f"-DWINVER={WINDOWS_7}",
         f"-D_WIN32_WINNT={WINDOWS_7}", "-DUNICODE", "-"],
        input=source, capture_output=True, text=True, check=True).stdout
    return set(re.findall(r"\b\w+\b", preprocessed))


class StartsOnWindows7Test(unittest.TestCase):
    def test_nothing_newer_than_windows_7_is_imported(self):
        declared = declared_for_windows_7()
        for name in EXECUTABLES:
            for dll, functions in imports(objdump(BUILD / "bin" / name)).items():
                if dll == "msvcrt.dll":
                    continue  # the C run-time's; Windows 7's has every function it imports
                with self.subTest(executable=name, dll=dll):
                    self.assertTrue(functions)
                    self.assertEqual([f for f in functions if f not in declared], [])

    def test_the_image_asks_for_no_newer_system(self):
        for name in EXECUTABLES:
            dump = objdump(BUILD / "bin" / name)
            for field in ("OSystem", "Subsystem"):
                with self.subTest(executable=name, field=field):
                    major = int(re.search(rf"Major{field}Version\s+(\d+)", dump).group(1))
                    minor = int(re.search(rf"Minor{field}Version\s+(\d+)", dump).group(1))
                    self.assertLessEqual((major, minor), (6, 1))

    def test_the_manifest_names_windows_7_to_11(self):
        for name in EXECUTABLES:
            with self.subTest(name):
                image = (BUILD / "bin" / name).read_bytes()
                manifest = re.search(rb"<assembly .*?</assembly>", image, re.DOTALL).group(0)
                namespace = "{urn:schemas-microsoft-com:compatibility.v1}"
                supported = {element.get("Id") for element in ElementTree.fromstring(manifest)
                             .iter(namespace + "supportedOS")}
                self.assertEqual({SUPPORTED_OS.get(id, id) for id in supported},
                                 set(SUPPORTED_OS.values()))


class ReleaseTest(unittest.TestCase):
    def test_the_version_information_is_korean_and_names_the_licence_holders(self):
        for name in EXECUTABLES:
            with self.subTest(name):
                listing, found = resources(BUILD / "bin" / name)
                self.assertEqual([language for line, language in found if "VERSIONINFO" in line],
                                 [KOREAN])
                self.assertIn('BLOCK "041204B0"', listing)
                self.assertEqual(version_strings(BUILD / "bin" / name)["LegalCopyright"],
                                 "Copyright (c) 2026 the Tovrel authors")
                self.assertIn('VALUE "Translation", 0x412, 1200', listing)

    def test_a_second_build_elsewhere_is_byte_identical(self):
        with tempfile.TemporaryDirectory(prefix="tovrel-second-build-") as second:
            for command in (
                    ["cmake", "-S", str(SOURCE), "-B", second, "-G", "Ninja",
                     "--toolchain", str(SOURCE / "cmake" / "mingw-w64.cmake"),
                     "-DCMAKE_BUILD_TYPE=Release", "-DTOVREL_BUILD_TESTS=OFF"],
                    ["cmake", "--build", second, "--target", "alarm_executable",
                     "settings_executable"]):
                result = subprocess.run(command, capture_output=True, text=True)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            for name in EXECUTABLES:
                with self.subTest(name):
                    self.assertEqual((Path(second) / "bin" / name).read_bytes(),
                                     (BUILD / "bin" / name).read_bytes())


if __name__ == "__main__":
    unittest.main()
