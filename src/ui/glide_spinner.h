// TGlideSpinner: the strip that shows and edits one numeric parameter of
// the control panel: a caption at the left, an edit box for typing the
// value, and an arrow area at the right edge. A click on the arrow area's
// left or right half steps the value down or up by its increment; pressing
// there and dragging sideways changes it in steps that grow with the speed
// of the drag, while the pointer stays hidden and is put back where the
// press happened after every step; a right click restores the default.
//
// The value is the parameter's own: the spinner writes through its setter
// (or, for typed text, takes the number unclamped) and shows it again
// whenever the parameter changes, so nothing holds a second copy.
#pragma once

#include <string>

#include "params/numeric_parameter.h"
#include "platform/platform.h"
#include "ui/toolkit/custom_control.h"
#include "ui/toolkit/edit.h"

namespace rillmark {

// The edit box's text for a value: at most three decimals, no trailing
// zeros, no thousands separator ("####0.###").
std::string formatSpinnerText(float value, char decimalSeparator);

class TGlideSpinner : public ui::CustomControl {
 public:
  static constexpr int kHeight = 17;
  static constexpr int kArrowWidth = 16;
  static constexpr ui::Color kCaptionBackground{72, 72, 72};

  explicit TGlideSpinner(NumericParameter& parameter);

  NumericParameter& parameter() const { return parameter_; }
  float Value() const { return parameter_.Value(); }
  std::int32_t IntValue() const { return parameter_.IntValue(); }
  // The setter: equal values are ignored, others clamped into [Min, Max].
  void setValue(float x) { parameter_.setValue(x); }

  // Pixels of sideways travel per drag step.
  int Sens = 21;

  int EditWidth() const { return editWidth_; }
  void setEditWidth(int width);
  ui::Color EditColor() const { return editColor_; }
  void setEditColor(ui::Color color);
  ui::Edit& edit() const { return *edit_; }

  bool dragging() const { return dragging_; }

  void paint(ui::Canvas& canvas) override;

 protected:
  void boundsChanging(ui::Rect& bounds) override { bounds.height = kHeight; }
  void childrenRealigned() override { layoutEdit(); }
  void mouseDown(ui::MouseButton button, ui::Point at) override;
  void mouseMove(ui::Point at) override;
  void mouseUp(ui::MouseButton button, ui::Point at) override;

 private:
  using Color = ui::Color;

  void layoutEdit();
  void showValue();
  // Takes the edit box's text as the value, unclamped, or puts the
  // value's text back when it is not a number.
  void takeEditText();
  void editKeyPress(char& key);
  void restoreText();
  void dragStep(int dx);
  Platform* platform() const { return activePlatform(); }
  char separator() const;
  bool inArrowArea(ui::Point at) const { return at.x > width() - 15; }

  NumericParameter& parameter_;
  ui::Edit* edit_;
  int editWidth_ = 43;
  Color editColor_ = ui::kWhite;
  bool takingText_ = false;  // the value comes from the edit box's own text
  bool dragging_ = false;
  bool moved_ = false;
  int pressX_ = 0;
  ScreenPoint pressScreen_;
};

}  // namespace rillmark
