// The frame's part in every handler: what a failure that is not one of the program's own does,
// and the startup window's load before its first show.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>

#include "alarm_window/events.h"
#include "alarm_window/layout.h"
#include "fakes/expected_texts.h"
#include "fakes/fake_frame.h"
#include "fakes/sandbox.h"
#include "frame/executable_files.h"
#include "frame/paths.h"
#include "frame/program_window.h"
#include "program/program.h"
#include "settings_window/events.h"
#include "settings_window/layout.h"

namespace tovrel {
namespace {

using testing::kSettingsMissing;
constexpr char kOutOfMemory[] = "런타임 오류 '7':\n\n메모리가 부족합니다.";
constexpr char kInternalError[] = "런타임 오류 '51':\n\n내부 오류";

class FrameTest : public testing::Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    frame.folder = folder();
    write("SETUP.INI", testing::settings_file("7", "/a"));
  }
  testing::FakeFrame frame;
};

TEST_F(FrameTest, AnythingAHandlerRaisesIsAFailure) {
  const auto out_of_memory = std::make_exception_ptr(std::bad_alloc());
  const auto unexpected = std::make_exception_ptr(std::runtime_error("unexpected"));
  const auto file_system = std::make_exception_ptr(
      std::filesystem::filesystem_error("gone", std::make_error_code(std::errc::io_error)));
  const struct {
    const char* description;
    std::function<void(testing::FakeFrame&)> fault;
    bool settings_window;
    Event event;
    std::size_t source;
    std::vector<std::string> messages;
    int exit_status;  // -1: the program goes on
  } cases[] = {
      {"alarm: out of memory opening the file, F armed",
       [&](auto& frame) { frame.cannot_start("explorer.exe /a", out_of_memory); },
       false,
       Event::Load,
       kWindow,
       {kSettingsMissing},
       0},
      {"alarm: the clock fails after F is armed",
       [&](auto& frame) { frame.clock_fault = unexpected; },
       false,
       Event::Load,
       kWindow,
       {kSettingsMissing},
       0},
      {"alarm tick, no failure path: out of memory",
       [&](auto& frame) { frame.clock_fault = out_of_memory; },
       false,
       Event::Tick,
       kWindow,
       {kOutOfMemory},
       7},
      {"alarm tick, no failure path: a file-system error",
       [&](auto& frame) { frame.clock_fault = file_system; },
       false,
       Event::Tick,
       kWindow,
       {kInternalError},
       51},
      {"settings Browse: the dialog raises, the path swallows it",
       [&](auto& frame) { frame.dialog_fault = unexpected; },
       true,
       Event::Click,
       settings_window::Command1,
       {},
       -1},
      {"settings close, no failure path: out of memory starting the alarm",
       [&](auto& frame) {
         frame.cannot_start(join_path(frame.folder, kAlarmExecutableFile), out_of_memory);
       },
       true,
       Event::Close,
       kWindow,
       {kOutOfMemory},
       7},
  };
  for (const auto& c : cases) {
    testing::FakeFrame frame;
    frame.folder = folder();
    frame.time = {7, 0, 0};
    c.fault(frame);
    bool ended = false;
    if (c.settings_window) {
      ProgramWindow<settings_window::SettingsWindow> window(frame, frame, settings_window::layout,
                                                            settings_window::events);
      ended = frame.raise(window, c.event, c.source);
    } else {
      ProgramWindow<alarm_window::AlarmWindow> window(frame, frame, alarm_window::layout,
                                                      alarm_window::events);
      ended = frame.raise(window, c.event, c.source);
    }
    EXPECT_EQ(frame.messages, c.messages) << c.description;
    EXPECT_EQ(ended, c.exit_status >= 0) << c.description;
    if (ended) {
      EXPECT_EQ(frame.exit_status, c.exit_status) << c.description;
    }
  }
}

TEST_F(FrameTest, AFailureReportedUnderAMessageBoxEndsTheHandlerThatWaits) {
  write("SETUP.INI", "");
  frame.clock_fault = std::make_exception_ptr(std::bad_alloc());
  ProgramWindow<alarm_window::AlarmWindow> alarm(frame, frame, alarm_window::layout,
                                                 alarm_window::events);
  frame.while_message_waits = [&] { alarm.raise(Event::Tick, kWindow); };
  EXPECT_TRUE(frame.raise(alarm, Event::Load));
  // The tick under the missing-settings box failed; its failure path never caught that.
  EXPECT_EQ(frame.messages, (std::vector<std::string>{kSettingsMissing, kOutOfMemory}));
  EXPECT_TRUE(frame.launches.empty());
  EXPECT_EQ(frame.exit_status, 7);
}

TEST_F(FrameTest, TheStartupWindowIsShownAfterItsLoadHandler) {
  frame.time = {5, 0, 0};
  EXPECT_EQ(run_program(kAlarmExecutable, frame, frame), 0);
  const testing::FakeWindow& alarm = frame.window();
  EXPECT_EQ(&alarm.layout(), &alarm_window::layout);
  ASSERT_TRUE(alarm.shown());
  EXPECT_EQ(alarm.texts_when_shown[alarm_window::Text2], "2시간 남았습니다.");
  EXPECT_FALSE(frame.ended);
}

TEST_F(FrameTest, AStartupWindowWhoseLoadEndsTheProgramIsNeverShown) {
  write("SETUP.INI", "");
  EXPECT_TRUE(frame.run([&] { run_program(kAlarmExecutable, frame, frame); }));
  EXPECT_FALSE(frame.window().shown());
  EXPECT_EQ(frame.messages, std::vector<std::string>{kSettingsMissing});
}

TEST_F(FrameTest, TheSettingsExecutableOpensTheSettingsWindowAndReadsNothing) {
  EXPECT_EQ(run_program(kSettingsExecutable, frame, frame), 0);
  const testing::FakeWindow& settings = frame.window();
  EXPECT_EQ(&settings.layout(), &settings_window::layout);
  ASSERT_TRUE(settings.shown());
  // SETUP.INI holds both settings, yet the boxes show their initial texts until Load.
  for (const ControlLayout& control : settings_window::controls) {
    EXPECT_EQ(settings.texts_when_shown[control.control], control.text) << control.name;
  }
  EXPECT_TRUE(frame.messages.empty());
}

// Rows a window could never raise do not compile: each table is checked against its window.
struct Handlers {
  void handle() {}
};
// clang-format off
constexpr ControlLayout kBoxAndButton[] = {
    {.control = 0, .name = "Text1", .kind = ControlKind::TextBox, .bounds = {}, .tab_index = 0,
     .text = ""},
    {.control = 1, .name = "Command1", .kind = ControlKind::Button, .bounds = {}, .tab_index = 1,
     .text = ""},
};
constexpr WindowLayout kFormWindow = {.name = "Form", .caption = "", .border_style = {},
                                      .client_width = 0, .client_height = 0,
                                      .controls = kBoxAndButton};
// clang-format on
template <std::size_t N>
constexpr bool fits(const EventHandler<Handlers> (&rows)[N]) {
  return events_fit_window(rows, kFormWindow);
}
constexpr EventHandler<Handlers> kChangeOfTheBox[] = {{Event::Change, 0, &Handlers::handle}};
constexpr EventHandler<Handlers> kClickOnTheBox[] = {{Event::Click, 0, &Handlers::handle}};
constexpr EventHandler<Handlers> kChangeOfTheButton[] = {{Event::Change, 1, &Handlers::handle}};
constexpr EventHandler<Handlers> kTickWithoutTimer[] = {{Event::Tick, kWindow, &Handlers::handle}};
constexpr EventHandler<Handlers> kClickOfNoControl[] = {{Event::Click, 2, &Handlers::handle}};
constexpr EventHandler<Handlers> kLoadOfAControl[] = {{Event::Load, 1, &Handlers::handle}};
static_assert(fits(kChangeOfTheBox));
static_assert(!fits(kClickOnTheBox));
static_assert(!fits(kChangeOfTheButton));
static_assert(!fits(kTickWithoutTimer));
static_assert(!fits(kClickOfNoControl));
static_assert(!fits(kLoadOfAControl));

}  // namespace
}  // namespace tovrel
