#include "settings_window/form2_layout.h"

#include "settings_store/settings_names.h"

namespace tovrel::form2 {
namespace {

ControlLayout hour_box() {
  ControlLayout box{"Text1", ControlKind::TextBox, 1200, 120, 1695, 270, 1, ""};
  box.typed_length_limit = 2;
  return box;
}

ControlLayout path_box() {
  ControlLayout box{"Text2", ControlKind::TextBox, 1200, 600, 3375, 270, 3, kPathHint};
  box.read_only = true;
  return box;
}

const ControlLayout controls[] = {
    {"Label1", ControlKind::Label, 120, 120, 975, 255, 0, kHourKey},
    hour_box(),
    {"Label2", ControlKind::Label, 120, 600, 1095, 255, 2, kFileKey},
    path_box(),
    {"Command1", ControlKind::Button, 3240, 120, 1095, 375, 4, "찾아보기"},
    {"Command2", ControlKind::Button, 120, 1080, 2055, 375, 5, "불러오기"},
    {"Command3", ControlKind::Button, 2400, 1080, 2055, 375, 6, "저장하기"},
};

}  // namespace

const WindowLayout layout{"Form2", kSettingsSection, FrameStyle::FixedSingle, 4635, 1635, controls};

}  // namespace tovrel::form2
