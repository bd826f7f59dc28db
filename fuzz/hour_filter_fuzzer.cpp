// The hour box's filter: is_hour_text, and SettingsWindow::text1_change on a box the program and
// the user change.
//
// Properties: is_hour_text is true exactly for the 24 texts "0" to "23". After any change of the
// hour box (set by the program, a character typed, one deleted), with text1_change run on every
// change as the window runs it, the box holds what was put in if that is one of the 24 texts and
// "" otherwise; a change of the path box leaves the hour box alone; the filter uses nothing of
// the frame.
//
// Input: the text is tried whole, then read as operations; each byte's low two bits say which:
// 0 set the hour box to the bytes up to the next NUL, 1 type the next byte, 2 delete the last
// byte, 3 set the path box to the bytes up to the next NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "frame/controls.h"
#include "frame/frame.h"
#include "fuzz_support.h"
#include "settings_window/hour_filter.h"
#include "settings_window/layout.h"
#include "settings_window/settings_window.h"

namespace {

const std::set<std::string, std::less<>> kHours = [] {
  std::set<std::string, std::less<>> hours;
  for (int hour = 0; hour < 24; ++hour) hours.insert(std::to_string(hour));
  return hours;
}();

bool is_hour(std::string_view text) { return kHours.contains(text); }

[[noreturn]] void fail(const char* service) {
  FUZZ_CHECK(false, "the filter used %s", service);
  std::abort();
}

// The text1_change handler must not need the frame: every service stops the fuzzer.
class NoSystem final : public tovrel::System {
 public:
  std::string app_folder() const override { fail("app_folder"); }
  std::optional<std::string> own_settings_folder() const override { fail("own_settings_folder"); }
  void launch(const std::string&) override { fail("launch"); }
  tovrel::ClockTime now() const override { fail("now"); }
  tovrel::FileSystem& files() override { fail("files"); }
  void exit(int) override { fail("exit"); }
};

class NoUserInterface final : public tovrel::UserInterface {
 public:
  void show_message(const std::string&, const std::string&) override { fail("show_message"); }
  std::string format_time(tovrel::ClockTime) const override { fail("format_time"); }
  std::string decimal_separator() const override { fail("decimal_separator"); }
  std::optional<std::string> choose_file_to_open(const std::string&) override {
    fail("choose_file_to_open");
  }
};

// The settings window's texts; a change of the hour box runs its change handler, as the window's
// textChanged connection does (a text set to what it already is is no change).
class Boxes final : public tovrel::Controls {
 public:
  Boxes() {
    for (const tovrel::ControlLayout& control : tovrel::settings_window::layout.controls) {
      texts_.emplace_back(control.text);
    }
  }
  std::string text(std::size_t control) const override { return texts_.at(control); }
  void set_text(std::size_t control, const std::string& text) override {
    if (texts_.at(control) == text) return;
    texts_[control] = text;
    if (control == tovrel::settings_window::Text1 && form) {
      FUZZ_CHECK(++depth_ < 4, "the filter keeps changing the box");
      form->text1_change();
      --depth_;
    }
  }
  tovrel::settings_window::SettingsWindow* form = nullptr;

 private:
  std::vector<std::string> texts_;
  int depth_ = 0;
};

struct Window {
  NoSystem system;
  NoUserInterface ui;
  tovrel::Frame frame{"환경설정", system, ui};
  Boxes boxes;
  tovrel::settings_window::SettingsWindow form{frame, boxes};
  Window() { boxes.form = &form; }
  std::string hour() const { return boxes.text(tovrel::settings_window::Text1); }
};

// Puts a text into the hour box and checks what stands.
void put_hour(Window& window, const std::string& text) {
  window.boxes.set_text(tovrel::settings_window::Text1, text);
  const std::string stands = window.hour();
  FUZZ_CHECK(stands == (is_hour(text) ? text : ""), "\"%s\" put in, \"%s\" stands", text.c_str(),
             stands.c_str());
}

std::string up_to_nul(std::string_view input, std::size_t& i) {
  const std::size_t end = std::min(input.find('\0', i), input.size());
  std::string text(input.substr(i, end - i));
  i = end + 1;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(tovrel::settings_window::is_hour_text(input) == is_hour(input), "is_hour_text(\"%s\")",
             std::string(input).c_str());

  Window window;
  put_hour(window, std::string(input));

  const int typing_limit =
      tovrel::settings_window::layout.controls[tovrel::settings_window::Text1].typed_length_limit;
  for (std::size_t i = 0; i < input.size();) {
    const unsigned operation = static_cast<unsigned char>(input[i++]) & 3;
    if (operation == 0) {
      const std::string text = up_to_nul(input, i);
      FUZZ_CHECK(tovrel::settings_window::is_hour_text(text) == is_hour(text),
                 "is_hour_text(\"%s\")", text.c_str());
      put_hour(window, text);
    } else if (operation == 1 && i < input.size()) {
      const char typed = input[i++];
      // What the box has no room for is refused before any change.
      if (typing_limit > 0 && static_cast<int>(window.hour().size()) >= typing_limit) continue;
      put_hour(window, window.hour() + typed);
    } else if (operation == 2) {
      std::string text = window.hour();
      if (!text.empty()) text.pop_back();
      put_hour(window, text);
    } else if (operation == 3) {
      const std::string before = window.hour();
      window.boxes.set_text(tovrel::settings_window::Text2, up_to_nul(input, i));
      FUZZ_CHECK(window.hour() == before, "the path box changed the hour box");
    }
  }
  return 0;
}
