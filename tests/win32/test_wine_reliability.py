"""The Windows build's reliability under Wine: saves killed at any moment, two savers racing,
another saver's lock, a folder where no file can be made, and hostile SETUP.INI files against
Tovrel.exe. save_loop.exe, tests/reliability/save_loop.cpp built for Windows, saves the way the
settings window does."""

import contextlib
import math
import os
import random
import select
import shutil
import signal
import subprocess
import time
import unittest
from pathlib import Path

import wine_harness  # first: it puts tests/e2e on the path
from wine_harness import windows_path

import harness

ROOT = wine_harness.prefix() / "drive_c" / "tovrel-reliability"
LOCK = ".SETUP.INI.lock"
SAVED, REFUSED, LOCKED = 0, 2, 3  # save_loop: Saved, FileNotWritable, LockedByAnotherSaver
LOCK_PATIENCE = 2.0  # kLockPatience, in seconds


def cp949(text):
    return text.encode("cp949")


def temporary_files(folder):
    return [p.name for p in folder.iterdir() if p.name.startswith(".SETUP.INI.") and p.name != LOCK]


def is_hidden(path):
    """Whether Windows' attrib shows the file hidden."""
    attrib = subprocess.run(["wine", "attrib", windows_path(path)], capture_output=True)
    flags, found, _ = attrib.stdout.decode("cp949").partition(windows_path(path))
    if attrib.returncode != 0 or not found:
        raise AssertionError(f"attrib: {attrib.returncode} {attrib.stdout + attrib.stderr}")
    return "H" in flags.split()


def wait_for_wineserver():
    """Waits until the prefix's Wine session and server have ended."""
    subprocess.run(["wineserver", "-w"], timeout=60, check=False)


class Saver:
    """save_loop.exe under Wine, with pipes to its standard input and from its output."""

    def __init__(self, folder, *args):
        self.started = time.monotonic()
        self.popen = subprocess.Popen(
            ["wine", os.environ["TOVREL_SAVE_LOOP"], windows_path(folder / "SETUP.INI"), *args],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def read(self, timeout=30):
        """The next byte it writes; b"" once it has ended."""
        if not select.select([self.popen.stdout], [], [], timeout)[0]:
            raise AssertionError(f"save_loop said nothing for {timeout} s")
        return os.read(self.popen.stdout.fileno(), 1)

    def go(self):
        self.popen.stdin.write(b"g")
        self.popen.stdin.flush()

    def wait(self, timeout=60):
        """Its exit status and the seconds since it started."""
        return self.popen.wait(timeout), time.monotonic() - self.started

    def ended(self):
        """Its exit status, and what it or Wine wrote on standard error, once it has ended."""
        return f"status {self.wait()[0]}: {self.popen.stderr.read().decode(errors='replace')}"

    def close(self):
        if self.popen.poll() is None:
            self.popen.kill()
            self.popen.wait()
        for pipe in (self.popen.stdin, self.popen.stdout, self.popen.stderr):
            pipe.close()


class WineReliabilityTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        """Keeps the prefix's Wine session running from the first test to the last: once its
        last program has ended, Wine shuts it down, and a program started meanwhile can lose its
        connection to Wine's server and fail to start. A saver holding the lock of a folder of
        its own does nothing else."""
        harness.require_tools("wine", "wineserver")
        (ROOT / "session").mkdir(parents=True, exist_ok=True)
        cls.session = Saver(ROOT / "session", "hold")
        if cls.session.read() != b"r":
            raise RuntimeError("Wine did not start: " + cls.session.ended())
        # Wine shows every file whose name starts with a dot as hidden, whatever its attributes;
        # asked not to, it shows what a save gave the file.
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine", "/v", "ShowDotFiles", "/d",
                        "Y", "/f"], capture_output=True, check=True)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wine", "reg", "delete", r"HKCU\Software\Wine", "/v", "ShowDotFiles",
                        "/f"], capture_output=True, check=False)
        cls.session.go()
        cls.session.wait()
        cls.session.close()
        shutil.rmtree(ROOT, ignore_errors=True)
        wait_for_wineserver()

    def folder(self, name, contents=None):
        """A fresh folder under drive_c, with a SETUP.INI of the contents, if any."""
        folder = ROOT / name
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        if contents is not None:
            (folder / "SETUP.INI").write_bytes(contents)
        return folder

    @contextlib.contextmanager
    def immutable(self, folder, enabled=True):
        """No file can be made or removed in the folder meanwhile (chattr +i, which needs root),
        while the files in it can still be written."""
        if enabled and subprocess.run(["chattr", "+i", folder], capture_output=True).returncode:
            self.skipTest("chattr +i is refused here: it needs root and an ext2-4 file system")
        try:
            yield folder
        finally:
            if enabled:
                subprocess.run(["chattr", "-i", folder], check=True)

    def saver(self, folder, *args):
        saver = Saver(folder, *args)
        self.addCleanup(saver.close)
        return saver

    def save_once(self, folder, writer="B"):
        return self.saver(folder, "once", writer, "0").wait()[0]

    # A save killed at any moment leaves the old file or the new one, whole, and no lock.
    def test_every_kill_leaves_the_old_or_the_new_file_whole(self):
        rounds = 120
        # A section no save touches, as in saved_pairs.h: some 256 KB to write at each save.
        folder = self.folder("killed", cp949("[기록]\r\n") + b"".join(
            b"line%d=%s\r\n" % (n, bytes([97 + n % 26]) * 60) for n in range(3700)))
        ini = folder / "SETUP.INI"
        files = []
        for writer in "ABA":
            self.assertEqual(self.save_once(folder, writer), SAVED)
            files.append(ini.read_bytes())
        self.assertEqual(files[0], files[2], "the two files alternate")

        seed = int(os.environ.get("TOVREL_SEED", random.randrange(1 << 30)))
        rng = random.Random(seed)
        hidden, shown, checked, wine_failures = 0, {"empty": 0, "whole": 0}, set(), []
        for round_ in range(rounds):
            what = f"round {round_} (TOVREL_SEED={seed})"
            saver = Saver(folder, "alternate")
            if (said := saver.read()) == b"" and saver.wait()[0] == 1:
                # Now and then, soon after a kill, Wine fails to start the next program: it ends
                # with status 1 before the program runs. Once more, then it counts.
                wine_failures.append(saver.ended())
                saver.close()
                saver = Saver(folder, "alternate")
                said = saver.read()
            self.addCleanup(saver.close)
            self.assertEqual(said, b"r", f"{what}: save_loop did not start")
            stamps = []
            for _ in range(5 if round_ == 0 else round_ % 3):
                self.assertEqual(saver.read(), b".", what + ": a save failed")
                stamps.append(time.monotonic())
            if round_ == 0:
                save_seconds = (stamps[-1] - stamps[0]) / 4
            # Pauses up to three saves' time: every other one spread evenly on a log scale from
            # 10 us, so that kills land in the first, short steps of a save; the others evenly,
            # so that they land in the long ones (writing and flushing the new file) as often as
            # those take time.
            reach = max(3 * save_seconds, 0.005)
            time.sleep(math.exp(rng.uniform(math.log(1e-5), math.log(reach))) if round_ % 2
                       else rng.uniform(0, reach))
            saver.popen.kill()
            self.assertEqual(saver.wait()[0], -signal.SIGKILL, what + ": it ended by itself")
            self.assertNotIn(b"F", saver.popen.stdout.read(), what + ": a save failed")
            self.assertIn(ini.read_bytes(), files[:2], what + ": a torn SETUP.INI")
            # Wine's server removes the lock file once it has seen its holder end.
            self.assertTrue(harness.poll(lambda: not (folder / LOCK).exists(), 5),
                            what + ": the lock file stays")
            temporaries = temporary_files(folder)
            self.assertLessEqual(len(temporaries), 1, what + ": abandoned files pile up")
            for name in set(temporaries) - checked:
                checked.add(name)
                written = (folder / name).read_bytes()
                if is_hidden(folder / name):
                    hidden += 1
                    continue
                # Shown only if killed in the last moment, after it took SETUP.INI's attributes,
                # whole, before its rename; or, under Wine, which gives a new file its attributes
                # just after making it, while it is empty.
                self.assertIn(len(written), [0] + [len(f) for f in files[:2]],
                              what + ": shown to the user half written")
                self.assertIn(written, [b""] + files[:2], what + ": shown, torn")
                shown["whole" if written else "empty"] += 1
        self.assertGreater(hidden, 0, "no killed save left a hidden file")
        self.assertEqual(self.save_once(folder, "A"), SAVED)
        self.assertEqual(temporary_files(folder), [], "a completed save left a file")
        self.assertFalse(is_hidden(ini), "SETUP.INI was left hidden")
        print(f"\n{rounds} kills (TOVREL_SEED={seed}), one save ~{save_seconds * 1000:.1f} ms; "
              f"{len(checked)} files left, {hidden} hidden, shown {shown}; Wine failed to start "
              f"it {len(wine_failures)} times {wine_failures}", flush=True)
        self.assertLessEqual(len(wine_failures), rounds // 20, "Wine fails too often to tell")

    # Each saver adds a key a save to a section of its own. A save that wrote back a file read
    # before the other's last save would lose that save's key for good. Both folders: with the
    # lock file, and where no file can be made (written in place, a byte of SETUP.INI the lock).
    def test_two_savers_racing_lose_no_update(self):
        saves, sections = 100, ("write A", "write B")
        for immutable in (False, True):
            with self.subTest(immutable=immutable):
                folder = self.folder(f"race-{immutable}", b"")
                with self.immutable(folder, immutable):
                    savers = [self.saver(folder, "tally", s, str(saves)) for s in sections]
                    for saver in savers:
                        self.assertEqual(saver.read(), b"r")
                    for saver in savers:
                        saver.go()
                    for saver in savers:
                        self.assertEqual(saver.wait()[0], SAVED, saver.ended())
                # The sections in either order: the first saver to save made its own first.
                expected = [f"{s}]\r\n".encode() + b"".join(b"%d=%d\r\n" % (n, n)
                                                           for n in range(1, saves + 1))
                            for s in sections]
                self.assertEqual(sorted((folder / "SETUP.INI").read_bytes().split(b"[")),
                                 [b""] + sorted(expected), "a save was lost")
                self.assertEqual([p.name for p in folder.iterdir()], ["SETUP.INI"])

    # Another saver holds the lock: a save waits no longer than LOCK_PATIENCE and refuses,
    # writing nothing; let go during the wait, the save goes through; and a holder killed leaves
    # no lock behind.
    def test_a_save_waits_briefly_for_another_savers_lock(self):
        old = cp949("[환경설정]\r\n일어날 시간=3\r\n")
        for immutable in (False, True):
            with self.subTest(immutable=immutable):
                folder = self.folder(f"lock-{immutable}", old)
                with self.immutable(folder, immutable):
                    holder = self.saver(folder, "hold")
                    self.assertEqual(holder.read(), b"r", "the holder has the lock")
                    status, seconds = self.saver(folder, "once", "B", "0").wait()
                    self.assertEqual(status, LOCKED)
                    self.assertGreaterEqual(seconds, LOCK_PATIENCE)
                    self.assertLess(seconds, LOCK_PATIENCE + 3, "Wine's start included")
                    self.assertEqual((folder / "SETUP.INI").read_bytes(), old)

                    waiting = self.saver(folder, "once", "B", "0")
                    time.sleep(LOCK_PATIENCE / 4)
                    holder.go()
                    self.assertEqual(waiting.wait()[0], SAVED, "the lock was let go in time")
                    self.assertNotEqual((folder / "SETUP.INI").read_bytes(), old)

                    holder = self.saver(folder, "hold")
                    self.assertEqual(holder.read(), b"r")
                    holder.popen.kill()
                    holder.wait()
                    status, seconds = self.saver(folder, "once", "A", "0").wait()
                    self.assertEqual(status, SAVED, "a killed holder's lock stays")
                    self.assertLess(seconds, LOCK_PATIENCE)

    # A SETUP.INI the user may write, in a folder where no file can be made, is written in place:
    # the bytes a replacement gives, into the same file. A missing one cannot be made there.
    def test_a_folder_where_no_file_can_be_made(self):
        before = cp949("; 메모\r\n[환경설정]\r\n일어날 시간=" + "3" * 60 + "\r\n; 끝\r\n[다른]\r\nx=1\r\n")
        replacing, in_place = self.folder("replacing", before), self.folder("in-place", before)
        self.assertEqual(self.save_once(replacing), SAVED)
        inode = (in_place / "SETUP.INI").stat().st_ino
        with self.immutable(in_place):
            self.assertEqual(self.save_once(in_place), SAVED)
        self.assertEqual((in_place / "SETUP.INI").read_bytes(),
                         (replacing / "SETUP.INI").read_bytes())
        self.assertEqual((in_place / "SETUP.INI").stat().st_ino, inode, "not written in place")
        self.assertEqual([p.name for p in in_place.iterdir()], ["SETUP.INI"])

        (in_place / "SETUP.INI").unlink()
        with self.immutable(in_place):
            self.assertEqual(self.save_once(in_place), REFUSED)
        self.assertEqual(list(in_place.iterdir()), [])


MISSING = "파일이 정상적이지 않습니다. 환경설정부터 해주세요."
SONG = "C:\\음악\\아침 노래.mp3"
SETTINGS = "[환경설정]\r\n일어날 시간=7\r\n원하는 파일=" + SONG + "\r\n"


def sparse(path, head, size):
    path.write_bytes(head)
    os.truncate(path, size)


# (name, how SETUP.INI is made, the file setting the alarm reads or None for the missing-settings
# path, whether a save over it is refused)
HOSTILE_FILES = [
    ("folder", lambda p: p.mkdir(), None, True),
    ("fifo", os.mkfifo, None, True),
    ("link-loop", lambda p: p.symlink_to(p.name), None, True),
    ("link-to-dev-zero", lambda p: p.symlink_to("/dev/zero"), None, True),
    ("above-the-size-limit", lambda p: sparse(p, cp949(SETTINGS), 129 << 20), None, True),
    ("empty", lambda p: p.write_bytes(b""), None, False),
    ("binary-noise", lambda p: p.write_bytes(random.Random(1).randbytes(64 << 10)), None, False),
    ("nul-in-the-value", lambda p: p.write_bytes(cp949(SETTINGS)[:-2] + b"\0 & del C:\\*\r\n"),
     SONG, False),
    ("nul-before-the-key",
     lambda p: p.write_bytes(cp949(SETTINGS).replace(b"\n", b"\n\0", 1)), None, False),
    ("fifty-megabytes-of-one-line",
     lambda p: p.write_bytes(b"x" * 52_400_000 + b"\r\n" + cp949(SETTINGS)), SONG, False),
    # Too large a number to hold: the missing-settings path. (Not ten million digits, as on Linux:
    # Wine's edit control takes time that grows with the square of its text's length, 3 s for
    # 40,000 characters, and the alarm's hour box holds the hour as read.)
    ("ten-thousand-digit-hour",
     lambda p: p.write_bytes(cp949(SETTINGS.replace("=7", "=1" + "9" * 10_000))), None, False),
    ("lone-lead-byte-at-the-end", lambda p: p.write_bytes(cp949(SETTINGS)[:-2] + b"\x81"),
     SONG + "\ufffd", False),
    ("odd-length-utf-16", lambda p: p.write_bytes(SETTINGS.encode("utf-16") + b"\n"), SONG, False),
    ("utf-16-big-endian",
     lambda p: p.write_bytes(b"\xfe\xff" + SETTINGS.encode("utf-16-be")), SONG, False),
    ("carriage-returns-only",
     lambda p: p.write_bytes(cp949(SETTINGS.replace("\r\n", "\r"))), SONG, False),
]


class HostileSettingsFileTest(unittest.TestCase):
    """Tovrel.exe at 05:40, its hour set to 7, each beside a hostile SETUP.INI of its own, all at
    once: it reads what the file format's rules make of the file, shows "2시간 남았습니다." and
    ends by itself; or it shows the missing-settings message, which waits for its answer, and then
    starts the settings executable (a recording stand-in here) and ends. Either way with status 0,
    within seconds."""

    def test_hostile_files_neither_crash_nor_hang_the_alarm(self):
        harness.require_tools("wine", "wineserver", "openbox", "wmctrl")
        # A session an earlier test left, with no display, would not show these windows.
        wait_for_wineserver()
        self.addCleanup(wait_for_wineserver)
        xserver = harness.XServer(window_manager=True).start()
        self.addCleanup(xserver.stop)
        root = wine_harness.prefix() / "drive_c" / "tovrel-hostile"
        shutil.rmtree(root, ignore_errors=True)
        self.addCleanup(shutil.rmtree, root, ignore_errors=True)
        env = xserver.env(WINEPREFIX=str(wine_harness.prefix()), LANG="ko_KR.UTF-8", TZ="UTC",
                          WINEDLLOVERRIDES="mscoree,mshtml=",
                          WINEDEBUG="-all,+process,+msgbox,+edit",
                          LD_PRELOAD=harness.faketime_library(),
                          FAKETIME="@2026-12-08 05:40:00", NO_FAKE_STAT="1")
        env.pop("LC_ALL", None)

        runs = {}
        for name, make, _, _ in HOSTILE_FILES:
            folder = root / name
            folder.mkdir(parents=True)
            shutil.copy2(Path(os.environ["TOVREL_WINDOWS_BIN_DIR"]) / wine_harness.ALARM, folder)
            shutil.copy2(os.environ["TOVREL_RECORDER"], folder / wine_harness.SETTINGS)
            make(folder / "SETUP.INI")
            runs[name] = harness.Run(["wine", windows_path(folder / wine_harness.ALARM)], env,
                                     folder, root / f"{name}.log")
            self.addCleanup(runs[name].stop)

        # The missing-settings boxes wait for their answers. They stand one on another in the
        # middle of the screen, so an answer goes to whichever is on top.
        waiting = [runs[name] for name, _, file_setting, _ in HOSTILE_FILES if file_setting is None]
        deadline = time.monotonic() + 120
        while not all(run.finished() for run in waiting) and time.monotonic() < deadline:
            boxes = [box for run in waiting if not run.finished()
                     for box in xserver.windows("Tovrel프로그램", run.pid)]
            if boxes:
                xserver.answer_box(boxes[-1])
            time.sleep(0.2)

        for name, _, file_setting, refused in HOSTILE_FILES:
            with self.subTest(name):
                status, seconds = runs[name].wait(timeout=90)
                output = runs[name].output()
                summary = wine_harness.summary(output)[:3000]
                self.assertEqual(status, 0, summary)
                self.assertLess(seconds, 30, "far slower than its three seconds")
                texts = wine_harness.edit_texts(output)
                self.assertEqual(wine_harness.message_boxes(output),
                                 [MISSING] if file_setting is None else [], summary)
                self.assertEqual("2시간 남았습니다." in texts, file_setting is not None)
                if file_setting is not None:
                    self.assertIn("explorer.exe " + file_setting, texts)
                settings = windows_path(root / name / wine_harness.SETTINGS)
                self.assertEqual(wine_harness.started_programs(output),
                                 [] if file_setting else [(settings, f'"{settings}"')], summary)

                # The settings window saving over it: refused for what is no settings file.
                saver = Saver(root / name, "once", "B", "0")
                self.addCleanup(saver.close)
                self.assertEqual(saver.wait()[0], REFUSED if refused else SAVED)
                self.assertEqual(temporary_files(root / name), [])
