#include "alarm_window/alarm_window.h"

#include <gtest/gtest.h>

#include "alarm_window/events.h"
#include "alarm_window/layout.h"
#include "fakes/expected_texts.h"
#include "fakes/fake_frame.h"
#include "fakes/sandbox.h"
#include "frame/executable_files.h"
#include "frame/program_window.h"

namespace tovrel {
namespace {

using namespace alarm_window;

using testing::kSettingsMissing;

class AlarmWindowTest : public testing::Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    frame.folder = folder();
  }

  void store(std::string_view hour, std::string_view file) {
    std::string text = "[환경설정]\r\n";
    if (!hour.empty()) text += "일어날 시간=" + std::string(hour) + "\r\n";
    if (!file.empty()) text += "원하는 파일=" + std::string(file) + "\r\n";
    write("SETUP.INI", testing::cp949(text));
  }

  bool load() { return frame.raise(alarm, Event::Load); }
  bool tick() { return frame.raise(alarm, Event::Tick); }
  std::string settings_executable() const { return path(kSettingsExecutableFile); }

  testing::FakeFrame frame;
  ProgramWindow<alarm_window::AlarmWindow> alarm{frame, frame, alarm_window::layout,
                                                 alarm_window::events};
  Window& controls = alarm.window();
};

struct HourCase {
  std::string_view hour_setting;
  int current_hour;
  std::string_view remaining;  // Text2
  std::string_view status;     // Text3
  bool opens;
};
void PrintTo(const HourCase& c, std::ostream* out) {
  *out << "hour " << c.hour_setting << " at " << c.current_hour;
}

class StartUpCheck : public AlarmWindowTest, public ::testing::WithParamInterface<HourCase> {};

TEST_P(StartUpCheck, ComparesTheSetHourWithTheCurrentHour) {
  const HourCase& c = GetParam();
  store(c.hour_setting, "/음악/아침 노래.mp3");
  frame.time = {c.current_hour, 40, 5};

  EXPECT_FALSE(load());
  EXPECT_EQ(controls.text(Text2), c.remaining);
  EXPECT_EQ(controls.text(Text3), c.status);
  EXPECT_EQ(controls.text(Text1), frame.format_time(frame.time));
  EXPECT_EQ(controls.text(Text4), c.hour_setting);
  EXPECT_EQ(controls.text(Text5), "explorer.exe /음악/아침 노래.mp3");
  EXPECT_TRUE(frame.messages.empty());
  if (c.opens) {
    EXPECT_EQ(frame.launches, std::vector<std::string>{"explorer.exe /음악/아침 노래.mp3"});
  } else {
    EXPECT_TRUE(frame.launches.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hours, StartUpCheck,
    ::testing::Values(HourCase{"7", 7, "Tovrel 시간 입니다.", "실행", true},
                      HourCase{"7", 5, "2시간 남았습니다.", "Text3", false},
                      HourCase{"7", 9, "2시간 남았습니다.", "실행 금지", false},
                      HourCase{"0", 0, "Tovrel 시간 입니다.", "실행", true},
                      HourCase{"23", 0, "23시간 남았습니다.", "Text3", false},
                      HourCase{"0", 23, "23시간 남았습니다.", "실행 금지", false},
                      HourCase{"23", 23, "Tovrel 시간 입니다.", "실행", true},
                      HourCase{"07", 7, "Tovrel 시간 입니다.", "실행", true},
                      HourCase{"abc", 0, "Tovrel 시간 입니다.", "실행", true},
                      HourCase{"abc", 5, "5시간 남았습니다.", "실행 금지", false},
                      HourCase{"-1", 0, "1시간 남았습니다.", "실행 금지", false},
                      HourCase{"6.5", 7, "0.5시간 남았습니다.", "실행 금지", false},
                      HourCase{"&H17", 23, "Tovrel 시간 입니다.", "실행", true},
                      HourCase{"1e2", 7, "93시간 남았습니다.", "Text3", false},
                      HourCase{"1 2", 12, "Tovrel 시간 입니다.", "실행", true}));

TEST_F(AlarmWindowTest, FractionsUseTheUsersDecimalSeparator) {
  store("6.5", "/a");
  frame.time = {7, 0, 0};
  frame.separator = ",";
  load();
  EXPECT_EQ(controls.text(Text2), "0,5시간 남았습니다.");
}

TEST_F(AlarmWindowTest, ThreeHundredDigitsAreAHugeNumberNotAFailure) {
  store("1" + std::string(299, '0'), "/a");
  EXPECT_FALSE(load());
  EXPECT_EQ(controls.text(Text2), "1E+299시간 남았습니다.");
}

TEST_F(AlarmWindowTest, ATickCountsToThreeAndEnds) {
  store("7", "/a");
  frame.time = {9, 0, 0};
  load();
  EXPECT_EQ(controls.text(Text3), "실행 금지");

  frame.time = {9, 0, 1};
  EXPECT_FALSE(tick());
  EXPECT_EQ(controls.text(Text3), "1");
  EXPECT_EQ(controls.text(Text1), "09:00:01");
  EXPECT_FALSE(tick());
  EXPECT_EQ(controls.text(Text3), "2");
  frame.time = {9, 0, 3};
  EXPECT_TRUE(tick());
  EXPECT_EQ(controls.text(Text3), "프로그램 종료");
  EXPECT_EQ(controls.text(Text1), "09:00:03");
  EXPECT_EQ(frame.exit_status, 0);
}

TEST_F(AlarmWindowTest, MissingSettingsSendTheUserToTheSettingsExecutable) {
  const struct {
    const char* description;
    std::string_view hour, file;
    bool file_exists;
  } cases[] = {
      {"no settings file", "", "", false},
      {"no hour", "", "/a", true},
      {"no file", "7", "", true},
      {"blank values", "  ", "\"\"", true},
  };
  for (const auto& c : cases) {
    testing::FakeFrame frame;
    frame.folder = folder();
    ProgramWindow<alarm_window::AlarmWindow> alarm{frame, frame, alarm_window::layout,
                                                   alarm_window::events};
    if (c.file_exists) store(c.hour, c.file);

    EXPECT_TRUE(frame.raise(alarm, Event::Load)) << c.description;
    EXPECT_EQ(frame.messages, std::vector<std::string>{kSettingsMissing}) << c.description;
    EXPECT_EQ(frame.launches, std::vector<std::string>{settings_executable()}) << c.description;
    EXPECT_EQ(alarm.window().text(Text2), "Text2") << c.description;
    EXPECT_EQ(frame.exit_status, 0);
  }
}

TEST_F(AlarmWindowTest, SettingsExecutableThatCannotStartIsTriedTwiceThenReported) {
  frame.cannot_start(settings_executable());
  EXPECT_TRUE(load());
  EXPECT_EQ(frame.messages,
            (std::vector<std::string>{kSettingsMissing, kSettingsMissing,
                                      "런타임 오류 '53':\n\n파일을 찾을 수 없습니다."}));
  EXPECT_EQ(frame.exit_status, 53);
}

TEST_F(AlarmWindowTest, AnHourTooLargeToHoldGoesTheMissingSettingsWay) {
  for (const char* hour : {"1e400", "&HFFFFFFFFFF", "-1e400"}) {
    testing::FakeFrame frame;
    frame.folder = folder();
    ProgramWindow<alarm_window::AlarmWindow> alarm{frame, frame, alarm_window::layout,
                                                   alarm_window::events};
    store(hour, "/a");
    EXPECT_TRUE(frame.raise(alarm, Event::Load)) << hour;
    EXPECT_EQ(frame.messages, std::vector<std::string>{kSettingsMissing}) << hour;
    EXPECT_EQ(frame.launches, std::vector<std::string>{settings_executable()}) << hour;
  }
}

TEST_F(AlarmWindowTest, AFailureInsideTheFailurePathIsNotCaughtAgain) {
  store("1e400", "/a");
  frame.cannot_start(settings_executable());
  EXPECT_TRUE(load());
  EXPECT_EQ(frame.messages,
            (std::vector<std::string>{kSettingsMissing,
                                      "런타임 오류 '53':\n\n파일을 찾을 수 없습니다."}));
  EXPECT_EQ(frame.exit_status, 53);
}

TEST_F(AlarmWindowTest, AFileThatCannotBeOpenedGoesTheMissingSettingsWay) {
  store("7", "/a");
  frame.time = {7, 0, 0};
  frame.cannot_start("explorer.exe /a");
  EXPECT_TRUE(load());
  EXPECT_EQ(controls.text(Text3), "실행");
  EXPECT_EQ(frame.messages, std::vector<std::string>{kSettingsMissing});
  EXPECT_EQ(frame.launches, std::vector<std::string>{settings_executable()});
}

// Timer1 keeps ticking while the box waits, each tick an event of its own, but however long the
// box waits, the settings executable starts once it is answered, and only then.
TEST_F(AlarmWindowTest, TicksUnderTheMissingSettingsBoxNeverEndTheProgram) {
  const struct {
    const char* description;
    std::string_view hour;  // nothing stored without one
    std::vector<std::string> first_statuses;
  } cases[] = {
      {"a setting missing: the counter unset", "", {"", "1", "2", "3"}},
      {"a failure after the check began: the counter at 1", "1e400", {"1", "2", "3", "4"}},
  };
  for (const auto& c : cases) {
    testing::FakeFrame frame;
    frame.folder = folder();
    ProgramWindow<alarm_window::AlarmWindow> alarm{frame, frame, alarm_window::layout,
                                                   alarm_window::events};
    if (!c.hour.empty()) store(c.hour, "/a");
    std::vector<std::string> statuses;
    std::size_t launches_while_waiting = 0;
    frame.while_message_waits = [&] {
      for (int second = 0; second < 10; ++second) {
        alarm.raise(Event::Tick, kWindow);
        statuses.push_back(alarm.window().text(Text3));
        launches_while_waiting += frame.launches.size();
      }
    };
    EXPECT_TRUE(frame.raise(alarm, Event::Load)) << c.description;
    statuses.resize(c.first_statuses.size());
    EXPECT_EQ(statuses, c.first_statuses) << c.description;
    EXPECT_EQ(launches_while_waiting, 0u) << c.description;
    EXPECT_EQ(frame.messages, std::vector<std::string>{kSettingsMissing}) << c.description;
    EXPECT_EQ(frame.launches, std::vector<std::string>{settings_executable()}) << c.description;
    EXPECT_EQ(frame.exit_status, 0) << c.description;
  }
}

}  // namespace
}  // namespace tovrel
