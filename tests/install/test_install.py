"""scripts/install and scripts/uninstall into a temporary home: what lands where, that it works
from there, that SETUP.INI survives, and that uninstalling takes exactly the rest away."""

import configparser
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402

REPO = harness.REPO
BUILD_DIR = harness.bin_dir().parent
DESKTOP_ENTRIES = ["tovrel.desktop", "tovrel-settings.desktop"]
PROGRAMS = ["Tovrel", "환경설정"]


def desktop_entry(path):
    entry = configparser.ConfigParser(interpolation=None, delimiters=("=",))
    entry.optionxform = str  # keys are case-sensitive
    entry.read(path, encoding="utf-8")
    return entry["Desktop Entry"]


def split_quoted(value, escapable):
    """Splits at blanks outside double quotes; inside them a backslash takes the next character
    as it is, when that is one of escapable."""
    words, word, quoted, i = [], None, False, 0
    while i < len(value):
        c = value[i]
        if quoted and c == "\\" and i + 1 < len(value) and value[i + 1] in escapable:
            word, i = word + value[i + 1], i + 2
            continue
        if c == '"':
            quoted, word = not quoted, word or ""
        elif c == " " and not quoted:
            if word is not None:
                words.append(word)
            word = None
        else:
            word = (word or "") + c
        i += 1
    return words + ([word] if word is not None else [])


def exec_program(entry):
    """The program a desktop entry's Exec starts: the string escapes undone, then the quoting."""
    value = entry["Exec"].replace("\\\\", "\\").replace("%%", "%")
    return split_quoted(value, '"`$\\')[0]


def unit_program(unit):
    """The program a unit's ExecStart starts: the doubled signs and the quoting undone."""
    lines = [line for line in Path(unit).read_text().splitlines() if line.startswith("ExecStart=")]
    value = lines[0].partition("=")[2].replace("%%", "%").replace("$$", "$")
    return split_quoted(value, '"\\')[0]


def files_under(folder):
    """Every file and link under folder, as paths relative to it."""
    return sorted(str(p.relative_to(folder)) for p in Path(folder).rglob("*")
                  if p.is_symlink() or p.is_file())


class InstallTest(unittest.TestCase):
    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="tovrel-install-")
        self.addCleanup(temp.cleanup)
        self.root = Path(temp.name)
        self.home = self.root / "home"
        self.home.mkdir()
        self.data = self.root / "data"  # XDG_DATA_HOME; XDG_CONFIG_HOME stays unset
        self.config = self.home / ".config"
        # Blanks, Hangul, quotes and the signs that desktop entries and units give a meaning.
        self.prefix = self.root / '내 프로그램 "100%" $HOME `x`' / "tovrel"
        self.stubs = self.root / "systemctl-stub"
        self.stubs.mkdir()
        self.systemctl_log = self.root / "systemctl.log"
        self.set_user_manager(answers=False)

    def set_user_manager(self, answers):
        """A stand-in systemctl that logs its arguments and answers, or fails as with no user
        manager: the real one must not be touched by a test."""
        harness.write_recorder(self.stubs / "systemctl", self.systemctl_log)
        script = (self.stubs / "systemctl").read_text()
        (self.stubs / "systemctl").write_text(script + ("exit 0\n" if answers else "exit 1\n"))

    def env(self):
        env = dict(os.environ, HOME=str(self.home), XDG_DATA_HOME=str(self.data),
                   PATH=f"{self.stubs}{os.pathsep}{os.environ['PATH']}")
        env.pop("XDG_CONFIG_HOME", None)
        return env

    def script(self, name, *arguments, status=0):
        argv = [str(REPO / "scripts" / name), "--prefix", str(self.prefix), *arguments]
        if name == "install":
            argv += ["--build-dir", str(BUILD_DIR)]
        result = subprocess.run(argv, env=self.env(), capture_output=True, text=True)
        self.assertEqual(result.returncode, status, result.stdout + result.stderr)
        return result.stdout + result.stderr

    def systemctl_calls(self):
        return [" ".join(record) for record in harness.read_records(self.systemctl_log)]

    def assert_validates(self, entry_path):
        result = subprocess.run(["desktop-file-validate", str(entry_path)],
                                capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""), entry_path)

    def test_install_run_reinstall_uninstall(self):
        self.script("install")

        for program in PROGRAMS:
            installed = self.prefix / program
            self.assertTrue(os.access(installed, os.X_OK), installed)
            link = self.home / ".local" / "bin" / program
            self.assertTrue(link.is_symlink(), link)
            self.assertEqual(link.resolve(), installed)

        icons = self.data / "icons" / "hicolor" / "scalable" / "apps"
        for name, program in zip(DESKTOP_ENTRIES, PROGRAMS):
            path = self.data / "applications" / name
            self.assert_validates(path)
            entry = desktop_entry(path)
            self.assertEqual(exec_program(entry), str(self.prefix / program))
            self.assertRegex(entry["Name"], "^[ -~]+$", "the default name is English")
            self.assertRegex(entry["Name[ko]"], "[가-힣]", "the Korean name has Hangul")
            for key in ("Comment", "Categories"):
                self.assertTrue(entry.get(key), f"{name} has no {key}")
            icon = ElementTree.parse(icons / (entry["Icon"] + ".svg")).getroot()
            self.assertEqual(icon.tag, "{http://www.w3.org/2000/svg}svg")

        # Started through its link, the alarm reads SETUP.INI in the real folder: at the set hour
        # it opens the file. (From the link's folder it would find none, and ask for settings.)
        song = "/음악/아침 노래.mp3"
        setup = harness.write_settings(self.prefix, {"일어날 시간": "7", "원하는 파일": song})
        opener_dir, opened = harness.make_opener_stub(self.root)
        with harness.XServer() as x:
            run = harness.start([self.home / ".local" / "bin" / "Tovrel"], x, self.root,
                                fake_time="2026-12-08 07:30:00", path_first=[opener_dir])
            try:
                status, _ = run.wait(timeout=15)
                self.assertEqual(status, 0, run.output())
            finally:
                run.stop()
        self.assertEqual(harness.wait_for_records(opened, 1), [[song]])

        settings = setup.read_bytes()
        self.script("install")
        self.assertEqual(setup.read_bytes(), settings, "installing again changed SETUP.INI")

        before = set(files_under(self.root))
        self.script("uninstall")
        self.assertEqual(files_under(self.home), [])
        self.assertEqual(files_under(self.data), [])
        self.assertEqual(files_under(self.prefix), ["SETUP.INI"])
        self.assertEqual(setup.read_bytes(), settings)
        # Nothing else in the temporary root went: the stand-ins and logs are still there.
        self.assertEqual(before - set(files_under(self.root)),
                         {str(Path(p).relative_to(self.root)) for p in self.installed_paths()})

    def installed_paths(self):
        return [self.prefix / p for p in PROGRAMS] + [self.prefix / "install-manifest.txt"] + \
            [self.home / ".local" / "bin" / p for p in PROGRAMS] + \
            [self.data / "applications" / e for e in DESKTOP_ENTRIES] + \
            [self.data / "icons" / "hicolor" / "scalable" / "apps" / i
             for i in ("tovrel.svg", "tovrel-settings.svg")]

    def test_hourly_units_with_no_user_manager(self):
        # systemd takes no quote in a program's path: refused before anything is installed.
        self.assertIn("quote", self.script("install", "--hourly", status=1))
        self.assertEqual(files_under(self.root / "home"), [])
        self.prefix = self.root / "내 프로그램 100% $HOME" / "tovrel"

        self.script("install", "--hourly")
        units = self.config / "systemd" / "user"
        service, timer = units / "tovrel-alarm.service", units / "tovrel-alarm.timer"
        self.assertEqual((units / "graphical-session.target.wants" / "tovrel-alarm.timer")
                         .resolve(), timer, "the timer is not enabled for the session")
        autostart = self.config / "autostart" / "tovrel-alarm.desktop"
        self.assert_validates(autostart)
        self.assertEqual(exec_program(desktop_entry(autostart)), str(self.prefix / "Tovrel"))
        self.verify_units(service, timer)
        self.assertEqual(unit_program(service), str(self.prefix / "Tovrel"))
        self.assertIn("KillMode=process", service.read_text().splitlines(),
                      "stopping the unit as the alarm ends would kill what it opened")
        self.assertEqual(self.calendar(timer), "*-*-* *:00:00")
        # Only the probe ran: nothing asked a manager that is not there to reload or start.
        self.assertEqual(set(self.systemctl_calls()), {"--user show-environment"})

        # Installing again without --hourly takes the hourly start away, and SETUP.INI stays.
        setup = harness.write_settings(self.prefix, {"일어날 시간": "7"})
        self.script("install")
        self.assertEqual(files_under(self.config), [])
        self.script("uninstall")
        self.assertEqual(files_under(self.prefix), ["SETUP.INI"])
        self.assertTrue(setup.exists())

    def test_hourly_start_and_stop_through_the_user_manager(self):
        self.prefix = self.root / "tovrel"
        self.set_user_manager(answers=True)
        self.script("install", "--hourly")
        self.assertEqual([c for c in self.systemctl_calls() if c != "--user show-environment"],
                         ["--user daemon-reload",
                          "--user is-active --quiet graphical-session.target",
                          "--user start tovrel-alarm.timer"])
        self.systemctl_log.unlink()
        self.script("uninstall")
        self.assertEqual([c for c in self.systemctl_calls() if c != "--user show-environment"],
                         ["--user disable --now tovrel-alarm.timer", "--user daemon-reload"])
        self.assertEqual(files_under(self.config), [])

    def verify_units(self, *units):
        """systemd-analyze --user verify, which loads the units as a user manager would. (Plain
        verify loads them as system units, and those have no graphical-session.target.)"""
        with tempfile.TemporaryDirectory(prefix="runtime-") as runtime:
            result = subprocess.run(
                ["systemd-analyze", "--user", "verify", *map(str, units)],
                env=dict(self.env(), XDG_RUNTIME_DIR=runtime), capture_output=True, text=True)
        output = result.stdout + result.stderr
        if "Failed to initialize manager" in output:
            self.skipTest("systemd-analyze cannot start a user manager here: " + output.strip())
        self.assertEqual((result.returncode, output), (0, ""))

    def calendar(self, timer):
        """The timer's OnCalendar schedule as systemd normalises it."""
        schedule = [line.partition("=")[2] for line in timer.read_text().splitlines()
                    if line.startswith("OnCalendar=")]
        self.assertEqual(len(schedule), 1)
        result = subprocess.run(["systemd-analyze", "calendar", schedule[0]],
                                capture_output=True, text=True, env=dict(os.environ, LANG="C"))
        self.assertEqual(result.returncode, 0, result.stderr)
        return next(line.split(":", 1)[1].strip() for line in result.stdout.splitlines()
                    if line.strip().startswith("Normalized form:"))


if __name__ == "__main__":
    unittest.main()
