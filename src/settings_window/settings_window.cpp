#include "settings_window/settings_window.h"

#include <array>

#include "frame/executable_files.h"
#include "frame/paths.h"
#include "frame/settings_location.h"
#include "settings_store/settings_file.h"
#include "settings_store/settings_names.h"
#include "settings_window/hour_filter.h"
#include "settings_window/layout.h"

namespace tovrel::settings_window {
namespace {

constexpr char kLoaded[] = "불러오기가 완료 되었습니다.";
constexpr char kFileNotValid[] = "파일이 정상적이지 않습니다.";
constexpr char kSaved[] = "저장하기가 완료 되었습니다.";
constexpr char kInputNotValid[] = "입력이 정상적이지 않습니다. 다시 입력해주세요.";

}  // namespace

SettingsWindow::SettingsWindow(Frame& frame, Controls& controls)
    : frame_(frame), controls_(controls) {}

void SettingsWindow::text1_change() {
  const std::string hour = controls_.text(Text1);
  if (!hour.empty() && !is_hour_text(hour)) controls_.set_text(Text1, "");
}

void SettingsWindow::command1_click() {
  // A dialog that fails is as good as Cancel: nothing changes and nothing is said. The chosen
  // path goes in as it is: a file whose name ends in a blank is another file without it.
  with_failure_path(
      [this] {
        const std::string current = controls_.text(Text2);
        if (const std::optional<std::string> file = frame_.ui().choose_file_to_open(current)) {
          controls_.set_text(Text2, *file);
        }
      },
      [] {});
}

// Load and Save use this executable's title as the section, on purpose, where the alarm uses the
// fixed name: the two meet only because the settings executable is titled "환경설정". Settings
// files written that way exist; an executable with another title keeps a section of its own,
// which the alarm never reads. Do not "fix" one to match the other.
void SettingsWindow::command2_click() {
  const SettingsSnapshot settings(frame_.system().files(), settings_file_of(frame_.system()));
  const std::string section = frame_.title();
  controls_.set_text(Text1, settings.value(section, kHourKey));
  controls_.set_text(Text2, settings.value(section, kFileKey));
  with_failure_path(
      [this] {
        const bool both = !controls_.text(Text1).empty() && !controls_.text(Text2).empty();
        frame_.show_message(both ? kLoaded : kFileNotValid);
      },
      [this] { frame_.show_message(kFileNotValid); });
}

void SettingsWindow::command3_click() {
  with_failure_path([this] { save(); }, [this] { frame_.show_message(kInputNotValid); });
}

void SettingsWindow::save() {
  const std::string hour = controls_.text(Text1);
  const std::string file = controls_.text(Text2);
  // The hint in the path box means no file was chosen.
  if (hour.empty() || file.empty() || file == kPathHint) {
    frame_.show_message(kInputNotValid);
    return;
  }
  const std::array<Setting, 2> settings = {Setting{kHourKey, hour}, Setting{kFileKey, file}};
  const WriteOutcome outcome = write_settings(
      frame_.system().files(), settings_file_of(frame_.system()), frame_.title(), settings);
  frame_.show_message(outcome == WriteOutcome::Saved ? kSaved : kInputNotValid);
}

void SettingsWindow::query_unload() {
  frame_.system().launch(join_path(frame_.system().app_folder(), kAlarmExecutableFile));
  frame_.end_program();
}

}  // namespace tovrel::settings_window
