"""scripts/install and scripts/uninstall into a temporary home: what lands where, that it works
from there, that SETUP.INI survives, and that uninstalling takes exactly the rest away."""

import configparser
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

PROGRAMS = {"tovrel.desktop": "Tovrel", "tovrel-settings.desktop": "환경설정"}
LINKS = {"Tovrel": "Tovrel", "환경설정": "tovrel-settings"}  # in ~/.local/bin


def entry_of(path):
    parser = configparser.ConfigParser(interpolation=None, delimiters=("=",))
    parser.optionxform = str
    parser.read(path, encoding="utf-8")
    return parser["Desktop Entry"]


def unquoted(value):
    """The one double-quoted argument value holds, its backslash escapes undone."""
    match = re.fullmatch(r'"((?:[^"\\]|\\.)*)"', value)
    return match and re.sub(r"\\(.)", r"\1", match.group(1))


def files_under(folder):
    return sorted(str(p.relative_to(folder)) for p in Path(folder).rglob("*")
                  if p.is_symlink() or p.is_file())


def everything_under(folder):
    return sorted(str(p.relative_to(folder)) for p in Path(folder).rglob("*"))


class InstallTest(unittest.TestCase):
    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="tovrel-install-")
        self.addCleanup(temp.cleanup)
        self.root = Path(temp.name)
        self.home, self.data = self.root / "home", self.root / "data"  # data: XDG_DATA_HOME
        self.config = self.home / ".config"  # XDG_CONFIG_HOME unset
        # Blanks, Hangul, quotes and the signs that desktop entries give a meaning.
        self.prefix = self.root / '내 프로그램 "100%" $HOME `x`' / "tovrel"
        self.stubs = self.root / "systemctl-stub"
        self.stubs.mkdir()
        self.systemctl_log = self.root / "systemctl.log"
        self.set_user_manager(answers=False)

    def set_user_manager(self, answers):
        """A recording stand-in systemctl, answering or failing as with no user manager: a test
        must not touch the real one."""
        stub = harness.write_recorder(self.stubs / "systemctl", self.systemctl_log)
        stub.write_text(stub.read_text() + f"exit {0 if answers else 1}\n")

    def script(self, name, *arguments, status=0):
        argv = [harness.REPO / "scripts" / name, "--prefix", self.prefix, *arguments]
        if name == "install":
            argv += ["--build-dir", harness.bin_dir().parent]
        env = dict(os.environ, HOME=str(self.home), XDG_DATA_HOME=str(self.data),
                   PATH=f"{self.stubs}{os.pathsep}{os.environ['PATH']}")
        env.pop("XDG_CONFIG_HOME", None)
        result = subprocess.run(list(map(str, argv)), env=env, capture_output=True, text=True)
        self.assertEqual(result.returncode, status, result.stdout + result.stderr)
        return result.stdout + result.stderr

    def manager_calls(self):
        return [" ".join(r) for r in harness.read_records(self.systemctl_log)
                if r != ["--user", "show-environment"]]

    def assert_valid_entry(self, path, program):
        result = subprocess.run(["desktop-file-validate", str(path)], capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""), path)
        entry = entry_of(path)
        # The Exec value's string escapes, then its quoting; %% is a lone %.
        self.assertEqual(unquoted(entry["Exec"].replace("\\\\", "\\").replace("%%", "%")),
                         str(self.prefix / program))
        self.assertRegex(entry["Name"], "^[ -~]+$", "the default name is English")
        self.assertRegex(entry["Name[ko]"], "[가-힣]")
        self.assertTrue(entry["Comment"])
        return entry

    def test_install_run_reinstall_uninstall(self):
        own = self.home / ".local" / "bin" / "own-program"  # the user's, not the install's
        own.parent.mkdir(parents=True)
        own.write_text("mine")
        (self.data / "applications").mkdir(parents=True)  # the user's too, though empty
        self.script("install")
        for name, program in PROGRAMS.items():
            link = self.home / ".local" / "bin" / LINKS[program]
            self.assertEqual((link.is_symlink(), link.resolve()), (True, self.prefix / program))
            self.assertTrue(os.access(self.prefix / program, os.X_OK))
            entry = self.assert_valid_entry(self.data / "applications" / name, program)
            self.assertTrue(entry["Categories"])
            # A dock matches the program's windows to the entry by the program's application id,
            # the entry's own name (tests/e2e/test_desktop.py checks the windows' side).
            self.assertEqual(entry["StartupWMClass"], name.removesuffix(".desktop"))
            icon = self.data / "icons/hicolor/scalable/apps" / (entry["Icon"] + ".svg")
            self.assertEqual(ElementTree.parse(icon).getroot().tag,
                             "{http://www.w3.org/2000/svg}svg")
        self.assertEqual((self.prefix / "LICENSE").read_bytes(),
                         (harness.REPO / "LICENSE").read_bytes())

        # Started through its link, the alarm reads SETUP.INI in the real folder: at the set hour
        # it opens the file. (From the link's folder it would find none, and ask for settings.)
        setup = harness.write_settings(self.prefix, {"일어날 시간": "7", "원하는 파일": "/a b.mp3"})
        opener_dir, opened = harness.make_opener_stub(self.root)
        with harness.XServer() as x:
            run = harness.start([self.home / ".local/bin/Tovrel"], x, self.root,
                                fake_time="2026-12-08 07:30:00", path_first=[opener_dir])
            self.addCleanup(run.stop)
            self.assertEqual(run.wait(timeout=15)[0], 0, run.output())
        self.assertEqual(harness.wait_for_records(opened, 1), [["/a b.mp3"]])

        settings = setup.read_bytes()
        self.script("install")
        self.assertEqual(setup.read_bytes(), settings, "installing again changed SETUP.INI")
        self.script("uninstall")
        # The folders the install made go once empty; the user's stay.
        self.assertEqual(everything_under(self.home),
                         [".local", ".local/bin", ".local/bin/own-program"])
        self.assertEqual(everything_under(self.data), ["applications"])
        self.assertEqual(everything_under(self.prefix), ["SETUP.INI"])
        self.assertEqual(setup.read_bytes(), settings)

    def test_hourly_with_no_user_manager(self):
        # systemd takes no quote in a program's path: refused before anything is installed.
        self.assertIn("quote", self.script("install", "--hourly", status=1))
        self.assertFalse(self.home.exists())
        self.prefix = self.root / "내 프로그램 100% $HOME" / "tovrel"

        self.script("install", "--hourly")
        units = self.config / "systemd" / "user"
        service, timer = units / "tovrel-alarm.service", units / "tovrel-alarm.timer"
        enabled = units / "graphical-session.target.wants" / "tovrel-alarm.timer"
        self.assertEqual(enabled.resolve(), timer, "the timer is not on for the session")
        self.assert_valid_entry(self.config / "autostart" / "tovrel-alarm.desktop", "Tovrel")
        lines = service.read_text().splitlines()
        start = [unquoted(line[10:].replace("%%", "%")) for line in lines
                 if line.startswith("ExecStart=")]
        self.assertEqual(start, [str(self.prefix / "Tovrel")])
        self.assertIn("KillMode=process", lines,
                      "the unit's stop as the alarm ends would kill what it opened")
        self.verify_units(service, timer)
        self.assertEqual(self.calendar(timer), "*-*-* *:00:00")
        self.assertEqual(self.manager_calls(), [], "asked a user manager that is not there")

        # Installing again without --hourly takes the hourly start away; SETUP.INI stays.
        harness.write_settings(self.prefix, {"일어날 시간": "7"})
        self.script("install")
        self.assertFalse(self.config.exists(), everything_under(self.config))
        self.script("uninstall")
        self.assertEqual(everything_under(self.prefix), ["SETUP.INI"])
        self.assertFalse(self.home.exists(), "the install made the home folder: it goes too")

    def test_hourly_through_the_user_manager(self):
        self.prefix = self.root / "tovrel"
        self.set_user_manager(answers=True)
        self.script("install", "--hourly")
        self.assertEqual(self.manager_calls(), [
            "--user daemon-reload", "--user is-active --quiet graphical-session.target",
            "--user start tovrel-alarm.timer"])
        self.systemctl_log.unlink()
        self.script("uninstall")
        self.assertEqual(self.manager_calls(),
                         ["--user disable --now tovrel-alarm.timer", "--user daemon-reload"])
        self.assertFalse(self.config.exists(), everything_under(self.config))

    def verify_units(self, *units):
        """systemd-analyze --user verify, which loads the units as a user manager would. (Plain
        verify loads them as system units, and those have no graphical-session.target.)"""
        with tempfile.TemporaryDirectory(prefix="runtime-") as runtime:
            result = subprocess.run(["systemd-analyze", "--user", "verify", *map(str, units)],
                                    env=dict(os.environ, HOME=str(self.home),
                                             XDG_RUNTIME_DIR=runtime),
                                    capture_output=True, text=True)
        output = result.stdout + result.stderr
        if "Failed to initialize manager" in output:
            self.skipTest("systemd-analyze cannot start a user manager here: " + output.strip())
        self.assertEqual((result.returncode, output), (0, ""))

    def calendar(self, timer):
        """The timer's OnCalendar= as systemd normalises it."""
        schedule = re.search(r"^OnCalendar=(.*)$", timer.read_text(), re.M).group(1)
        output = subprocess.run(["systemd-analyze", "calendar", schedule], capture_output=True,
                                text=True, check=True, env=dict(os.environ, LANG="C")).stdout
        return re.search(r"Normalized form: (.*)", output).group(1).strip()


class RunTest(unittest.TestCase):
    def test_without_a_display_nothing_is_built(self):
        with tempfile.TemporaryDirectory(prefix="tovrel-run-") as temp:
            calls = Path(temp) / "calls.log"
            for tool in ("cmake", "apt-get", "sudo"):
                harness.write_recorder(Path(temp) / tool, calls)
            env = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY")}
            env["PATH"] = f"{temp}{os.pathsep}{env['PATH']}"
            result = subprocess.run([harness.REPO / "scripts" / "run"], env=env,
                                    capture_output=True, text=True, timeout=60)
            self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
            self.assertIn("display", result.stderr)
            self.assertEqual(harness.read_records(calls), [])


if __name__ == "__main__":
    unittest.main()
