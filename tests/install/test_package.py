"""The Debian package: its files as lintian, desktop-file-validate and appstreamcli judge them and
as they point at each other."""

import gzip
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402
from test_install import PROGRAMS, entry_of  # noqa: E402

DEB = Path(os.environ.get("TOVREL_DEB", harness.REPO / "build/linux/tovrel_1.0_amd64.deb"))


def deb_field(name):
    return subprocess.run(["dpkg-deb", "-f", DEB, name], capture_output=True, text=True,
                          check=True).stdout.strip()


class PackageFilesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        temp = tempfile.TemporaryDirectory(prefix="tovrel-deb-")
        cls.addClassCleanup(temp.cleanup)
        cls.tree = Path(temp.name)
        subprocess.run(["dpkg-deb", "-x", DEB, cls.tree], check=True)

    def test_lintian_desktop_file_validate_and_appstreamcli_find_nothing(self):
        lintian = subprocess.run(["lintian", DEB], capture_output=True, text=True)
        self.assertEqual(re.findall(r"^[EW]: .*", lintian.stdout, re.M), [], lintian.stdout)
        for entry in PROGRAMS:
            result = subprocess.run(["desktop-file-validate", self.tree / "usr/share/applications" / entry],
                                    capture_output=True, text=True)
            self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""), entry)
        for metainfo in (self.tree / "usr/share/metainfo").iterdir():
            result = subprocess.run(["appstreamcli", "validate", "--no-net", metainfo],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout)
            self.assertNotRegex(result.stdout, r"(?m)^[EWIP]: ")

    def test_entries_and_units_start_the_packaged_programs(self):
        for name, program in PROGRAMS.items():
            command = entry_of(self.tree / "usr/share/applications" / name)["Exec"]
            self.assertEqual(self.installed(command), self.tree / "usr/lib/tovrel" / program)
        service = (self.tree / "usr/lib/systemd/user/tovrel-alarm.service").read_text()
        settings = dict(re.findall(r"^(\w+)=(.*)$", service, re.M))
        self.assertEqual(self.installed(settings["ExecStart"].strip('"')),
                         self.tree / "usr/lib/tovrel/Tovrel")
        # A start while the alarm runs adds none; its stop leaves what it opened running.
        self.assertEqual((settings["Type"], settings["KillMode"]), ("exec", "process"))

    def installed(self, command):
        """The packaged file that an absolute command runs, its links followed inside the
        package."""
        self.assertTrue(command.startswith("/usr/bin/"), command)
        target = (self.tree / command.lstrip("/")).resolve()
        self.assertTrue(os.access(target, os.X_OK), command)
        return target

    def test_copyright_states_the_licence(self):
        licence = (harness.REPO / "LICENSE").read_text()
        holder, terms = re.search(r"Copyright \(c\) ([^\n]+)\n+(.*)", licence, re.S).groups()
        # A field's further lines start with a blank; an empty line is written " .".
        folded = "".join(f" {line or '.'}\n" for line in terms.strip().split("\n"))
        self.assertTrue((self.tree / "usr/share/doc/tovrel/copyright").read_text().endswith(
            f"\n\nFiles: *\nCopyright: {holder}\nLicense: MIT\n{folded}"))

    def test_changelog_and_appstream_release_name_the_version(self):
        version = deb_field("Version")
        with gzip.open(self.tree / "usr/share/doc/tovrel/changelog.gz", "rt") as changelog:
            self.assertRegex(changelog.readline(), rf"^tovrel \({re.escape(version)}\) ")
        metainfo = next((self.tree / "usr/share/metainfo").iterdir())
        newest = ElementTree.parse(metainfo).find("releases/release")
        self.assertEqual(newest.get("version"), version)


if __name__ == "__main__":
    unittest.main()
