// Memo: a box of several lines of text. The About window shows its credits
// in a read-only one without a border.
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class Memo : public Control {
 public:
  Memo() : Control(ControlKind::Memo) {}

  const std::vector<std::string>& lines() const { return lines_; }
  void setLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    changed(Property::Text);
  }
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool border() const { return border_; }
  void setBorder(bool border) { border_ = border; }

 private:
  std::vector<std::string> lines_;
  bool readOnly_ = false;
  bool border_ = true;
};

}  // namespace rillmark::ui
