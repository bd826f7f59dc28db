// A file setting reaches the program that opens it as one argument, exactly as stored: no shell
// sees it, so nothing in it runs. What cannot be passed at all is a clean failure.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "fakes/sandbox.h"
#include "frame/failure.h"
#include "frame/os/posix/launch.h"
#include "reliability_support.h"

namespace tovrel::reliability {
namespace {

namespace fs = std::filesystem;
using posix::process_for_command_line;
using posix::start_detached;

// Replaces xdg-open first on PATH: records its argument count and its arguments, each ending in
// a NUL, and appears under its final name only once complete.
constexpr char kRecordingOpener[] =
    "#!/bin/sh\n"
    "{ printf '%s\\0' \"$#\"; for argument in \"$@\"; do printf '%s\\0' \"$argument\"; done; } > "
    "\"$0.part\"\n"
    "mv \"$0.part\" \"$0.record\"\n";

class LaunchSafety : public testing::Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    fs::create_directory(path("bin"));
    write("bin/xdg-open", kRecordingOpener);
    ::chmod(path("bin/xdg-open").c_str(), 0755);
    const char* path_variable = std::getenv("PATH");
    old_path_ = path_variable ? path_variable : "/usr/bin:/bin";
    ::setenv("PATH", (path("bin") + ":" + old_path_).c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", old_path_.c_str(), 1);
    Sandbox::TearDown();
  }

  // The arguments the opener was started with, once it has recorded them.
  std::vector<std::string> recorded_arguments() {
    const std::string record = path("bin/xdg-open.record");
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(record)) {
      if (std::chrono::steady_clock::now() > give_up) {
        ADD_FAILURE() << "the opener never ran";
        return {};
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::string bytes = file_bytes(record);
    fs::remove(record);
    std::vector<std::string> fields;
    for (std::size_t start = 0; start < bytes.size();) {
      const std::size_t end = bytes.find('\0', start);
      if (end == std::string::npos) break;
      fields.push_back(bytes.substr(start, end - start));
      start = end + 1;
    }
    if (fields.empty() || fields.front() != std::to_string(fields.size() - 1)) {
      ADD_FAILURE() << "the record is not whole";
      return {};
    }
    fields.erase(fields.begin());
    return fields;
  }

  std::string marker() const { return path("marker"); }

 private:
  std::string old_path_;
};

struct FileSetting {
  std::string file;    // as stored after "explorer.exe "
  std::string opened;  // the one argument the opener gets
};

std::string long_path(std::size_t length) {
  std::string path = "/음악";
  while (path.size() < length) path += "/폴더";
  path.resize(length - 4, 'x');
  return path + ".mp3";
}

TEST_F(LaunchSafety, EachFileSettingIsOpenedAsOneLiteralArgument) {
  const std::string m = marker();
  const FileSetting cases[] = {
      {"/음악/a;touch " + m, ""},
      {"/음악/$(touch " + m + ")", ""},
      {"/음악/`touch " + m + "`", ""},
      {"/음악/a|touch " + m, ""},
      {"/음악/a&touch " + m + "&", ""},
      {"/음악/a>" + m, ""},
      {"/음악/a\ntouch " + m, ""},
      {"/음악/a\r\ntouch " + m + "\r", ""},
      {"/음악/'quoted' \"twice\" \\back", ""},
      {"/음악/*.mp3 ~ $HOME ${PATH} %s %n", ""},
      {"-x", "./-x"},
      {"--help", "./--help"},
      {"-", "./-"},
      {"  /음악/spaces at both ends.mp3  ", ""},
      {"/\xFF\xFE\x80\xC0\xAF/\xE9\x9F.mp3", ""},
      {"", ""},
      {long_path(PATH_MAX + 1000), ""},
      {long_path(128 * 1024 - 1), ""},  // the longest argument the system passes, less its NUL
  };
  for (const auto& c : cases) {
    const std::string opened = c.opened.empty() ? c.file : c.opened;
    SCOPED_TRACE("file setting of " + std::to_string(c.file.size()) +
                 " bytes: " + c.file.substr(0, 60));
    const posix::ProcessStart start = process_for_command_line("explorer.exe " + c.file);
    EXPECT_EQ(start.program, "xdg-open");
    EXPECT_EQ(start.arguments, std::vector<std::string>{opened});
    ASSERT_NO_THROW(start_detached(start));
    EXPECT_EQ(recorded_arguments(), std::vector<std::string>{opened});
    EXPECT_FALSE(fs::exists(m)) << "a command in the file setting ran";
  }
  // Anything a shell had run after the opener would have run by now.
  const auto later = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < later)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(fs::exists(m)) << "a command in the file setting ran";
}

// The system refuses a single argument of 128 KiB or more (E2BIG): the start fails cleanly and
// nothing runs. (The alarm turns a failed start into the missing-settings path; that is in
// tests/core/form1_test.cpp.)
TEST_F(LaunchSafety, AFileSettingTooLongToPassIsAFailure) {
  for (const std::size_t length : {128u * 1024, 128u * 1024 + 1, 1024u * 1024}) {
    SCOPED_TRACE(length);
    try {
      start_detached(process_for_command_line("explorer.exe " + long_path(length)));
      ADD_FAILURE() << "started";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), ErrorNumber::PathFileAccessError);
    }
    EXPECT_FALSE(fs::exists(path("bin/xdg-open.record")));
    EXPECT_FALSE(fs::exists(path("bin/xdg-open.part")));
  }
}

// Without an opener to start, or with one that may not run, the start fails the same way as for
// any program.
TEST_F(LaunchSafety, AnOpenerThatCannotStartIsAFailure) {
  const struct {
    const char* why;
    mode_t mode;  // of the opener found on PATH; 0: none on PATH
    ErrorNumber number;
  } cases[] = {
      {"no xdg-open on PATH", 0, ErrorNumber::FileNotFound},
      {"xdg-open may not be run", 0644, ErrorNumber::PermissionDenied},
  };
  for (const auto& c : cases) {
    if (c.mode == 0) {
      fs::remove(path("bin/xdg-open"));
    } else {
      write("bin/xdg-open", kRecordingOpener);
      ::chmod(path("bin/xdg-open").c_str(), c.mode);
    }
    const std::string only_ours = path("bin");
    const char* saved = std::getenv("PATH");
    const std::string old_path = saved ? saved : "";
    ::setenv("PATH", only_ours.c_str(), 1);
    try {
      start_detached(process_for_command_line("explorer.exe /음악/a.mp3"));
      ADD_FAILURE() << c.why << ": started";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), c.number) << c.why;
    }
    ::setenv("PATH", old_path.c_str(), 1);
  }
}

}  // namespace
}  // namespace tovrel::reliability
