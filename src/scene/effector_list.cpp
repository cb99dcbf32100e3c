#include "scene/effector_list.h"

#include <utility>

namespace rillmark {

void EffectorList::add(std::string text) {
  items_.push_back({std::move(text), false});
  changed();
}

void EffectorList::clear() {
  if (items_.empty()) return;
  items_.clear();
  changed();
}

void EffectorList::removeFirst(const std::string& text) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->text != text) continue;
    items_.erase(it);
    changed();
    return;
  }
}

void EffectorList::setChecked(int index, bool checked) {
  if (index < 0 || index >= count()) return;
  Item& item = items_[static_cast<std::size_t>(index)];
  if (item.checked == checked) return;
  item.checked = checked;
  changed();
}

void EffectorList::addChangeListener(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

void EffectorList::changed() {
  for (const auto& listener : listeners_) listener();
}

}  // namespace rillmark
