#include "alarm_window/alarm_window.h"

#include <string>

#include "alarm_window/layout.h"
#include "alarm_window/number_text.h"
#include "frame/executable_files.h"
#include "frame/open_command.h"
#include "frame/paths.h"
#include "frame/settings_location.h"
#include "settings_store/settings_file.h"
#include "settings_store/settings_names.h"

namespace tovrel::alarm_window {
namespace {

constexpr std::string_view kHoursLeft = "시간 남았습니다.";
constexpr std::string_view kItIsTime = "Tovrel 시간 입니다.";
constexpr std::string_view kRun = "실행";
constexpr std::string_view kRunForbidden = "실행 금지";
constexpr std::string_view kProgramEnd = "프로그램 종료";
constexpr std::string_view kSettingsMissing = "파일이 정상적이지 않습니다. 환경설정부터 해주세요.";

}  // namespace

AlarmWindow::AlarmWindow(Frame& frame, Controls& controls) : frame_(frame), controls_(controls) {}

void AlarmWindow::load() {
  // One reading of the file for both settings, so that a save in between cannot mix two saves.
  // The section is the settings window's caption, never this executable's own title.
  const SettingsSnapshot settings(frame_.system().files(), settings_file_of(frame_.system()));
  const std::string hour_setting = settings.value(kSettingsSection, kHourKey);
  controls_.set_text(Text4, hour_setting);
  const std::string file_setting = settings.value(kSettingsSection, kFileKey);
  const std::string command_line = std::string(kOpenFileCommand) + file_setting;
  controls_.set_text(Text5, command_line);

  if (hour_setting.empty() || file_setting.empty()) {
    // A jump into the failure path, not a failure: the path stays armed, so a failure inside it
    // (the settings executable cannot start) runs it once more.
    with_failure_path([this] { settings_missing(); }, [this] { settings_missing(); });
  }
  with_failure_path([&] { compare_hours(hour_setting, command_line); },
                    [this] { settings_missing(); });
}

void AlarmWindow::compare_hours(const std::string& hour_setting, const std::string& command_line) {
  tick_counter_ = 1;
  const double difference = frame_.system().now().hour - read_number(hour_setting);
  const std::string separator = frame_.ui().decimal_separator();
  if (difference < 0) {
    controls_.set_text(Text2, write_number(-difference, separator) + std::string(kHoursLeft));
  } else if (difference == 0) {
    controls_.set_text(Text2, std::string(kItIsTime));
    controls_.set_text(Text3, std::string(kRun));
    frame_.system().launch(command_line);
  } else {
    controls_.set_text(Text2, write_number(difference, separator) + std::string(kHoursLeft));
    controls_.set_text(Text3, std::string(kRunForbidden));
  }
  show_time();
}

void AlarmWindow::settings_missing() {
  sending_user_to_settings_ = true;
  frame_.show_message(std::string(kSettingsMissing));
  frame_.system().launch(join_path(frame_.system().app_folder(), kSettingsExecutableFile));
  frame_.end_program();
}

void AlarmWindow::timer1_tick() {
  show_time();
  if (tick_counter_ == 3 && !sending_user_to_settings_) {
    controls_.set_text(Text3, std::string(kProgramEnd));
    frame_.end_program();
  }
  controls_.set_text(Text3, tick_counter_ ? std::to_string(*tick_counter_) : std::string());
  tick_counter_ = tick_counter_.value_or(0) + 1;
}

void AlarmWindow::show_time() {
  controls_.set_text(Text1, frame_.ui().format_time(frame_.system().now()));
}

}  // namespace tovrel::alarm_window
