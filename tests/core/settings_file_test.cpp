#include "settings_store/settings_file.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "fakes/settings_file_fixture.h"
#include "frame/os/file_access.h"

namespace tovrel {
namespace {

namespace fs = std::filesystem;

using testing::cp949;
using testing::kSettings;

class SettingsFileTest : public testing::SettingsFileSandbox {};

TEST_F(SettingsFileTest, WritesANewFileAndReadsItBack) {
  ASSERT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_EQ(read("SETUP.INI"),
            cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/아침 노래.mp3\r\n"));
  EXPECT_EQ(hour(), "7");
  EXPECT_EQ(SettingsSnapshot(files, ini()).value("환경설정", "원하는 파일"), "/음악/아침 노래.mp3");
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow) {
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=7\r\n"));
  EXPECT_EQ(hour(), "7");
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=9\r\n"));
  EXPECT_EQ(hour(), "9");
}

TEST_F(SettingsFileTest, ASaveRemovesWhatAKilledSaveLeftAndNothingElse) {
  write(".SETUP.INI.k3Xq9Z", "half a file");  // as a save killed before its rename leaves it
  write(".SETUP.INI.bak", "kept");
  write("SETUP.INI.old", "kept");
  ASSERT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_FALSE(fs::exists(path(".SETUP.INI.k3Xq9Z")));
  EXPECT_TRUE(fs::exists(path(".SETUP.INI.bak")));
  EXPECT_TRUE(fs::exists(path("SETUP.INI.old")));
}

// Another saver's lock, here held by this process as another would hold it: a save waits for it
// no longer than kLockPatience, never writes while it is held, and goes ahead once it is let go.
TEST_F(SettingsFileTest, ASaveWaitsBrieflyForAnotherSaversLockAndNeverWritesUnderIt) {
  using namespace std::chrono;
  const std::string before = cp949("[환경설정]\r\n일어날 시간=3\r\n");
  write("SETUP.INI", before);
  std::optional<FolderLock> other = files.lock_folder(ini());
  ASSERT_EQ(other->state, LockState::Held);

  const auto start = steady_clock::now();
  EXPECT_EQ(write_settings(files, ini(), "환경설정", kSettings),
            WriteOutcome::LockedByAnotherSaver);
  const auto waited = steady_clock::now() - start;
  EXPECT_GE(waited, kLockPatience);
  EXPECT_LT(waited, kLockPatience + seconds(1));
  EXPECT_EQ(read("SETUP.INI"), before);

  std::thread let_go([&] {
    std::this_thread::sleep_for(kLockPatience / 4);
    other.reset();
  });
  EXPECT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::Saved);
  let_go.join();
  EXPECT_EQ(hour(), "7");
}

TEST_F(SettingsFileTest, AFolderInPlaceOfTheFileIsRefused) {
  fs::create_directory(ini());
  EXPECT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::FileNotWritable);
  EXPECT_TRUE(fs::is_directory(ini()));
}

TEST_F(SettingsFileTest, AValueTheFileCannotHoldWritesNothing) {
  const Setting emoji[] = {{"일어날 시간", "8"}, {"원하는 파일", "/😀.mp3"}};
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=3\r\n"));
  EXPECT_EQ(write_settings(files, ini(), "환경설정", emoji), WriteOutcome::ValueNotStorable);
  EXPECT_EQ(hour(), "3") << "not even the hour";
}

TEST_F(SettingsFileTest, AFileWithCarriageReturnsOnlyIsReadAndSavedInItsLines) {
  write("SETUP.INI", cp949("[환경설정]\r일어날 시간=3\r[기록]\r"));
  EXPECT_EQ(hour(), "3");
  ASSERT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_EQ(read("SETUP.INI"),
            cp949("[환경설정]\r일어날 시간=7\r원하는 파일=/음악/아침 노래.mp3\r\n[기록]\r"));
}

TEST_F(SettingsFileTest, BinaryAndHugeFilesReadWithoutHarm) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7919 % 256);
  write("SETUP.INI", binary);
  EXPECT_EQ(hour(), "");

  std::string big = cp949("[환경설정]\r\n일어날 시간=7\r\n");
  big.resize(50 * 1024 * 1024, 'x');
  write("SETUP.INI", big);
  EXPECT_EQ(hour(), "7");
}

}  // namespace
}  // namespace tovrel
