"""The hourly task's XML as schtasks reads it (UTF-16 after a byte-order mark), and what every
registration of it must say."""

import getpass
import subprocess
import xml.etree.ElementTree as ElementTree
from pathlib import Path, PureWindowsPath

NAMESPACE = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
USERS_GROUP = "S-1-5-32-545"
# Task Scheduler's schema as Windows' documentation publishes it.
SCHEMA = Path(__file__).with_name("task-scheduler.xsd")


def check_against_schema(test, root):
    """Checks the task is valid for Task Scheduler, and for Windows 7, which reads version 1.2
    (the schema fixes the version at 8's 1.3) and wants a trigger's parts in the schema's
    order."""
    test.assertEqual(root.get("version"), "1.2")
    del root.attrib["version"]
    result = subprocess.run(["xmllint", "--noout", "--schema", str(SCHEMA), "-"],
                            input=ElementTree.tostring(root), capture_output=True, timeout=30)
    test.assertEqual(result.returncode, 0, result.stderr.decode())


def check_hourly_task(test, data, folder, all_users=False):
    """Checks that the task starts folder\\Tovrel.exe from folder every hour on the hour and at
    this user's sign-in, as that user without administrator rights, on battery too, and makes
    up an hour missed in sleep; for all users, at anyone's sign-in, as whoever signs in."""
    test.assertTrue(data.startswith(b"\xff\xfe"), f"no UTF-16 byte-order mark: {data[:40]!r}")
    # From the bytes, so that a declaration that disagrees with them fails.
    root = ElementTree.fromstring(data)

    def one(path):
        found = [e.text for e in root.findall(path, NAMESPACE)]
        test.assertEqual(len(found), 1, f"{path}: {found}")
        return found[0]

    test.assertEqual(one("t:Actions/t:Exec/t:Command"), str(PureWindowsPath(folder, "Tovrel.exe")))
    test.assertEqual(one("t:Actions/t:Exec/t:WorkingDirectory"), folder)

    test.assertEqual(len(root.find("t:Triggers", NAMESPACE)), 2)
    test.assertRegex(one("t:Triggers/t:TimeTrigger/t:StartBoundary"),
                     r"^\d{4}-\d\d-\d\dT\d\d:00:00$")
    test.assertEqual(one("t:Triggers/t:TimeTrigger/t:Repetition/t:Interval"), "PT1H")
    test.assertIsNone(root.find("t:Triggers/t:TimeTrigger/t:Repetition/t:Duration", NAMESPACE),
                      "repeats for a while only")
    if all_users:
        test.assertEqual(one("t:Principals/t:Principal/t:GroupId"), USERS_GROUP)
        for path in ("t:Principals/t:Principal/t:UserId", "t:Triggers/t:LogonTrigger/t:UserId"):
            test.assertIsNone(root.find(path, NAMESPACE), f"{path}: one user's")
    else:
        user = one("t:Principals/t:Principal/t:UserId")
        test.assertTrue(user.endswith("\\" + getpass.getuser()), user)
        test.assertEqual(one("t:Triggers/t:LogonTrigger/t:UserId"), user)
        test.assertEqual(one("t:Principals/t:Principal/t:LogonType"), "InteractiveToken")
    test.assertEqual(one("t:Principals/t:Principal/t:RunLevel"), "LeastPrivilege")
    # Task Scheduler's defaults keep a task from running on battery.
    test.assertEqual(one("t:Settings/t:DisallowStartIfOnBatteries"), "false")
    test.assertEqual(one("t:Settings/t:StopIfGoingOnBatteries"), "false")
    test.assertEqual(one("t:Settings/t:StartWhenAvailable"), "true")
    # A second start while the first one's message box waits would stack a second box.
    test.assertEqual(one("t:Settings/t:MultipleInstancesPolicy"), "IgnoreNew")
    check_against_schema(test, root)
