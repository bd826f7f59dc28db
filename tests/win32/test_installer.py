"""The Windows setup that cpack makes, under Wine. For the user who runs it: installed silently,
the installed alarm run once, installed again over it without the task, moved to another folder,
uninstalled as Apps does it; and in its window with the hourly task turned off, ending in the
settings. For every user: installed and uninstalled silently. The task goes through a stand-in
for schtasks.exe."""

import getpass
import os
import re
import shutil
import signal
import subprocess
import time
import unittest
from pathlib import Path
from typing import NamedTuple

import wine_harness  # first: it puts tests/e2e on the path
from task_xml import check_hourly_task
from windows_resources import version_strings

import harness

BUILD = Path(os.environ["TOVREL_BUILD_DIR"])
VERSION = os.environ["TOVREL_VERSION"]
SETUP = f"Tovrel-{VERSION}-windows-setup.exe"
INSTALLED = ["LICENSE.txt", "README.txt", "Tovrel.exe", "uninstall.exe", "환경설정.exe"]
COPYRIGHT = "Copyright (c) 2026 the Tovrel authors"
APPS_ENTRY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovrel"
SHORTCUTS = {"Tovrel프로그램.lnk": "Tovrel.exe", "Tovrel 환경설정.lnk": "환경설정.exe"}
# What a shortcut's tooltip says of its program.
DESCRIPTIONS = {"Tovrel.exe": "정해진 시각이면 고른 파일을 엽니다",
                "환경설정.exe": "일어날 시간과 열 파일을 정합니다"}


class Scope(NamedTuple):
    """Where an install for one user, or for every user, puts what it puts."""
    apps_entry: str
    folder: Path
    programs: Path
    startup: Path
    task: str

    @classmethod
    def of(cls, root_key, folder, programs, task):
        # Windows names it Startup, Wine StartUp.
        startup = next(p for p in programs.iterdir() if p.name.lower() == "startup")
        return cls(f"{root_key}\\{APPS_ENTRY}", folder, programs, startup, task)

    def links(self):
        return [self.startup / "Tovrel프로그램.lnk", *(self.programs / s for s in SHORTCUTS)]


def started_executables(output):
    """The command line of each start of Tovrel's executables in the +process output."""
    return [command_line for _, command_line in wine_harness.started_programs(output)
            if re.search(r"\\(Tovrel|환경설정)\.exe\b", command_line)]


class InstallerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        subprocess.run(["cpack", "-G", "NSIS"], cwd=BUILD, check=True, capture_output=True)
        cls.x = harness.XServer(window_manager=True).start()
        cls.addClassCleanup(cls.x.stop)
        cls.addClassCleanup(wine_harness.StandInSchtasks().install().restore)
        drive_c = wine_harness.prefix() / "drive_c"
        profile = drive_c / "users" / getpass.getuser()
        cls.one_user = Scope.of(
            "HKCU", profile / "AppData/Local/Programs/Tovrel",
            profile / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs", "Tovrel")
        cls.all_users = Scope.of(
            "HKLM", drive_c / "Program Files/Tovrel",
            drive_c / "ProgramData/Microsoft/Windows/Start Menu/Programs", "Tovrel (모든 사용자)")
        cls.scratch = drive_c / "tovrel-setup-test"
        cls.addClassCleanup(wine_harness.keep_session(cls.x.env()))

    def setUp(self):
        shutil.rmtree(self.scratch, ignore_errors=True)
        (self.scratch / "tasks").mkdir(parents=True)
        shutil.copy2(BUILD / SETUP, self.scratch / SETUP)
        self.addCleanup(shutil.rmtree, self.scratch, ignore_errors=True)
        for scope in (self.one_user, self.all_users):
            self.addCleanup(shutil.rmtree, scope.folder, ignore_errors=True)
        self.env = self.x.env(
            WINEPREFIX=str(wine_harness.prefix()), LANG="ko_KR.UTF-8", WINEDEBUG="-all",
            TOVREL_RECORD_FILE=wine_harness.windows_path(self.scratch / "schtasks.log"),
            TOVREL_TASK_FOLDER=wine_harness.windows_path(self.scratch / "tasks"),
            **wine_harness.StandInSchtasks.SCHTASKS_OVERRIDE)
        self.env.pop("LC_ALL", None)
        # What a failed test may have left.
        for scope in (self.one_user, self.all_users):
            self.wine("reg", "delete", scope.apps_entry, "/f")
            for link in scope.links():
                link.unlink(missing_ok=True)

    def wine(self, *argv):
        """Runs a Windows program to its end; its exit status. Its output goes nowhere: whatever
        it starts would hold captured output open."""
        return subprocess.run(["wine", *argv], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=120).returncode

    def install(self, *options):
        """Installs silently, which starts none of the programs it installs."""
        result = subprocess.run(["wine", wine_harness.windows_path(self.scratch / SETUP), "/S",
                                 *options], env=dict(self.env, WINEDEBUG="-all,+process"),
                                capture_output=True, timeout=120)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(started_executables(result.stderr.decode(errors="replace")), [])

    def apps_entry(self, scope):
        """The values of the setup's entry in Apps, as wine reg reads them; None if none."""
        result = subprocess.run(["wine", "reg", "query", scope.apps_entry], env=self.env,
                                capture_output=True, timeout=60)
        return None if result.returncode else dict(re.findall(
            r"^ {4}(\S+) {4}REG_\w+ {4}(.*?)\r?$", result.stdout.decode("cp949"), re.MULTILINE))

    def task(self, scope):
        path = self.scratch / "tasks" / scope.task
        return path.read_bytes() if path.exists() else None

    def check_installed(self, folder, startup_shortcut, scope):
        """Checks the files, the shortcuts and the Apps entry of an install into folder."""
        where = wine_harness.windows_path(folder)
        self.assertEqual(sorted(p.name for p in folder.iterdir() if p.name != "SETUP.INI"),
                         sorted(INSTALLED))
        self.assertEqual((folder / "환경설정.exe").read_bytes(),
                         (BUILD / "bin" / "환경설정.exe").read_bytes())
        links = {scope.programs / name: target for name, target in SHORTCUTS.items()}
        self.assertEqual((scope.startup / "Tovrel프로그램.lnk").exists(), startup_shortcut)
        if startup_shortcut:
            links[scope.startup / "Tovrel프로그램.lnk"] = "Tovrel.exe"
        for link, target in links.items():
            # A shortcut holds its target's and its icon's paths, and its description, in UTF-16.
            for text in (f"{where}\\{target}", DESCRIPTIONS[target]):
                self.assertTrue(text.encode("utf-16-le") in link.read_bytes(), f"{link}: {text}")

        entry = self.apps_entry(scope)
        size = sum((folder / name).stat().st_size for name in INSTALLED) // 1024
        self.assertEqual(entry, dict(entry, DisplayName="Tovrel", DisplayVersion=VERSION,
                                     Publisher="Tovrel", DisplayIcon=f"{where}\\Tovrel.exe,0",
                                     InstallLocation=where, HelpLink=f"{where}\\README.txt",
                                     InstallDate=time.strftime("%Y%m%d"),
                                     EstimatedSize=hex(size), QuietUninstallString=(
                                         f'"{where}\\uninstall.exe" /S _?={where}')))

    def uninstall(self, folder, scope):
        """Uninstalls silently, by the command Apps keeps, which returns when it is done; checks
        only SETUP.INI is left."""
        command = self.apps_entry(scope)["QuietUninstallString"]
        self.assertEqual(self.wine(*wine_harness.command_line_arguments(command)), 0)
        self.assertIsNone(self.apps_entry(scope))
        for link in scope.links():
            self.assertFalse(link.exists(), link)
        self.assertIsNone(self.task(scope))
        # Under Wine a running program cannot move out of its folder, as on Windows: a copy of
        # the uninstaller deletes it once it has ended.
        left = harness.poll(lambda: [p.name for p in folder.iterdir()] == ["SETUP.INI"], 10)
        self.assertTrue(left, list(folder.iterdir()))

    def test_silent_install_run_install_again_move_and_uninstall(self):
        # %, & and ' in the task's XML; no blank, or the command line would quote /D=.
        folder = self.scratch / "100%R&D'알람'"
        self.install("/D=" + wine_harness.windows_path(folder))
        # The task starts the alarm at sign-in: a Startup shortcut would start it twice.
        self.check_installed(folder, startup_shortcut=False, scope=self.one_user)
        check_hourly_task(self, self.task(self.one_user), wine_harness.windows_path(folder))
        # Both the setup and the uninstaller it installed.
        for executable in (self.scratch / SETUP, folder / "uninstall.exe"):
            strings = version_strings(executable)
            self.assertEqual(strings, dict(strings, ProductName="Tovrel", CompanyName="Tovrel",
                                           FileVersion=VERSION, ProductVersion=VERSION,
                                           LegalCopyright=COPYRIGHT), executable)

        # The installed alarm finds its settings beside it: no message box. Hours from the set
        # hour, it opens nothing.
        hour = (time.localtime().tm_hour + 12) % 24
        settings = harness.write_settings(folder, {"일어날 시간": str(hour),
                                                   "원하는 파일": "C:\\a.mp3"}).read_bytes()
        run = harness.Run(["wine", wine_harness.windows_path(folder / "Tovrel.exe")],
                          dict(self.env, WINEDEBUG="-all,+msgbox"), self.scratch,
                          self.scratch / "alarm.log")
        self.addCleanup(run.stop)
        self.x.wait_for_window("Tovrel프로그램", run.pid, timeout=30, run=run)
        self.assertEqual(run.wait(timeout=30)[0], 0, run.output())
        self.assertEqual(wine_harness.message_boxes(run.output()), [])

        self.install("/Hourly=0")  # into the same folder
        self.assertEqual((folder / "SETUP.INI").read_bytes(), settings)
        self.check_installed(folder, startup_shortcut=True, scope=self.one_user)
        self.assertIsNone(self.task(self.one_user))

        # Into another folder, the first copy goes, and its settings come along; the task stays
        # off, as chosen last time.
        moved = self.scratch / "옮긴폴더"
        self.install("/D=" + wine_harness.windows_path(moved))
        self.assertFalse(folder.exists(), "the first copy stayed")
        self.assertEqual((moved / "SETUP.INI").read_bytes(), settings)
        self.check_installed(moved, startup_shortcut=True, scope=self.one_user)
        self.assertIsNone(self.task(self.one_user))
        self.uninstall(moved, self.one_user)
        self.assertEqual((moved / "SETUP.INI").read_bytes(), settings)

    def test_in_its_window_with_the_task_turned_off_then_the_settings(self):
        self.install()
        run = harness.Run(["wine", wine_harness.windows_path(self.scratch / SETUP)],
                          dict(self.env, WINEDEBUG="-all,+process"), self.scratch,
                          self.scratch / "setup.log")
        self.addCleanup(run.stop)
        self.x.wait_for_window("Tovrel 설치 ", run.pid, timeout=30, run=run)
        time.sleep(1)
        # The first page proposes an install for this user. On the next, the list of parts has
        # the focus, on its first line; the task is the second. Return then goes on, page by
        # page, to the end, where starting the settings is ticked.
        for key in ("Return", "Down", "space"):
            self.x.run("xdotool", "key", key)
            time.sleep(0.5)
        while not run.finished() and run.elapsed() < 90:
            self.x.run("xdotool", "key", "Return")
            time.sleep(2)
        self.assertEqual(run.wait(timeout=10)[0], 0)
        folder = self.one_user.folder
        settings = wine_harness.windows_path(folder / "환경설정.exe")
        self.assertEqual(started_executables(run.output()), [f'"{settings}"'])
        window = self.x.wait_for_window("환경설정", timeout=30)
        os.kill(int(self.x.run("xdotool", "getwindowpid", str(window)).stdout), signal.SIGKILL)

        self.check_installed(folder, startup_shortcut=True, scope=self.one_user)
        self.assertIsNone(self.task(self.one_user), "the task of the first install is still there")
        (folder / "SETUP.INI").write_bytes(b"")
        self.uninstall(folder, self.one_user)

    def test_silent_install_for_all_users_and_uninstall(self):
        self.install("/AllUsers")
        folder = self.all_users.folder
        self.check_installed(folder, startup_shortcut=False, scope=self.all_users)
        check_hourly_task(self, self.task(self.all_users), wine_harness.windows_path(folder),
                          all_users=True)
        self.assertIsNone(self.apps_entry(self.one_user))

        # Defaults an administrator put beside the programs, and a user's own settings.
        defaults = harness.write_settings(folder, {"일어날 시간": "7"}).read_bytes()
        own_folder = self.one_user.folder.parents[1] / "Tovrel"  # %LOCALAPPDATA%\Tovrel
        own_folder.mkdir()
        self.addCleanup(shutil.rmtree, own_folder, ignore_errors=True)
        hour = (time.localtime().tm_hour + 12) % 24
        own = harness.write_settings(own_folder, {"일어날 시간": str(hour), "원하는 파일": "C:\\a.mp3"})
        # The installed alarm reads the user's own settings, not the defaults, which lack a file.
        run = harness.Run(["wine", wine_harness.windows_path(folder / "Tovrel.exe")],
                          dict(self.env, WINEDEBUG="-all,+msgbox"), self.scratch,
                          self.scratch / "alarm.log")
        self.addCleanup(run.stop)
        self.assertEqual(run.wait(timeout=30)[0], 0, run.output())
        self.assertEqual(wine_harness.message_boxes(run.output()), [])
        self.uninstall(folder, self.all_users)
        self.assertEqual((folder / "SETUP.INI").read_bytes(), defaults)
        self.assertTrue(own.exists())


if __name__ == "__main__":
    unittest.main()
