// A save that does not fit on the disk is refused and leaves the old file and nothing else.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "fakes/sandbox.h"
#include "frame/os/file_access.h"
#include "posix/ordinary_user.h"
#include "reliability_support.h"
#include "saved_pairs.h"
#include "settings_store/settings_file.h"

namespace tovrel::reliability {
namespace {

SystemFiles files;  // the system's own, which the programs read and save through

namespace fs = std::filesystem;

// The fault library makes the system refuse the temporary file's writes in a saving process.
struct PreloadCase {
  const char* fault;
  bool file_exists;
};
void PrintTo(const PreloadCase& c, std::ostream* out) {
  *out << c.fault << (c.file_exists ? " over an existing file" : " for a new file");
}

class RefusedWrite : public testing::Sandbox, public ::testing::WithParamInterface<PreloadCase> {
 protected:
  int save_once(const std::vector<std::string>& environment) {
    Child child({kSaveLoop, path("SETUP.INI"), "once", "B", "0"}, environment);
    return exit_code(child.wait());
  }
};

TEST_P(RefusedWrite, IsReportedAndLeavesTheOldFileAndNoTemporaryFile) {
  const PreloadCase& c = GetParam();
  const std::string old = saved_over(unrelated_section(64 * 1024), pair_of('A', 0));
  if (c.file_exists) write("SETUP.INI", old);
  const auto before = snapshot(folder());

  EXPECT_EQ(save_once({"LD_PRELOAD=" + kFaultPreload, std::string("TOVREL_FAULT=") + c.fault}), 2)
      << "status 2 is FileNotWritable; 0 would mean the fault library no longer recognises the "
         "temporary file's name (\".SETUP.INI.\" and more)";
  EXPECT_EQ(snapshot(folder()), before) << "the old file and nothing else";
  EXPECT_TRUE(temporary_files(folder()).empty());

  // The same save without the fault goes through: the refusal came from the fault alone.
  EXPECT_EQ(save_once({}), 0);
  EXPECT_EQ(describe(read("SETUP.INI")),
            describe(saved_over(c.file_exists ? old : "", pair_of('B', 0))));
  EXPECT_TRUE(temporary_files(folder()).empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, RefusedWrite,
                         ::testing::Values(PreloadCase{"write", true}, PreloadCase{"short", true},
                                           PreloadCase{"fsync", true}, PreloadCase{"write", false},
                                           PreloadCase{"short", false},
                                           PreloadCase{"fsync", false}),
                         [](const auto& info) {
                           return std::string(info.param.fault) +
                                  (info.param.file_exists ? "OverOldFile" : "ForNewFile");
                         });

// A real full disk: a small tmpfs, where this process may mount one (root, outside a container
// that forbids it).
class FullDisk : public testing::Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    disk_ = path("disk");
    fs::create_directory(disk_);
    if (::mount("tovrel-full-disk", disk_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                "size=256k,mode=0755") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                   << "); the LD_PRELOAD cases cover a full disk instead";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_ && ::umount(disk_.c_str()) != 0) ::umount2(disk_.c_str(), MNT_DETACH);
    Sandbox::TearDown();
  }

  // Fills the disk, then frees about the given number of bytes.
  void fill_leaving(std::size_t free_bytes) {
    const std::string filler = disk_ + "/filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, 'f');
    off_t size = 0;
    for (;;) {
      const ssize_t written = ::write(fd, block.data(), block.size());
      if (written <= 0) break;
      size += written;
    }
    ASSERT_EQ(errno, ENOSPC);
    ASSERT_EQ(::ftruncate(fd, size - static_cast<off_t>(free_bytes)), 0);
    ::close(fd);
  }

  std::size_t free_bytes() const {
    struct statvfs disk {};
    ::statvfs(disk_.c_str(), &disk);
    return disk.f_bavail * disk.f_frsize;
  }

  std::string disk_;
  bool mounted_ = false;
};

TEST_F(FullDisk, ASaveThatDoesNotFitIsRefusedAndChangesNothing) {
  const std::string ini = disk_ + "/SETUP.INI";
  const std::string old = saved_over(unrelated_section(64 * 1024), pair_of('A', 0));
  write_file(ini, old);
  fill_leaving(16 * 1024);
  ASSERT_LT(free_bytes(), old.size()) << "the new file must not fit";
  const auto before = snapshot(disk_);

  EXPECT_EQ(write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()),
            WriteOutcome::FileNotWritable);
  EXPECT_EQ(snapshot(disk_), before) << "the old file and nothing else";
  EXPECT_EQ(describe(file_bytes(ini)), describe(old));
  EXPECT_TRUE(temporary_files(disk_).empty());

  // With room again the same save goes through.
  fs::remove(disk_ + "/filler");
  EXPECT_EQ(write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()),
            WriteOutcome::Saved);
  EXPECT_EQ(describe(file_bytes(ini)), describe(saved_over(old, pair_of('B', 0))));
  EXPECT_TRUE(temporary_files(disk_).empty());
}

TEST_F(FullDisk, ANewFileThatDoesNotFitIsNotCreated) {
  const std::string ini = disk_ + "/SETUP.INI";
  fill_leaving(0);
  const auto before = snapshot(disk_);
  // The new file is about 4 KB, more than a disk with no free block holds.
  EXPECT_EQ(write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()),
            WriteOutcome::FileNotWritable);
  EXPECT_EQ(snapshot(disk_), before);
  EXPECT_FALSE(fs::exists(ini));
}

// Where no new file may be made, a save writes the file in place. A full disk stops that write
// halfway, and the old bytes go back.
TEST_F(FullDisk, AnInPlaceSaveThatDoesNotFitPutsTheOldBytesBack) {
  const std::string ini = disk_ + "/SETUP.INI";
  // The settings go at the end: a save only adds bytes, some 3 KB, and the old file leaves 100
  // bytes of its last page free. The first of the new bytes are written, then the disk is full.
  std::string old = unrelated_section(64 * 1024);
  old += ";" + std::string((4096 - 100 - (old.size() + 3) % 4096) % 4096, '-') + "\r\n";
  ASSERT_EQ(old.size() % 4096, 4096u - 100);
  write_file(ini, old);
  ::chmod(ini.c_str(), 0666);
  fill_leaving(0);
  ::chmod(folder().c_str(), 0755);
  ::chmod(disk_.c_str(), 0555);  // the ordinary user may write the file, and make no file here
  const auto before = snapshot(disk_);

  EXPECT_TRUE(testing::as_ordinary_user([&] {
    return write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()) ==
           WriteOutcome::FileNotWritable;
  }));
  EXPECT_EQ(snapshot(disk_), before) << "the old file, whole, and nothing else";

  fs::remove(disk_ + "/filler");
  EXPECT_TRUE(testing::as_ordinary_user([&] {
    return write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()) ==
           WriteOutcome::Saved;
  })) << "with room again, in place";
  EXPECT_EQ(describe(file_bytes(ini)), describe(saved_over(old, pair_of('B', 0))));
}

}  // namespace
}  // namespace tovrel::reliability
