#include "settings_window/settings_window.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/expected_texts.h"
#include "fakes/fake_frame.h"
#include "fakes/sandbox.h"
#include "frame/executable_files.h"
#include "frame/program_window.h"
#include "settings_window/events.h"
#include "settings_window/hour_filter.h"
#include "settings_window/layout.h"

namespace tovrel {
namespace {

using namespace settings_window;

using testing::cp949;
using testing::kFileNotValid;
using testing::kInputNotValid;
using testing::kLoaded;
using testing::kSaved;

TEST(HourFilterTest, LetsExactlyTheTwentyFourHoursStand) {
  int accepted = 0;
  for (int i = -5; i < 130; ++i) accepted += is_hour_text(std::to_string(i));
  EXPECT_EQ(accepted, 24);
  for (const char* text : {"0", "9", "10", "19", "20", "23"})
    EXPECT_TRUE(is_hour_text(text)) << text;
  for (const char* text :
       {"", "24", "30", "07", "00", " 7", "7 ", "+7", "-0", "a", "1a", "٣", "７", "123"}) {
    EXPECT_FALSE(is_hour_text(text)) << text;
  }
}

class SettingsWindowTest : public testing::Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    frame.folder = folder();
  }

  bool click(Control button) { return frame.raise(settings, Event::Click, button); }
  bool close() { return frame.raise(settings, Event::Close); }

  testing::FakeFrame frame{"환경설정"};
  ProgramWindow<settings_window::SettingsWindow> settings{frame, frame, settings_window::layout,
                                                          settings_window::events};
  testing::FakeWindow& controls = frame.window();
};

TEST_F(SettingsWindowTest, TypingKeepsTheBoxToTheHours) {
  const struct {
    std::string_view keys;
    std::string_view text;
  } cases[] = {
      {"7", "7"}, {"15", "15"}, {"23", "23"}, {"24", ""},  {"25", ""},  {"30", ""},
      {"07", ""}, {"a", ""},    {"1a", ""},   {" 7", "7"}, {"-1", "1"}, {"2a3", "3"},
  };
  for (const auto& c : cases) {
    controls.set_text(Text1, "");
    controls.type(Text1, c.keys);
    EXPECT_EQ(controls.text(Text1), c.text) << '"' << c.keys << '"';
  }
}

TEST_F(SettingsWindowTest, TextTheProgramSetsIsFilteredButNotCut) {
  for (const char* stored : {"123", "07", " 7", "7 ", "abc"}) {
    controls.set_text(Text1, stored);
    EXPECT_EQ(controls.text(Text1), "") << stored;
  }
  controls.set_text(Text1, "19");
  EXPECT_EQ(controls.text(Text1), "19");
}

TEST_F(SettingsWindowTest, LoadFillsBothBoxes) {
  write("SETUP.INI",
        cp949("[환경설정]\r\n일어날 시간 = \"7\"\r\n원하는 파일=  /음악/아침 노래.mp3  \r\n"));
  EXPECT_FALSE(click(Command2));
  EXPECT_EQ(controls.text(Text1), "7");
  EXPECT_EQ(controls.text(Text2), "/음악/아침 노래.mp3");
  EXPECT_EQ(frame.messages, std::vector<std::string>{kLoaded});
}

TEST_F(SettingsWindowTest, LoadOfMissingOrInvalidSettingsEmptiesTheBoxes) {
  const struct {
    const char* description;
    std::string file;  // UTF-8; none at all when empty
  } cases[] = {
      {"no settings file", ""},
      {"hand-edited hour 07", "[환경설정]\r\n일어날 시간=07\r\n원하는 파일=/a\r\n"},
      {"hour 24", "[환경설정]\r\n일어날 시간=24\r\n원하는 파일=/a\r\n"},
      {"no file", "[환경설정]\r\n일어날 시간=7\r\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(path("SETUP.INI"));
    if (!c.file.empty()) write("SETUP.INI", cp949(c.file));
    controls.set_text(Text1, "5");
    controls.set_text(Text2, std::string(kPathHint));
    frame.messages.clear();

    click(Command2);
    EXPECT_EQ(controls.text(Text1), c.file.find("=7") != std::string::npos ? "7" : "")
        << c.description;
    EXPECT_EQ(controls.text(Text2), c.file.find("=/a") != std::string::npos ? "/a" : "")
        << c.description;
    EXPECT_EQ(frame.messages, std::vector<std::string>{kFileNotValid}) << c.description;
  }
}

TEST_F(SettingsWindowTest, LoadAndSaveUseTheApplicationTitleAsTheSection) {
  testing::FakeFrame frame("Tovrel프로그램");
  frame.folder = folder();
  ProgramWindow<SettingsWindow> settings{frame, frame, settings_window::layout,
                                         settings_window::events};
  frame.window().type(Text1, "7");
  frame.window().set_text(Text2, "/a");
  frame.raise(settings, Event::Click, Command3);
  EXPECT_EQ(read("SETUP.INI"), cp949("[Tovrel프로그램]\r\n일어날 시간=7\r\n원하는 파일=/a\r\n"));
}

TEST_F(SettingsWindowTest, SaveWritesBothBoxes) {
  controls.type(Text1, "7");
  controls.set_text(Text2, "/음악/아침 노래.mp3");
  EXPECT_FALSE(click(Command3));
  EXPECT_EQ(frame.messages, std::vector<std::string>{kSaved});
  EXPECT_EQ(read("SETUP.INI"),
            cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/아침 노래.mp3\r\n"));
}

// Installed for all users: the folder beside the executables is the administrators' and holds the
// defaults; each user reads and saves a file of their own, once there is one.
TEST_F(SettingsWindowTest, InstalledForAllUsersEachUserSavesTheirOwnFile) {
  frame.own_folder = path("home/.config/tovrel");
  const std::string defaults = cp949("[환경설정]\r\n일어날 시간=6\r\n원하는 파일=/기본.mp3\r\n");
  write("SETUP.INI", defaults);

  click(Command2);
  EXPECT_EQ(controls.text(Text1), "6") << "the defaults, while the user has no file";
  controls.set_text(Text1, "7");
  click(Command3);
  EXPECT_EQ(frame.messages, (std::vector<std::string>{kLoaded, kSaved}));
  EXPECT_EQ(read("home/.config/tovrel/SETUP.INI"),
            cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/기본.mp3\r\n"));
  EXPECT_EQ(read("SETUP.INI"), defaults);

  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=5\r\n원하는 파일=/기본.mp3\r\n"));
  click(Command2);
  EXPECT_EQ(controls.text(Text1), "7") << "the user's own file, once there is one";
}

TEST_F(SettingsWindowTest, SaveRefusesWhatItCannotStoreAndWritesNothing) {
  const struct {
    const char* description;
    std::string_view hour, file;
  } cases[] = {
      {"empty hour box", "", "/a"},
      {"empty path box", "7", ""},
      {"the hint: no file chosen", "7", kPathHint},
      {"an emoji in the file name", "7", "/음악/😀.mp3"},
      {"a file name with a line break", "7", "/a\nb.mp3"},
  };
  const std::string before = cp949("[환경설정]\r\n일어날 시간=3\r\n원하는 파일=/old\r\n");
  for (const auto& c : cases) {
    write("SETUP.INI", before);
    frame.messages.clear();
    controls.set_text(Text1, std::string(c.hour));
    controls.set_text(Text2, std::string(c.file));
    click(Command3);
    EXPECT_EQ(frame.messages, std::vector<std::string>{kInputNotValid}) << c.description;
    EXPECT_EQ(read("SETUP.INI"), before) << c.description;
  }
}

// A name that ends in a blank names another file than the name without it.
TEST_F(SettingsWindowTest, BrowsePutsTheChosenPathAsItIsAndItComesBackWhole) {
  frame.chosen_file = "/음악/trail.mp3 ";
  EXPECT_FALSE(click(Command1));
  EXPECT_EQ(frame.dialog_current, "찾아보기를 눌러 주세요.");
  EXPECT_EQ(controls.text(Text2), "/음악/trail.mp3 ");
  EXPECT_TRUE(frame.messages.empty());

  controls.set_text(Text1, "7");
  click(Command3);
  controls.set_text(Text2, "");
  click(Command2);
  EXPECT_EQ(frame.messages, (std::vector<std::string>{kSaved, kLoaded}));
  EXPECT_EQ(controls.text(Text2), "/음악/trail.mp3 ");
  click(Command1);
  EXPECT_EQ(frame.dialog_current, "/음악/trail.mp3 ");
}

TEST_F(SettingsWindowTest, BrowseCancelledOrFailedChangesNothing) {
  controls.set_text(Text2, "/previous");
  frame.chosen_file.reset();
  click(Command1);
  frame.dialog_fault = std::make_exception_ptr(Failure(ErrorNumber::PathFileAccessError));
  EXPECT_FALSE(click(Command1));
  EXPECT_EQ(frame.dialogs_shown, 2);
  EXPECT_EQ(controls.text(Text2), "/previous");
  EXPECT_TRUE(frame.messages.empty());
}

TEST_F(SettingsWindowTest, ClosingStartsTheAlarmAndEndsWithoutSaving) {
  controls.type(Text1, "7");
  controls.set_text(Text2, "/a");
  EXPECT_TRUE(close());
  EXPECT_EQ(frame.launches, std::vector<std::string>{path(kAlarmExecutableFile)});
  EXPECT_FALSE(std::filesystem::exists(path("SETUP.INI")));
  EXPECT_EQ(frame.exit_status, 0);
}

TEST_F(SettingsWindowTest, ClosingWhenTheAlarmCannotStartEndsWithTheRunTimeErrorReport) {
  frame.cannot_start(path(kAlarmExecutableFile));
  EXPECT_TRUE(close());
  EXPECT_EQ(frame.messages,
            std::vector<std::string>{"런타임 오류 '53':\n\n파일을 찾을 수 없습니다."});
  EXPECT_EQ(frame.exit_status, 53);
}

}  // namespace
}  // namespace tovrel
