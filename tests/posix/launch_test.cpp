#include "frame/os/posix/launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "fakes/sandbox.h"
#include "frame/failure.h"
#include "frame/os/posix/opener.h"
#include "posix/ordinary_user.h"

namespace tovrel::posix {
namespace {

TEST(ProcessForCommandLineTest, OpenCommandOpensTheFileWithXdgOpen) {
  const struct {
    std::string command_line;
    std::string program;
    std::vector<std::string> arguments;
    bool search_path;
    std::string opened_file;
  } cases[] = {
      {"explorer.exe /음악/아침 노래.mp3",
       "xdg-open",
       {"/음악/아침 노래.mp3"},
       true,
       "/음악/아침 노래.mp3"},
      {"explorer.exe /tmp/a;touch x", "xdg-open", {"/tmp/a;touch x"}, true, "/tmp/a;touch x"},
      {"explorer.exe $(reboot)", "xdg-open", {"$(reboot)"}, true, "$(reboot)"},
      {"explorer.exe  two spaces ", "xdg-open", {" two spaces "}, true, " two spaces "},
      {"explorer.exe -x", "xdg-open", {"./-x"}, true, "-x"},
      {"/opt/tovrel/환경설정", "/opt/tovrel/환경설정", {}, false, ""},
      {"/opt/my folder/Tovrel", "/opt/my folder/Tovrel", {}, false, ""},
      {"explorer.exe", "explorer.exe", {}, false, ""},
  };
  for (const auto& c : cases) {
    const ProcessStart start = process_for_command_line(c.command_line);
    EXPECT_EQ(start.program, c.program) << c.command_line;
    EXPECT_EQ(start.arguments, c.arguments) << c.command_line;
    EXPECT_EQ(start.search_path, c.search_path) << c.command_line;
    EXPECT_EQ(start.opened_file, c.opened_file) << c.command_line;
  }
}

class StartDetachedTest : public testing::Sandbox {
 protected:
  // A program that records its arguments and its session into a file.
  std::string recorder(std::string_view name) {
    const std::string script = path(name);
    write(name, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.args\"\nps -o sid= -p $$ > \"$0.sid\"\n");
    ::chmod(script.c_str(), 0755);
    return script;
  }

  std::string wait_for(const std::string& name) {
    for (int i = 0; i < 200 && !std::filesystem::exists(path(name)); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return read(name);
  }
};

TEST_F(StartDetachedTest, StartsTheProgramInASessionOfItsOwnWithItsArgumentsUnchanged) {
  const std::string program = recorder("recorder");
  start_detached({program, {"/tmp/a;touch x", "$(reboot)", "two words"}, false, {}});
  EXPECT_EQ(wait_for("recorder.args"), "/tmp/a;touch x|$(reboot)|two words|");
  EXPECT_NE(std::stoi(wait_for("recorder.sid")), ::getsid(0));
  EXPECT_FALSE(std::filesystem::exists("x"));
}

TEST_F(StartDetachedTest, FindsTheOpenerOnPath) {
  recorder("xdg-open");
  const std::string old_path = std::getenv("PATH");
  ::setenv("PATH", (folder() + ":" + old_path).c_str(), 1);
  start_detached(process_for_command_line("explorer.exe /음악/a b.mp3"));
  ::setenv("PATH", old_path.c_str(), 1);
  EXPECT_EQ(wait_for("xdg-open.args"), "/음악/a b.mp3|");
}

TEST_F(StartDetachedTest, AProgramThatCannotStartIsAFailure) {
  std::filesystem::permissions(folder(), std::filesystem::perms::owner_all |
                                             std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_exec);
  write("not-executable", "#!/bin/sh\n");
  ::chmod(path("not-executable").c_str(), 0644);
  const struct {
    std::string program;
    ErrorNumber number;
  } cases[] = {
      {path("missing"), ErrorNumber::FileNotFound},
      {path("missing/deeper"), ErrorNumber::FileNotFound},
      {path("not-executable"), ErrorNumber::PermissionDenied},
      {folder(), ErrorNumber::PermissionDenied},
  };
  for (const auto& c : cases) {
    const bool failed = testing::as_ordinary_user([&] {
      try {
        start_detached({c.program, {}, false, {}});
        return false;
      } catch (const Failure& failure) {
        return failure.number() == c.number;
      }
    });
    EXPECT_TRUE(failed) << c.program;
  }
}

// A folder as the alarm's: the real opener beside a stand-in for the alarm's executable, which
// records its arguments, and a stand-in xdg-open first on PATH.
class OpenerTest : public StartDetachedTest {
 protected:
  void SetUp() override {
    StartDetachedTest::SetUp();
    std::filesystem::copy_file(TOVREL_OPENER, path("tovrel-opener"));
    recorder("Tovrel");  // what the alarm's executable is asked to say
    path_before_ = std::getenv("PATH");
    ::setenv("PATH", (folder() + ":" + path_before_).c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", path_before_.c_str(), 1);
    StartDetachedTest::TearDown();
  }
  void open(std::string_view file) {
    open_through_opener(folder(), process_for_command_line("explorer.exe " + std::string(file)));
  }

 private:
  std::string path_before_;
};

// The opener outlives the alarm: what it started and watches may fail later.
TEST_F(OpenerTest, HasTheAlarmSayAFileThatDidNotOpenAlsoOnceTheAlarmHasEnded) {
  const struct {
    const char* description;
    const char* opening;  // what xdg-open does
    bool said;
  } cases[] = {
      {"could not open it", "exit 2", true},
      {"could not open it, later", "sleep 0.3; exit 4", true},
      {"opened it", "exit 0", false},
      {"ended by a signal", "kill -TERM $$", false},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(path("Tovrel.args"));
    std::filesystem::remove(path("xdg-open.ran"));
    write("xdg-open", "#!/bin/sh\ntouch \"$0.ran\"\n" + std::string(c.opening) + "\n");
    ::chmod(path("xdg-open").c_str(), 0755);
    open("/음악/지운 노래.mp3");
    wait_for("xdg-open.ran");
    EXPECT_TRUE(std::filesystem::exists(path("xdg-open.ran"))) << c.description;
    if (c.said) {
      EXPECT_EQ(wait_for("Tovrel.args"), "--say-not-opened|/음악/지운 노래.mp3|") << c.description;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      EXPECT_FALSE(std::filesystem::exists(path("Tovrel.args"))) << c.description;
    }
  }
}

// The alarm does not wait for the opener, yet an xdg-open that cannot start fails the launch.
TEST_F(OpenerTest, AnXdgOpenThatCannotStartIsAFailureOfTheLaunch) {
  const struct {
    const char* description;
    const char* path;  // PATH, in the test's folder
    ErrorNumber failure;
  } cases[] = {
      {"none on PATH", "missing", ErrorNumber::FileNotFound},
      {"one that may not be run", "cannot-run:missing", ErrorNumber::PermissionDenied},
  };
  std::filesystem::create_directory(path("cannot-run"));
  write("cannot-run/xdg-open", "#!/bin/sh\n");
  for (const auto& c : cases) {
    ::setenv("PATH", path(c.path).c_str(), 1);
    try {
      open("/a");
      ADD_FAILURE() << c.description << ": started";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), c.failure) << c.description;
    }
  }
}

TEST_F(OpenerTest, WithoutAnOpenerBesideTheExecutablesTheFileOpensUnwatched) {
  std::filesystem::remove(path("tovrel-opener"));
  recorder("xdg-open");
  open("/음악/a b.mp3");
  EXPECT_EQ(wait_for("xdg-open.args"), "/음악/a b.mp3|");
}

}  // namespace
}  // namespace tovrel::posix
