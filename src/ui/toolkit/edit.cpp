#include "ui/toolkit/edit.h"

namespace rillmark::ui {

void Edit::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  changed(Property::Text);
  runHandler([&] {
    if (onChange) onChange(*this);
  });
}

void Edit::handleTextChanged(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  runHandler([&] {
    if (onChange) onChange(*this);
  });
}

}  // namespace rillmark::ui
