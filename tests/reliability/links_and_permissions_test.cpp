// Saving through links and into folders and files the user may not change: the exact outcome,
// and nothing changed but the one file a save replaces or creates.
//
// The basic cases (a read-only file or folder, a folder in place of the file, a link, a dangling
// link, a link to itself) are in tests/core/settings_file_test.cpp; these are the combinations.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

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
using testing::as_ordinary_user;

constexpr uid_t kOrdinaryUser = 65534;  // the user as_ordinary_user becomes

// Builds entries of a folder; every path is relative to it.
struct Tree {
  std::string root;

  void file(const std::string& name, mode_t mode,
            const std::string& bytes = saved_over("", pair_of('A', 0))) const {
    write_file(root + "/" + name, bytes);
    ::chmod((root + "/" + name).c_str(), mode);
  }
  void folder(const std::string& name, mode_t mode) const {
    fs::create_directory(root + "/" + name);
    ::chmod((root + "/" + name).c_str(), mode);
  }
  void link(const std::string& name, const std::string& target) const {
    fs::create_symlink(target, root + "/" + name);
  }
  void fifo(const std::string& name) const { ::mkfifo((root + "/" + name).c_str(), 0644); }
  void sparse(const std::string& name, off_t size) const {
    file(name, 0644);
    ::truncate((root + "/" + name).c_str(), size);
  }
};

struct LinkCase {
  const char* name;
  const char* why;
  std::function<void(const Tree&)> build;  // SETUP.INI and whatever it leads to
  WriteOutcome outcome;
  const char* replaced;  // the one file the save replaces or creates; nullptr: nothing changes
};
void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

class SaveThroughLinks : public testing::Sandbox, public ::testing::WithParamInterface<LinkCase> {
 protected:
  void TearDown() override {
    // Let the sandbox be removed whatever the case left read-only.
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(folder(), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
      }
    }
    Sandbox::TearDown();
  }

  // Everything the ordinary user would own had they made it.
  void give_to_ordinary_user() const {
    if (::geteuid() != 0) return;
    ::lchown(folder().c_str(), kOrdinaryUser, kOrdinaryUser);
    for (const auto& entry : fs::recursive_directory_iterator(folder())) {
      ::lchown(entry.path().c_str(), kOrdinaryUser, kOrdinaryUser);
    }
  }
};

TEST_P(SaveThroughLinks, HasTheExactOutcomeAndChangesNothingElse) {
  const LinkCase& c = GetParam();
  ::chmod(folder().c_str(), 0755);
  c.build(Tree{folder()});
  give_to_ordinary_user();

  const auto before = snapshot(folder());
  const std::string ini = path("SETUP.INI");
  const std::string replaced = c.replaced ? path(c.replaced) : "";
  const std::string old = c.replaced ? file_bytes(replaced) : "";
  struct stat old_status {};
  const bool existed = c.replaced && ::stat(replaced.c_str(), &old_status) == 0;

  const WriteOutcome expected = c.outcome;
  EXPECT_TRUE(as_ordinary_user([&] {
    return write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()) == expected;
  })) << c.why;

  auto after = snapshot(folder());
  if (c.replaced) {
    EXPECT_EQ(describe(file_bytes(replaced)), describe(saved_over(old, pair_of('B', 0)))) << c.why;
    struct stat status {};
    ASSERT_EQ(::lstat(replaced.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode)) << "a file, not a link";
    if (existed) {
      EXPECT_EQ(status.st_mode, old_status.st_mode) << "permissions kept";
    }
    after.erase(c.replaced);
    // Nothing else: the entry is compared above, everything else must be as it was.
    auto rest = before;
    rest.erase(c.replaced);
    EXPECT_EQ(after, rest) << c.why;
  } else {
    EXPECT_EQ(after, before) << c.why;
  }
  EXPECT_TRUE(temporary_files(folder()).empty());
}

// SETUP.INI -> l1 -> l2 ... -> real.ini: the given number of links in all.
void chain(const Tree& t, int links) {
  const auto name = [](int i) {
    return i == 0 ? std::string("SETUP.INI") : "l" + std::to_string(i);
  };
  for (int i = 0; i + 1 < links; ++i) t.link(name(i), name(i + 1));
  t.link(name(links - 1), "real.ini");
}

const LinkCase kLinkCases[] = {
    {"LinkToReadOnlyFile", "the link is followed; its target may not be written",
     [](const Tree& t) {
       t.folder("elsewhere", 0755);
       t.file("elsewhere/real.ini", 0444);
       t.link("SETUP.INI", "elsewhere/real.ini");
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"LinkIntoReadOnlyFolder", "no new file may be made beside the target: it is written in place",
     [](const Tree& t) {
       t.folder("elsewhere", 0755);
       t.file("elsewhere/real.ini", 0644);
       ::chmod((t.root + "/elsewhere").c_str(), 0555);
       t.link("SETUP.INI", "elsewhere/real.ini");
     },
     WriteOutcome::Saved, "elsewhere/real.ini"},
    {"DanglingLinkIntoReadOnlyFolder", "the missing target cannot be created there",
     [](const Tree& t) {
       t.folder("elsewhere", 0555);
       t.link("SETUP.INI", "elsewhere/new.ini");
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"DanglingLinkIntoMissingFolder", "no folder is created for the target",
     [](const Tree& t) { t.link("SETUP.INI", "missing/new.ini"); }, WriteOutcome::FileNotWritable,
     nullptr},
    {"ChainOfRelativeLinks", "each relative link is read from the folder it is in",
     [](const Tree& t) {
       t.folder("sub", 0755);
       t.file("real.ini", 0640);
       t.link("SETUP.INI", "l1");
       t.link("l1", "sub/l2");
       t.link("sub/l2", "../real.ini");
     },
     WriteOutcome::Saved, "real.ini"},
    {"ChainEndingInNothing", "a chain ending in a missing file creates that file",
     [](const Tree& t) {
       t.link("SETUP.INI", "l1");
       t.link("l1", "new.ini");
     },
     WriteOutcome::Saved, "new.ini"},
    {"AbsoluteLinkThroughLinkedFolder", "a linked folder on the way is the real folder",
     [](const Tree& t) {
       t.folder("real-folder", 0755);
       t.file("real-folder/real.ini", 0600);
       t.link("linked-folder", "real-folder");
       t.link("SETUP.INI", t.root + "/linked-folder/real.ini");
     },
     WriteOutcome::Saved, "real-folder/real.ini"},
    {"ThirtyNineLinks", "a long chain is followed to its end",
     [](const Tree& t) {
       t.file("real.ini", 0644);
       chain(t, 39);
     },
     WriteOutcome::Saved, "real.ini"},
    {"FortyOneLinks", "more links than the system follows (40) count as a loop",
     [](const Tree& t) {
       t.file("real.ini", 0644);
       chain(t, 41);
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"TwoLinksInALoop", "a loop is refused and nothing is created",
     [](const Tree& t) {
       t.link("SETUP.INI", "other");
       t.link("other", "SETUP.INI");
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"LinkToFolder", "a folder is not a settings file and is not replaced",
     [](const Tree& t) {
       t.folder("elsewhere", 0755);
       t.file("elsewhere/keep.txt", 0644, "keep");
       t.link("SETUP.INI", "elsewhere");
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"LinkToPipe", "a pipe is not replaced, and opening it does not wait for a writer",
     [](const Tree& t) {
       t.fifo("pipe");
       t.link("SETUP.INI", "pipe");
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"PipeInPlaceOfTheFile", "a pipe is not replaced by a file",
     [](const Tree& t) { t.fifo("SETUP.INI"); }, WriteOutcome::FileNotWritable, nullptr},
    {"LinkToFileAboveSizeLimit", "a file too large to read in full is refused, not truncated",
     [](const Tree& t) {
       t.sparse("huge.ini", 129 * 1024 * 1024);
       t.link("SETUP.INI", "huge.ini");
     },
     WriteOutcome::FileNotWritable, nullptr},
    {"LinkToFileWithUnusualPermissions", "the replaced target keeps its permissions",
     [](const Tree& t) {
       t.file("real.ini", 0604);
       t.link("SETUP.INI", "real.ini");
     },
     WriteOutcome::Saved, "real.ini"},
    {"LinkIntoFolderWeMayNotList", "write and search permission are all a save needs",
     [](const Tree& t) {
       t.folder("hidden", 0755);
       t.file("hidden/real.ini", 0644);
       ::chmod((t.root + "/hidden").c_str(), 0333);
       t.link("SETUP.INI", "hidden/real.ini");
     },
     WriteOutcome::Saved, "hidden/real.ini"},
};

INSTANTIATE_TEST_SUITE_P(Links, SaveThroughLinks, ::testing::ValuesIn(kLinkCases),
                         [](const auto& info) { return std::string(info.param.name); });

class SaveOddTargets : public testing::Sandbox {};

// Replacing by rename gives SETUP.INI a new file: another name for the old one keeps the old
// settings, whole.
TEST_F(SaveOddTargets, AHardLinkKeepsTheOldFileWhole) {
  const std::string old = saved_over("", pair_of('A', 0));
  write("SETUP.INI", old);
  fs::create_hard_link(path("SETUP.INI"), path("other.ini"));
  ASSERT_EQ(write_settings(files, path("SETUP.INI"), kSettingsSection, pair_of('B', 0).settings()),
            WriteOutcome::Saved);
  EXPECT_EQ(read("SETUP.INI"), saved_over(old, pair_of('B', 0)));
  EXPECT_EQ(read("other.ini"), old);
  EXPECT_TRUE(temporary_files(folder()).empty());
}

// A name of its own for the temporary file: the target's name with a dot before it and seven
// characters after it would be longer than a name may be for a name of 248 bytes or more.
TEST_F(SaveOddTargets, ATargetWithALongNameIsReplaced) {
  for (const std::size_t length : {240u, 247u, 248u, 255u}) {
    const std::string name(length, 'n');
    write(name, saved_over("", pair_of('A', 0)));
    fs::create_symlink(name, path("SETUP.INI"));
    EXPECT_EQ(
        write_settings(files, path("SETUP.INI"), kSettingsSection, pair_of('B', 0).settings()),
        WriteOutcome::Saved)
        << "target name of " << length << " bytes";
    EXPECT_EQ(describe(read(name)),
              describe(saved_over(saved_over("", pair_of('A', 0)), pair_of('B', 0))));
    fs::remove(path("SETUP.INI"));
    fs::remove(path(name));
  }
}

// The system follows 40 links in a path; the alarm therefore reads a file at the end of a chain
// of 40, and the settings window must be able to save it.
TEST_F(SaveOddTargets, AChainOfFortyLinksThatTheSystemFollowsIsSaved) {
  const std::string old = saved_over("", pair_of('A', 0));
  write("real.ini", old);
  chain(Tree{folder()}, 40);
  EXPECT_EQ(SettingsSnapshot(files, path("SETUP.INI")).value(kSettingsSection, kHourKey), "7")
      << "the alarm reads it";
  EXPECT_EQ(write_settings(files, path("SETUP.INI"), kSettingsSection, pair_of('B', 0).settings()),
            WriteOutcome::Saved);
  EXPECT_EQ(describe(read("real.ini")), describe(saved_over(old, pair_of('B', 0))));
}

}  // namespace
}  // namespace tovrel::reliability
