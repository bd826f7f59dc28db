"""The zip's register-hourly.cmd and unregister-hourly.cmd under Wine, each started by name from
its own folder in a console of its own, as a double-click starts it, from folders whose names
cmd must not take for commands: the task handed to schtasks.exe, what the console shows, the
wait for a key."""

import getpass
import os
import re
import shutil
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path, PureWindowsPath

import wine_harness  # first: it puts tests/e2e on the path

SCRIPTS = Path(os.environ["TOVREL_SCRIPTS_DIR"])
SCHTASKS = "C:\\windows\\system32\\schtasks.exe"
REGISTERED = ("Tovrel: 매시 정각과 로그인할 때 실행됩니다. / Tovrel now runs at the start of every "
              "hour and when you sign in.")
UNREGISTERED = "Tovrel: 매시 실행을 해제했습니다. / Tovrel no longer runs every hour."
NOTHING_TO_UNREGISTER = "Tovrel: 등록된 작업이 없습니다. / There was no task to remove."

# Folders under C:\, "" for the root itself. (Wine 8's cmd expands %NAME% in a script's own
# folder name and drops a lone %, where Windows' cmd does not: a % cannot be tried here.)
FOLDERS = {
    "an ampersand": "R&D\\Tovrel",
    "a caret and parentheses": "a^b (x86)",
    "Korean and spaces": "내 알람 폴더",
    "an apostrophe and an exclamation mark": "it's mine!",
    "the root of the drive": "",
}


def parse_command_line(command_line):
    """The arguments of a Windows command line (no escaped quotes inside)."""
    return [a.replace('"', "") for a in re.findall(r'(?:[^\s"]|"[^"]*")+', command_line)]


class TaskXml:
    """What the task XML says, read as schtasks reads it: UTF-16 after a byte-order mark."""

    NAMESPACE = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}

    def __init__(self, data):
        if not data.startswith(b"\xff\xfe"):
            raise AssertionError(f"no UTF-16 byte-order mark: {data[:40]!r}")
        # From the bytes, so that a declaration that disagrees with them fails.
        self.root = ElementTree.fromstring(data)

    def all(self, path):
        return [e.text for e in self.root.findall(path, self.NAMESPACE)]

    def one(self, path):
        found = self.all(path)
        if len(found) != 1:
            raise AssertionError(f"{path}: {found}")
        return found[0]


class HourlyScriptsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.drive_c = wine_harness.prefix() / "drive_c"
        cls.addClassCleanup(wine_harness.StandInSchtasks().install().restore)

    def setUp(self):
        self.tasks = self.drive_c / "tovrel-tasks"
        self.record_file = self.drive_c / "tovrel-schtasks.log"
        shutil.rmtree(self.tasks, ignore_errors=True)
        self.tasks.mkdir()
        self.record_file.unlink(missing_ok=True)
        self.addCleanup(shutil.rmtree, self.tasks, ignore_errors=True)
        self.addCleanup(self.record_file.unlink, missing_ok=True)

    def folder(self, name):
        """A folder of C:\\ holding both scripts, and a stray schtasks.exe that must not run."""
        parts = PureWindowsPath(name).parts
        folder = self.drive_c.joinpath(*parts)
        folder.mkdir(parents=True, exist_ok=True)
        for script in ("register-hourly.cmd", "unregister-hourly.cmd", "schtasks.exe"):
            self.addCleanup((folder / script).unlink, missing_ok=True)
        if parts:
            self.addCleanup(shutil.rmtree, self.drive_c / parts[0], ignore_errors=True)
        for script in ("register-hourly.cmd", "unregister-hourly.cmd"):
            shutil.copy2(SCRIPTS / script, folder / script)
        shutil.copy2(os.environ["TOVREL_RECORDER"], folder / "schtasks.exe")
        return folder

    def run_script(self, folder, script, expected_status, expected_message):
        """Runs the script; checks its status, message and wait for a key; returns the command
        line it gave schtasks.exe."""
        records_before = len(wine_harness.read_records(self.record_file))
        env = dict(os.environ, **wine_harness.StandInSchtasks.SCHTASKS_OVERRIDE,
                   TOVREL_RECORD_FILE=wine_harness.windows_path(self.record_file),
                   TOVREL_TASK_FOLDER=wine_harness.windows_path(self.tasks))
        env.pop("DISPLAY", None)
        status, shown, waited = wine_harness.run_in_console(["wine", "cmd", "/c", script],
                                                            folder, env)
        self.assertEqual(status, expected_status, shown)
        self.assertIn(expected_message, shown.splitlines())
        self.assertTrue(waited, "ended without waiting for a key:\n" + shown)
        records = wine_harness.read_records(self.record_file)[records_before:]
        self.assertEqual([program for program, _ in records], [SCHTASKS], shown)
        return parse_command_line(records[0][1])

    def register(self, folder):
        """Runs register-hourly.cmd; returns the XML of the task it registered."""
        arguments = self.run_script(folder, "register-hourly.cmd", 0, REGISTERED)
        self.assertEqual(arguments[1:5] + arguments[6:], ["/Create", "/TN", "Tovrel", "/XML", "/F"])
        xml_file = PureWindowsPath(arguments[5])
        leftover = self.drive_c.joinpath(*xml_file.parts[1:])
        self.assertFalse(leftover.exists(), "the task's XML file was left behind")
        return (self.tasks / "Tovrel").read_bytes()

    def test_registers_this_folders_alarm_every_hour_and_at_sign_in(self):
        for case, name in FOLDERS.items():
            with self.subTest(case):
                folder = self.folder(name)
                task = TaskXml(self.register(folder))
                windows_folder = wine_harness.windows_path(folder)
                self.assertEqual(task.one("t:Actions/t:Exec/t:Command"),
                                 str(PureWindowsPath(windows_folder, "Tovrel.exe")))
                self.assertEqual(task.one("t:Actions/t:Exec/t:WorkingDirectory"), windows_folder)

                # On the hour, every hour, for ever; and at this user's sign-in.
                self.assertRegex(task.one("t:Triggers/t:TimeTrigger/t:StartBoundary"),
                                 r"^\d{4}-\d\d-\d\dT\d\d:00:00$")
                self.assertEqual(task.one("t:Triggers/t:TimeTrigger/t:Repetition/t:Interval"),
                                 "PT1H")
                self.assertEqual(task.all("t:Triggers/t:TimeTrigger/t:Repetition/t:Duration"), [])
                user = task.one("t:Principals/t:Principal/t:UserId")
                self.assertTrue(user.endswith("\\" + getpass.getuser()), user)
                self.assertEqual(task.one("t:Triggers/t:LogonTrigger/t:UserId"), user)
                self.assertEqual(len(task.root.find("t:Triggers", task.NAMESPACE)), 2)
                # As the user signed in, without administrator rights, on battery too (Task
                # Scheduler's defaults say otherwise for batteries).
                self.assertEqual(task.one("t:Principals/t:Principal/t:LogonType"),
                                 "InteractiveToken")
                self.assertEqual(task.one("t:Principals/t:Principal/t:RunLevel"),
                                 "LeastPrivilege")
                self.assertEqual(task.one("t:Settings/t:DisallowStartIfOnBatteries"), "false")
                self.assertEqual(task.one("t:Settings/t:StopIfGoingOnBatteries"), "false")

    def test_registering_twice_is_harmless_and_unregistering_deletes_the_task(self):
        folder = self.folder(FOLDERS["an ampersand"])
        first = self.register(folder)
        self.assertEqual(self.register(folder), first)

        arguments = self.run_script(folder, "unregister-hourly.cmd", 0, UNREGISTERED)
        self.assertEqual(arguments[1:], ["/Delete", "/TN", "Tovrel", "/F"])
        self.assertEqual(list(self.tasks.iterdir()), [])
        self.run_script(folder, "unregister-hourly.cmd", 1, NOTHING_TO_UNREGISTER)


if __name__ == "__main__":
    unittest.main()
