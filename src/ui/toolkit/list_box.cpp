#include "ui/toolkit/list_box.h"

namespace rillmark::ui {

void ListBox::setItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  changed(Property::ItemIndex);
}

void CheckListBox::setItemIndex(int index) {
  if (index < -1 || index >= itemCount()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  changed(Property::ItemIndex);
}

void CheckListBox::itemsChanged() {
  if (itemIndex_ >= itemCount()) itemIndex_ = itemCount() - 1;
  changed(Property::Items);
}

void CheckListBox::clickItemByUser(int index, int x) {
  if (!enabledInTree() || index < 0 || index >= itemCount()) return;
  setItemIndex(index);
  if (x >= 0 && x < kCheckWidth + 2) runHandler([&] { setItemChecked(index, !itemChecked(index)); });
  handleClick();
}

void CheckListBox::selectItemByUser(int index) {
  if (!enabledInTree() || index < 0 || index >= itemCount()) return;
  setItemIndex(index);
  handleClick();
}

void CheckListBox::keyPress(char& key) {
  if (key == ' ' && itemIndex_ >= 0 && itemIndex_ < itemCount()) setItemChecked(itemIndex_, !itemChecked(itemIndex_));
  Control::keyPress(key);
}

}  // namespace rillmark::ui
