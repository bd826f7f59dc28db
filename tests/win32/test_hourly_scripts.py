"""The zip's register-hourly.cmd and unregister-hourly.cmd under Wine, each started by name from
its own folder in a console of its own, as a double-click starts it, from folders whose names
cmd must not take for commands: the task handed to schtasks.exe, what the console shows, the
wait for a key."""

import os
import shutil
import unittest
from pathlib import Path, PureWindowsPath

import wine_harness  # first: it puts tests/e2e on the path
from task_xml import check_hourly_task

SCRIPTS = Path(os.environ["TOVREL_SCRIPTS_DIR"])
SCHTASKS = "C:\\windows\\system32\\schtasks.exe"
# Korean, then English, each line within an 80-column console.
REGISTERED = ["Tovrel: 매시 정각과 로그인할 때 실행됩니다.",
              "Tovrel now runs at the start of every hour and when you sign in."]
UNREGISTERED = ["Tovrel: 매시 실행을 해제했습니다.", "Tovrel no longer runs every hour."]
NOTHING_TO_UNREGISTER = ["Tovrel: 등록된 작업이 없습니다.", "There was no task to remove."]

# Folders under C:\, "" for the root itself. (Wine 8's cmd expands %NAME% in a script's own
# folder name and drops a lone %, where Windows' cmd does not: a % cannot be tried here; the
# setup's test tries one.)
FOLDERS = {
    "an ampersand": "R&D\\Tovrel",
    "a caret and parentheses": "a^b (x86)",
    "Korean and spaces": "내 알람 폴더",
    "an apostrophe and an exclamation mark": "it's mine!",
    "the root of the drive": "",
}


class HourlyScriptsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.drive_c = wine_harness.prefix() / "drive_c"
        cls.addClassCleanup(wine_harness.StandInSchtasks().install().restore)

    def setUp(self):
        self.scratch = self.drive_c / "tovrel-scripts-test"
        shutil.rmtree(self.scratch, ignore_errors=True)
        (self.scratch / "tasks").mkdir(parents=True)
        self.addCleanup(shutil.rmtree, self.scratch, ignore_errors=True)

    def folder(self, name):
        """A folder of C:\\ holding both scripts, and a stray schtasks.exe that must not run."""
        parts = PureWindowsPath(name).parts
        folder = self.drive_c.joinpath(*parts)
        folder.mkdir(parents=True, exist_ok=True)
        copies = {SCRIPTS / "register-hourly.cmd": "register-hourly.cmd",
                  SCRIPTS / "unregister-hourly.cmd": "unregister-hourly.cmd",
                  Path(os.environ["TOVREL_RECORDER"]): "schtasks.exe"}
        for source, name in copies.items():
            shutil.copy2(source, folder / name)
            self.addCleanup((folder / name).unlink, missing_ok=True)
        if parts:
            self.addCleanup(shutil.rmtree, self.drive_c / parts[0])
        return folder

    def run_script(self, folder, script, expected_status, expected_lines):
        """Runs the script, checks what it shows and that it waits for a key; returns the
        arguments it gave the system's schtasks.exe (the stand-in takes only the right ones)."""
        record_file = self.scratch / "schtasks.log"
        record_file.unlink(missing_ok=True)
        env = dict(os.environ, **wine_harness.StandInSchtasks.SCHTASKS_OVERRIDE,
                   TOVREL_RECORD_FILE=wine_harness.windows_path(record_file),
                   TOVREL_TASK_FOLDER=wine_harness.windows_path(self.scratch / "tasks"))
        env.pop("DISPLAY", None)
        status, shown, waited = wine_harness.run_in_console(["wine", "cmd", "/c", script],
                                                            folder, env)
        self.assertEqual(status, expected_status, shown)
        self.assertIn("\n".join(expected_lines), "\n".join(shown.splitlines()))
        self.assertTrue(waited, "ended without waiting for a key:\n" + shown)
        records = wine_harness.read_records(record_file)
        self.assertEqual([program for program, _ in records], [SCHTASKS], shown)
        return wine_harness.command_line_arguments(records[0][1])

    def register(self, folder):
        """Runs register-hourly.cmd; returns the task it registered."""
        xml_file = PureWindowsPath(self.run_script(folder, "register-hourly.cmd", 0,
                                                   REGISTERED)[5])
        self.assertFalse(self.drive_c.joinpath(*xml_file.parts[1:]).exists(),
                         "the task's XML file was left behind")
        return (self.scratch / "tasks" / "Tovrel").read_bytes()

    def test_registers_this_folders_alarm_every_hour_and_at_sign_in(self):
        for case, name in FOLDERS.items():
            with self.subTest(case):
                folder = self.folder(name)
                check_hourly_task(self, self.register(folder), wine_harness.windows_path(folder))

    def test_registering_twice_is_harmless_and_unregistering_deletes_the_task(self):
        folder = self.folder(FOLDERS["an ampersand"])
        self.assertEqual(self.register(folder), self.register(folder))
        self.run_script(folder, "unregister-hourly.cmd", 0, UNREGISTERED)
        self.assertEqual(list((self.scratch / "tasks").iterdir()), [])
        self.run_script(folder, "unregister-hourly.cmd", 1, NOTHING_TO_UNREGISTER)


if __name__ == "__main__":
    unittest.main()
