"""The Debian package: its files as lintian, desktop-file-validate and appstreamcli judge them and
as they point at each other; then installed with apt-get into a clean Debian root made from
Debian's packages, used there by an ordinary user, and purged."""

import contextlib
import gzip
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402
from test_day_of_use import set_and_save  # noqa: E402
from test_install import PROGRAMS, entry_of  # noqa: E402

DEB = Path(os.environ.get("TOVREL_DEB", harness.REPO / "build/linux/tovrel_1.0_amd64.deb"))


def checker_findings(*argv):
    result = subprocess.run(argv, capture_output=True, text=True)
    return result.returncode, re.findall(r"^[EWIP]: .*", result.stdout + result.stderr, re.M)


class PackageFilesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        temp = tempfile.TemporaryDirectory(prefix="tovrel-deb-")
        cls.addClassCleanup(temp.cleanup)
        cls.tree = Path(temp.name)
        subprocess.run(["dpkg-deb", "-x", DEB, cls.tree], check=True)

    def test_lintian_desktop_file_validate_and_appstreamcli_find_nothing(self):
        # lintian's notes (I:, P:) are left to the README.
        findings = checker_findings("lintian", DEB)[1]
        self.assertEqual([f for f in findings if f[0] in "EW"], [])
        for entry in PROGRAMS:
            validated = subprocess.run(
                ["desktop-file-validate", self.tree / "usr/share/applications" / entry],
                capture_output=True, text=True)
            self.assertEqual((validated.returncode, validated.stdout + validated.stderr), (0, ""))
        for metainfo in (self.tree / "usr/share/metainfo").iterdir():
            self.assertEqual(checker_findings("appstreamcli", "validate", "--no-net", metainfo),
                             (0, []))

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
        """The packaged file that a command in /usr/bin runs, its link followed in the package."""
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
        version = subprocess.run(["dpkg-deb", "-f", DEB, "Version"], capture_output=True,
                                 text=True, check=True).stdout.strip()
        with gzip.open(self.tree / "usr/share/doc/tovrel/changelog.gz", "rt") as changelog:
            self.assertRegex(changelog.readline(), rf"^tovrel \({re.escape(version)}\) ")
        metainfo = next((self.tree / "usr/share/metainfo").iterdir())
        newest = ElementTree.parse(metainfo).find("releases/release")
        self.assertEqual(newest.get("version"), version)


USER = "tester"
HOME = Path("/home") / USER
SONG = HOME / "음악" / "아침 노래.mp3"
USER_SETTINGS = HOME / ".config/tovrel/SETUP.INI"
HOST_SOURCES = Path("/etc/apt/sources.list.d/debian.sources")
HOST_ARCHIVES = Path("/var/cache/apt/archives")
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


class CleanRootTest(unittest.TestCase):
    """apt-get installs the package into a minimal Debian 12 root, made afresh from Debian's
    packages, with whatever it depends on; an ordinary user saves settings and the alarm opens
    the file at its hour, on the host's Xvfb; apt-get purge then leaves the root as it was."""

    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("making a Debian root and changing into it needs root")
        build = harness.bin_dir().parent
        self.root, self.archives = build / "clean-root", build.parent / "apt-archives"
        # Kept between runs, and given the host's downloads as links: apt fetches only the rest.
        self.archives.mkdir(exist_ok=True)
        for deb in HOST_ARCHIVES.glob("*.deb"):
            with contextlib.suppress(OSError):  # linked already, or on another file system
                os.link(deb, self.archives / deb.name)
        self.times = {}
        self.addCleanup(self.remove_root)
        self.addCleanup(lambda: print("clean root, seconds:", self.times, file=sys.stderr))
        self.remove_root()

    def remove_root(self):
        # Its mounts live in namespaces of their own: none of them is seen here.
        subprocess.run(["rm", "-rf", "--one-file-system", self.root], check=True)

    @contextlib.contextmanager
    def timed(self, step):
        started = time.monotonic()
        yield
        self.times[step] = round(time.monotonic() - started)

    def in_root(self, *argv, user=False, **environment):
        """argv in the root, as the ordinary user if user, with its own /proc, /dev/shm and the
        kept apt archives mounted for it alone."""
        if user:
            argv = ("setpriv", f"--reuid={USER}", f"--regid={USER}", "--init-groups",
                    "env", "-i", f"HOME={HOME}", "PATH=/tmp/stubs:/usr/bin:/bin", "LANG=C.UTF-8",
                    "TZ=UTC", *[f"{name}={value}" for name, value in environment.items()], *argv)
        mounts = ('mount -t proc proc "$0/proc" && mount -t tmpfs -o mode=1777 shm "$0/dev/shm"'
                  ' && mount --bind "$1" "$0/var/cache/apt/archives"'
                  ' && shift && exec chroot "$0" "$@"')
        return ["unshare", "--mount", "sh", "-c", mounts, self.root, self.archives, *map(str, argv)]

    def run_in_root(self, *argv, **options):
        result = subprocess.run(self.in_root(*argv, **options), capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout

    def apt_get(self, *arguments):
        return self.run_in_root("env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "-y", "-q",
                                "-o", "APT::Sandbox::User=root", *arguments)

    def files(self):
        """Every path in the root but the temporary folder and the user's home."""
        return {str(p.relative_to(self.root)) for p in self.root.rglob("*")
                if p.relative_to(self.root).parts[0] not in ("tmp", "proc")
                and not p.is_relative_to(self.root / HOME.relative_to("/"))}

    def test_install_use_and_purge(self):
        archives, kept = '"$1/var/cache/apt/archives"', shlex.quote(str(self.archives))
        mirrors = [HOST_SOURCES] if HOST_SOURCES.exists() else []
        with self.timed("made"):
            subprocess.run([
                "unshare", "--mount", "mmdebstrap", "--mode=root", "--variant=minbase", "--quiet",
                "--include=libfaketime", "--skip=essential/unlink", "--skip=cleanup/apt",
                f"--setup-hook=mkdir -p {archives} && mount --bind {kept} {archives}",
                f"--customize-hook=umount {archives}",
                f'--customize-hook=chroot "$1" useradd --create-home {USER}',
                "bookworm", self.root, *mirrors], check=True)
        shutil.copy(DEB, self.root / "tmp")
        deb = Path("/tmp") / DEB.name
        # What apt-get would install with the package goes first, so that the root before the
        # package and after its purge can be compared whole; with systemd, which a user who
        # turns on the hourly check has.
        plan = self.apt_get("install", "--simulate", deb)
        with self.timed("dependencies installed"):
            self.apt_get("install", "--no-install-recommends", "systemd",
                         *set(re.findall(r"^Inst (\S+)", plan, re.M)) - {"tovrel"})
        before = self.files()
        with self.timed("installed"):
            self.apt_get("install", deb)
        packaged = set(self.run_in_root("dpkg-query", "-L", "tovrel").split()) - {"/."}
        with self.timed("used"):
            self.use()
        with self.timed("purged"):
            self.apt_get("purge", "tovrel")

        self.assertEqual(sorted(self.files() ^ before), [])
        left = [path for path in packaged if (self.root / path.lstrip("/")).exists()]
        self.run_in_root("dpkg-query", "--search", *left)  # each still another package's
        self.assertTrue((self.root / USER_SETTINGS.relative_to("/")).exists(),
                        "purging took the user's settings")

    def use(self):
        (self.root / "tmp/stubs").mkdir()
        harness.write_recorder(self.root / "tmp/stubs/xdg-open", "/tmp/xdg-open.log")
        self.run_in_root("sh", "-c", 'mkdir -p "${0%/*}" && touch "$0"', SONG, user=True)
        saved = self.root / USER_SETTINGS.relative_to("/")
        with harness.XServer(window_manager=True) as self.x:
            with self.subTest("saved in the user's own settings file"):
                settings = self.start("tovrel-settings", "2026-12-08 05:00:00")
                window = self.x.wait_for_window("환경설정", settings.pid, run=settings, timeout=30)
                set_and_save(self.x, window, settings, "7", SONG)
                output = settings.output()
                settings.stop()  # not closed: closing starts the alarm
                expected = f"[환경설정]\r\n일어날 시간=7\r\n원하는 파일={SONG}\r\n".encode("cp949")
                self.assertEqual(saved.read_bytes() if saved.exists() else None, expected, output)
            if not saved.exists():
                self.run_in_root("mkdir", "-p", USER_SETTINGS.parent, user=True)
                harness.write_settings(saved.parent, {"일어날 시간": "7", "원하는 파일": SONG})
            with self.subTest("the alarm opens the file at its hour"):
                alarm = self.start("tovrel", "2026-12-08 07:30:00")
                self.assertEqual(harness.wait_for_records(self.root / "tmp/xdg-open.log", 1),
                                 [[str(SONG)]], alarm.output())
                self.assertEqual(alarm.wait(timeout=15)[0], 0, alarm.output())
        with self.subTest("the hourly check turned on for the user"):
            self.run_in_root("systemd-analyze", "--user", "verify", "tovrel-alarm.service",
                             "tovrel-alarm.timer", user=True, XDG_RUNTIME_DIR="/tmp")
            # Without --now: no user manager runs in the root to start it.
            self.run_in_root("systemctl", "--user", "enable", "tovrel-alarm.timer", user=True)
            wanted = saved.parents[1] / "systemd/user/graphical-session.target.wants" / (
                "tovrel-alarm.timer")
            self.assertEqual(os.readlink(wanted) if wanted.is_symlink() else None,
                             "/usr/lib/systemd/user/tovrel-alarm.timer")

    def start(self, command, clock):
        scratch = tempfile.mkdtemp(prefix="tovrel-root-run-")
        self.addCleanup(shutil.rmtree, scratch)
        run = harness.Run(self.in_root(command, user=True, DISPLAY=self.x.display,
                                       LD_PRELOAD=FAKETIME, FAKETIME="@" + clock, NO_FAKE_STAT=1),
                          os.environ, scratch, Path(scratch) / "output.log")
        self.addCleanup(run.stop)
        return run


if __name__ == "__main__":
    unittest.main()
