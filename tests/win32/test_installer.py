"""The Windows setup that cpack makes, under Wine, for the user who runs it: a silent install,
what it puts where, the installed alarm run once, an install over it that keeps SETUP.INI, a
silent uninstall as Apps starts it that leaves only SETUP.INI, and the setup's own window with
the hourly task turned off. The task goes through a stand-in for schtasks.exe."""

import getpass
import os
import re
import shutil
import subprocess
import time
import unittest
from pathlib import Path

import wine_harness  # first: it puts tests/e2e on the path
from task_xml import check_hourly_task

import harness

BUILD = Path(os.environ["TOVREL_BUILD_DIR"])
VERSION = os.environ["TOVREL_VERSION"]
SETUP = f"Tovrel-{VERSION}-windows-setup.exe"
INSTALLED = ["Tovrel.exe", "uninstall.exe", "환경설정.exe"]
APPS_ENTRY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovrel"
SHORTCUTS = {"Tovrel프로그램.lnk": "Tovrel.exe", "Tovrel 환경설정.lnk": "환경설정.exe"}
ALARM_SHORTCUT = "Tovrel프로그램.lnk"
# Windows names its folder Startup, Wine StartUp.
STARTUP = re.compile("startup", re.IGNORECASE)


class InstallerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        subprocess.run(["cpack", "-G", "NSIS"], cwd=BUILD, check=True, capture_output=True)
        cls.x = harness.XServer(window_manager=True).start()
        cls.addClassCleanup(cls.x.stop)
        cls.addClassCleanup(wine_harness.StandInSchtasks().install().restore)
        drive_c = wine_harness.prefix() / "drive_c"
        profile = drive_c / "users" / getpass.getuser()
        cls.default_folder = profile / "AppData" / "Local" / "Programs" / "Tovrel"
        cls.programs = profile / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
        cls.startup = next(p for p in cls.programs.iterdir() if STARTUP.fullmatch(p.name))
        cls.scratch = drive_c / "tovrel-setup-test"

    def setUp(self):
        # What a test that failed may have left.
        shutil.rmtree(self.default_folder, ignore_errors=True)
        for shortcut in [*SHORTCUTS, ALARM_SHORTCUT]:
            (self.programs / shortcut).unlink(missing_ok=True)
            (self.startup / shortcut).unlink(missing_ok=True)
        shutil.rmtree(self.scratch, ignore_errors=True)
        (self.scratch / "tasks").mkdir(parents=True)
        shutil.copy2(BUILD / SETUP, self.scratch / SETUP)
        self.addCleanup(shutil.rmtree, self.scratch, ignore_errors=True)
        self.env = self.x.env(
            WINEPREFIX=str(wine_harness.prefix()), LANG="ko_KR.UTF-8", WINEDEBUG="-all",
            TOVREL_RECORD_FILE=wine_harness.windows_path(self.scratch / "schtasks.log"),
            TOVREL_TASK_FOLDER=wine_harness.windows_path(self.scratch / "tasks"),
            **wine_harness.StandInSchtasks.SCHTASKS_OVERRIDE)
        self.env.pop("LC_ALL", None)

    def wine(self, *argv):
        """Runs a Windows program to its end, and whatever it started too; its exit status."""
        status = subprocess.run(["wine", *argv], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=120).returncode
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        return status

    def install(self, *options):
        self.assertEqual(self.wine(wine_harness.windows_path(self.scratch / SETUP), *options), 0)

    def uninstall(self):
        """Uninstalls silently, as Apps does: by the command of the setup's entry there."""
        command = self.apps_entry()["QuietUninstallString"]
        self.assertEqual(self.wine(*wine_harness.command_line_arguments(command)), 0)
        self.assertIsNone(self.apps_entry())

    def apps_entry(self):
        """The values of the setup's entry in Apps, as wine reg reads them; None if none."""
        result = subprocess.run(["wine", "reg", "query", APPS_ENTRY], env=self.env,
                                capture_output=True, timeout=60)
        if result.returncode != 0:
            return None
        output = result.stdout.decode("cp949")
        return {name: value for name, _, value in
                re.findall(r"^ {4}(\S+) {4}(REG_\w+) {4}(.*?)\r?$", output, re.MULTILINE)}

    def task(self):
        """The registered task's XML, or None."""
        path = self.scratch / "tasks" / "Tovrel"
        return path.read_bytes() if path.exists() else None

    def check_installed(self, folder):
        windows_folder = wine_harness.windows_path(folder)
        self.assertEqual(sorted(p.name for p in folder.iterdir() if p.name != "SETUP.INI"),
                         sorted(INSTALLED))
        for name in ("Tovrel.exe", "환경설정.exe"):
            self.assertEqual((folder / name).read_bytes(), (BUILD / "bin" / name).read_bytes())
        for shortcut, target in SHORTCUTS.items():
            # A shortcut holds its target's and its icon's paths in UTF-16.
            link = (self.programs / shortcut).read_bytes()
            self.assertIn(f"{windows_folder}\\{target}".encode("utf-16-le"), link, shortcut)

        entry = self.apps_entry()
        self.assertEqual(entry["DisplayName"], "Tovrel")
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertEqual(entry["Publisher"], "Tovrel")
        self.assertEqual(entry["DisplayIcon"], f"{windows_folder}\\Tovrel.exe,0")
        size = sum((folder / name).stat().st_size for name in INSTALLED)
        self.assertEqual(int(entry["EstimatedSize"], 16), size // 1024)
        self.assertEqual(entry["QuietUninstallString"],
                         f'"{windows_folder}\\uninstall.exe" /S')

    def check_uninstalled(self, folder):
        self.assertEqual([p.name for p in folder.iterdir()], ["SETUP.INI"])
        for shortcut in [*(self.programs / s for s in SHORTCUTS), self.startup / ALARM_SHORTCUT]:
            self.assertFalse(shortcut.exists(), shortcut)
        self.assertIsNone(self.task())

    def run_alarm(self, folder):
        """Runs the installed alarm, which finds its SETUP.INI beside it: no message box."""
        env = dict(self.env, WINEDEBUG="-all,+msgbox")
        run = harness.Run(["wine", wine_harness.windows_path(folder / "Tovrel.exe")], env,
                          self.scratch, self.scratch / "alarm.log")
        self.addCleanup(run.stop)
        self.x.wait_for_window("Tovrel프로그램", run.pid, timeout=30, run=run)
        status, _ = run.wait(timeout=30)
        self.assertEqual(status, 0, run.output())
        self.assertEqual(wine_harness.message_boxes(run.output()), [])

    def test_silent_install_run_reinstall_and_uninstall(self):
        folder = self.default_folder
        self.install("/S")
        self.check_installed(folder)
        # The task starts the alarm at sign-in: a Startup shortcut would start it twice.
        self.assertFalse((self.startup / ALARM_SHORTCUT).exists())
        check_hourly_task(self, self.task(), wine_harness.windows_path(folder))

        # Saved by the settings, which leave it hours away from the alarm hour.
        hour = (time.localtime().tm_hour + 12) % 24
        settings = harness.write_settings(folder, {"일어날 시간": str(hour),
                                                   "원하는 파일": "C:\\a.mp3"}).read_bytes()
        self.run_alarm(folder)

        self.install("/S")
        self.assertEqual((folder / "SETUP.INI").read_bytes(), settings)
        self.check_installed(folder)

        self.uninstall()
        self.check_uninstalled(folder)
        self.assertEqual((folder / "SETUP.INI").read_bytes(), settings)
        shutil.rmtree(folder)

    def test_a_folder_named_with_xml_and_command_characters(self):
        # No blank: the command line would then quote /D=, which the setup does not read.
        folder = self.scratch / "100%R&D'알람'"
        self.install("/S", "/D=" + wine_harness.windows_path(folder))
        self.check_installed(folder)
        check_hourly_task(self, self.task(), wine_harness.windows_path(folder))
        (folder / "SETUP.INI").write_bytes(b"")
        self.uninstall()
        self.check_uninstalled(folder)

    def test_without_the_task_a_startup_shortcut_checks_at_sign_in(self):
        folder = self.default_folder
        self.install("/S")
        self.assertIsNotNone(self.task())

        # Installed again in the setup's window, with the task turned off in its list.
        run = harness.Run(["wine", wine_harness.windows_path(self.scratch / SETUP)], self.env,
                          self.scratch, self.scratch / "setup.log")
        self.addCleanup(run.stop)
        window = self.x.wait_for_window("Tovrel 설치 ", run.pid, timeout=30, run=run)
        harness.poll(lambda: self.x.run("xdotool", "getactivewindow").stdout.strip()
                     == str(window), timeout=10)
        # The list has the focus, on its first line; the task is the second. Return then goes
        # on, page by page, to the end.
        for key in ("Down", "space", "Return"):
            self.x.run("xdotool", "key", key)
            time.sleep(0.5)
        deadline = time.monotonic() + 60
        while not run.finished() and time.monotonic() < deadline:
            self.x.run("xdotool", "key", "Return")
            time.sleep(2)
        self.assertEqual(run.wait(timeout=10)[0], 0)

        self.assertIsNone(self.task())
        startup = (self.startup / ALARM_SHORTCUT).read_bytes()
        self.assertIn(f"{wine_harness.windows_path(folder)}\\Tovrel.exe".encode("utf-16-le"),
                      startup)
        (folder / "SETUP.INI").write_bytes(b"")
        self.uninstall()
        self.check_uninstalled(folder)
        shutil.rmtree(folder)


if __name__ == "__main__":
    unittest.main()
