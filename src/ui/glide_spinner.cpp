#include "ui/glide_spinner.h"

#include <cmath>
#include <cstdio>

#include "params/preset_format.h"
#include "ui/pictures.h"
#include "ui/toolkit/canvas.h"

namespace rillmark {

std::string formatSpinnerText(float value, char decimalSeparator) {
  if (!std::isfinite(value)) return formatPresetFloat(value, decimalSeparator);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(value));
  std::string text = buffer;
  const auto point = text.find('.');
  if (point != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text.size() > point) text[point] = decimalSeparator;
  }
  // A value that rounds to zero shows as 0, whatever its sign.
  if (text == "-0") text = "0";
  return text;
}

TGlideSpinner::TGlideSpinner(NumericParameter& parameter) : parameter_(parameter) {
  setCaption("Number");
  edit_ = add<ui::Edit>();
  edit_->setName("edit");
  edit_->setColor(editColor_);
  edit_->onChange = [this](ui::Control&) { takeEditText(); };
  edit_->onExit = [this](ui::Control&) { takeEditText(); };
  edit_->onKeyPress = [this](ui::Control&, char& key) { editKeyPress(key); };
  parameter_.addChangeListener([this] { showValue(); });
  setBounds({0, 0, 102, kHeight});
  showValue();
}

void TGlideSpinner::setEditWidth(int width) {
  if (width == editWidth_) return;
  editWidth_ = width;
  layoutEdit();
  repaint(false);
}

void TGlideSpinner::setEditColor(ui::Color color) {
  if (color == editColor_) return;
  editColor_ = color;
  edit_->setColor(color);
}

// The edit box is 16 pixels high, its right edge 17 pixels from ours; the
// caption has what is left of it, the arrows the last 16 pixels.
void TGlideSpinner::layoutEdit() {
  edit_->setBounds({width() - kArrowWidth - 1 - editWidth_, 0, editWidth_, kHeight - 1});
}

char TGlideSpinner::separator() const {
  Platform* p = platform();
  return p != nullptr ? p->decimalSeparator() : '.';
}

void TGlideSpinner::showValue() {
  if (takingText_) return;
  edit_->setText(formatSpinnerText(parameter_.Value(), separator()));
}

void TGlideSpinner::restoreText() { edit_->setText(formatPresetFloat(parameter_.Value(), separator())); }

void TGlideSpinner::takeEditText() {
  const auto typed = parsePresetFloat(edit_->text(), separator());
  // A number beyond the float range is no number the user can mean.
  if (typed && std::isfinite(*typed)) {
    // The text stays as typed: rewritten here, "0." would become "0"
    // under the user's fingers and 0.1234 would be taken as 0.123.
    takingText_ = true;
    parameter_.setTypedValue(*typed);
    takingText_ = false;
  } else {
    restoreText();
  }
}

void TGlideSpinner::editKeyPress(char& key) {
  if (key != '\r') return;
  key = 0;
  const auto typed = parsePresetFloat(edit_->text(), separator());
  if (typed && std::isfinite(*typed)) {
    setValue(*typed);
  } else {
    restoreText();
  }
  edit_->selectAll();
}

void TGlideSpinner::mouseDown(ui::MouseButton button, ui::Point at) {
  CustomControl::mouseDown(button, at);
  moved_ = false;
  if (button == ui::MouseButton::Right) {
    setValue(parameter_.DefaultVal());
    return;
  }
  if (button != ui::MouseButton::Left || !inArrowArea(at)) return;
  dragging_ = true;
  pressX_ = at.x;
  if (Platform* p = platform()) {
    pressScreen_ = p->cursorPos();
    p->showCursor(false);
  }
  repaint(true);
}

void TGlideSpinner::mouseMove(ui::Point at) {
  CustomControl::mouseMove(at);
  if (!dragging_) return;
  moved_ = true;
  const int dx = at.x - pressX_;
  if (dx > Sens || dx < -Sens) dragStep(dx);
}

// n pixel-lengths of Sens travelled since the pointer was last put back
// give a step of n^2.7 increments: 1, 6, 19, 42, 77 for n = 1 to 5.
void TGlideSpinner::dragStep(int dx) {
  if (Platform* p = platform()) p->setCursorPos(pressScreen_);
  const std::int32_t n = roundHalfEven(static_cast<float>(std::abs(dx)) / static_cast<float>(Sens));
  const std::int32_t step = roundHalfEven(static_cast<float>(std::pow(static_cast<double>(n), 2.7)));
  const float change = static_cast<float>(step) * parameter_.Increment();
  setValue(dx > 0 ? parameter_.Value() + change : parameter_.Value() - change);
}

void TGlideSpinner::mouseUp(ui::MouseButton button, ui::Point at) {
  CustomControl::mouseUp(button, at);
  if (button != ui::MouseButton::Left || !dragging_) return;
  if (!moved_) {
    const float increment = parameter_.Increment();
    setValue(at.x < width() - 7 ? parameter_.Value() - increment : parameter_.Value() + increment);
  }
  dragging_ = false;
  if (Platform* p = platform()) {
    p->setCursorPos(pressScreen_);
    p->showCursor(true);
  }
  repaint(true);
}

void TGlideSpinner::paint(ui::Canvas& canvas) {
  const int editLeft = width() - kArrowWidth - 1 - editWidth_;
  canvas.fillRect({0, 0, width(), height()}, kCaptionBackground);
  canvas.drawBevel({0, 0, editLeft, height()}, ui::Bevel::Raised);
  ui::Font captionFont = font();
  captionFont.color = ui::kWhite;
  canvas.drawText({2, 0, editLeft - 2, height()}, caption(), captionFont, ui::TextAlign::Left);
  canvas.drawPicture({width() - kArrowWidth, 0}, dragging_ ? pictures::SpinArrowsPressed : pictures::SpinArrows);
}

}  // namespace rillmark
