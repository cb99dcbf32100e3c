// RadioGroup: a framed group of radio buttons, one column, of which at most
// one is chosen (index -1: none). The items are fixed by a derived class
// or set once; the chosen index may live elsewhere (a panel parameter).
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class RadioGroup : public Control {
 public:
  RadioGroup() : Control(ControlKind::RadioGroup) { setTabStop(true); }

  virtual const std::vector<std::string>& items() const { return items_; }
  void setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    changed(Property::Items);
  }
  virtual int itemIndex() const { return itemIndex_; }
  virtual void setItemIndex(int index) {
    if (index == itemIndex_) return;
    itemIndex_ = index;
    changed(Property::ItemIndex);
  }
  // The user chose an item.
  void chooseByUser(int index) {
    if (!enabledInTree() || index < 0 || index >= static_cast<int>(items().size())) return;
    runHandler([&] { setItemIndex(index); });
    handleClick();
  }
  // Where item i's button sits, in the group's coordinates: evenly below
  // the caption line, as both backends lay them out.
  Rect itemRect(int index) const {
    const int count = static_cast<int>(items().size());
    constexpr int kTop = 14, kBottom = 4, kLeft = 8;
    const int each = count > 0 ? (height() - kTop - kBottom) / count : 0;
    return {kLeft, kTop + index * each, width() - kLeft - 4, each};
  }

 protected:
  void itemIndexChanged() { changed(Property::ItemIndex); }

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

}  // namespace rillmark::ui
