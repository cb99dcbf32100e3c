// A radio-group parameter: one of a fixed list of items, or none (-1).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rillmark {

class ChoiceParameter {
 public:
  ChoiceParameter(std::string caption, std::vector<std::string> items, int index)
      : caption_(std::move(caption)), items_(std::move(items)), index_(index) {}

  const std::string& caption() const { return caption_; }
  const std::vector<std::string>& items() const { return items_; }
  int itemCount() const { return static_cast<int>(items_.size()); }
  int index() const { return index_; }

  // The index is clamped into [-1, item count - 1]; the one already chosen
  // changes nothing.
  void setIndex(int index) {
    if (index < -1) index = -1;
    if (index > itemCount() - 1) index = itemCount() - 1;
    if (index == index_) return;
    index_ = index;
    for (const auto& listener : listeners_) listener();
  }

  void addChangeListener(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

 private:
  std::string caption_;
  std::vector<std::string> items_;
  int index_;
  std::vector<std::function<void()>> listeners_;
};

}  // namespace rillmark
