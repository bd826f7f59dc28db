"""The Windows zip as a user gets it: both executables, each needing no DLL besides Windows'
own, the read-me in Korean and English, and the hourly task's scripts."""

import os
import re
import subprocess
import unittest
import zipfile
from pathlib import Path

BUILD = Path(os.environ["TOVREL_BUILD_DIR"])
VERSION = os.environ["TOVREL_VERSION"]
# What every Windows 10 has in its system folder.
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comdlg32.dll",
                "comctl32.dll", "msvcrt.dll"}


def imported_dlls(executable):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(executable)],
                          capture_output=True, text=True, check=True).stdout
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        subprocess.run(["cpack", "-G", "ZIP"], cwd=BUILD, check=True, capture_output=True)
        cls.zip = zipfile.ZipFile(BUILD / f"Tovrel-{VERSION}-windows.zip")
        cls.folder = f"Tovrel-{VERSION}-windows/"

    def test_holds_the_executables_the_read_me_the_licence_and_the_task_scripts(self):
        self.assertEqual(
            sorted(self.zip.namelist()),
            sorted(self.folder + name for name in ("Tovrel.exe", "환경설정.exe", "README.txt",
                                                   "LICENSE.txt", "register-hourly.cmd",
                                                   "unregister-hourly.cmd")))

    def test_the_executables_need_only_windows_own_dlls(self):
        for name in ("Tovrel.exe", "환경설정.exe"):
            with self.subTest(name):
                self.assertLessEqual(imported_dlls(BUILD / "bin" / name), WINDOWS_DLLS)

    def test_the_executables_carry_their_manifest_icon_and_version(self):
        for name in ("Tovrel.exe", "환경설정.exe"):
            with self.subTest(name):
                executable = BUILD / "bin" / name
                image = executable.read_bytes()
                self.assertIn(b"<dpiAwareness", image)
                self.assertIn(b">PerMonitorV2<", image)
                self.assertIn(b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                              b" ".join(image.split()))
                self.assertIn(("OriginalFilename\0" + name + "\0").encode("utf-16-le"),
                              image.replace(b"\0\0\0\0", b"\0\0"))
                resources = subprocess.run(
                    ["x86_64-w64-mingw32-windres", "-i", str(executable), "-O", "rc"],
                    capture_output=True, text=True, check=True).stdout
                self.assertIn("RT_GROUP_ICON", resources)

    def test_the_read_me_speaks_korean_and_english_in_windows_line_ends(self):
        text = self.zip.read(self.folder + "README.txt").decode("utf-8-sig")
        self.assertIn("[한국어]", text)
        self.assertIn("[English]", text)
        self.assertIn(f"Tovrel {VERSION}", text)
        self.assertNotIn("\n", text.replace("\r\n", ""))

    def test_the_scripts_are_in_code_page_949_with_windows_line_ends(self):
        # As cmd reads a script on Korean Windows: in another encoding its Korean messages are
        # garbled, and with bare LF line ends cmd misreads some lines.
        for name in ("register-hourly.cmd", "unregister-hourly.cmd"):
            with self.subTest(name):
                text = self.zip.read(self.folder + name).decode("cp949")
                self.assertRegex(text, "[가-힣]")
                self.assertNotIn("\n", text.replace("\r\n", ""))


if __name__ == "__main__":
    unittest.main()
