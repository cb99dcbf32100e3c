// The effector list: object names with check marks. A checked name makes
// that object an effector. The panel's check list shows this model; the run
// reads it afresh every frame.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rillmark {

class EffectorList {
 public:
  struct Item {
    std::string text;
    bool checked = false;
  };

  int count() const { return static_cast<int>(items_.size()); }
  const Item& item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  const std::vector<Item>& items() const { return items_; }

  // A new item is unchecked and goes to the end.
  void add(std::string text);
  void clear();
  // Removes the first item of exactly that text, if any.
  void removeFirst(const std::string& text);
  void setChecked(int index, bool checked);

  // Called after every change, so a view can mirror the list.
  void addChangeListener(std::function<void()> listener);

 private:
  void changed();

  std::vector<Item> items_;
  std::vector<std::function<void()>> listeners_;
};

}  // namespace rillmark
