// A window's widgets, built from its layout table, and the window's frame, size and place.
#pragma once

#include <vector>

#include "frame/controls.h"
#include "frame/layout.h"

class QLineEdit;
class QPushButton;
class QWidget;

namespace tovrel {

class FormWidgets final : public Controls {
 public:
  /// Builds the controls as children of the window and gives the window its caption, frame,
  /// fixed client size and place in the middle of the screen.
  FormWidgets(QWidget& window, const WindowLayout& layout);

  std::string text(std::size_t control) const override;
  void set_text(std::size_t control, const std::string& text) override;

  QLineEdit* text_box(std::size_t control) const;
  QPushButton* button(std::size_t control) const;

 private:
  std::vector<QWidget*> widgets_;
};

}  // namespace tovrel
