// A check-box parameter: on or off, read at the moment of use.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rillmark {

class FlagParameter {
 public:
  FlagParameter(std::string caption, bool checked) : caption_(std::move(caption)), checked_(checked) {}

  const std::string& caption() const { return caption_; }
  bool checked() const { return checked_; }

  void setChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    for (const auto& listener : listeners_) listener();
  }

  void addChangeListener(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

 private:
  std::string caption_;
  bool checked_;
  std::vector<std::function<void()>> listeners_;
};

}  // namespace rillmark
