#include "alarm_window/form1_layout.h"

namespace tovrel::form1 {
namespace {

ControlLayout value_box(std::string_view name, int top, int tab_index, std::string_view text) {
  ControlLayout box{name, ControlKind::TextBox, 1080, top, 1815, 270, tab_index, text};
  box.centred = true;
  box.read_only = true;
  box.enabled = false;
  return box;
}

ControlLayout holder(std::string_view name, int top, int height, int tab_index) {
  ControlLayout box{name, ControlKind::TextBox, 480, top, 1455, height, tab_index, ""};
  box.visible = false;
  return box;
}

const ControlLayout controls[] = {
    {"Label1", ControlKind::Label, 120, 120, 855, 255, 0, "현재 시간"},
    value_box("Text1", 120, 1, "Text1"),
    {"Label2", ControlKind::Label, 120, 480, 855, 255, 2, "남은 시간"},
    value_box("Text2", 480, 3, "Text2"),
    {"Label3", ControlKind::Label, 120, 840, 855, 255, 4, "Tovrel 실행"},
    value_box("Text3", 840, 5, "Text3"),
    holder("Text4", 240, 375, 6),
    holder("Text5", 720, 270, 7),
};

}  // namespace

const WindowLayout layout{
    "Form1", "Tovrel프로그램", FrameStyle::FixedToolWindow, 2985, 1230, controls, 1000,
};

}  // namespace tovrel::form1
