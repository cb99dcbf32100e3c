// ListBox: a list of text lines with one current item; CheckListBox: the
// same with a check box drawn in each item. The check list's items may
// live in a model of their own (the effector list); a derived class then
// answers the item accessors and reports the model's changes with
// itemsChanged().
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class ListBox : public Control {
 public:
  ListBox() : Control(ControlKind::ListBox) { setTabStop(true); }

  // The lines themselves: callers may fill and clear them; call
  // itemsChanged() afterwards so the window shows them.
  std::vector<std::string>& items() { return items_; }
  const std::vector<std::string>& items() const { return items_; }
  void itemsChanged() { changed(Property::Items); }

  int itemIndex() const { return itemIndex_; }
  void setItemIndex(int index);

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

class CheckListBox : public Control {
 public:
  CheckListBox() : Control(ControlKind::CheckListBox) { setTabStop(true); }

  virtual int itemCount() const = 0;
  virtual std::string itemText(int index) const = 0;
  virtual bool itemChecked(int index) const = 0;
  virtual void setItemChecked(int index, bool checked) = 0;

  int itemHeight() const { return itemHeight_; }
  void setItemHeight(int height) {
    itemHeight_ = height;
    changed(Property::Items);
  }
  // The current item, or -1.
  int itemIndex() const { return itemIndex_; }
  void setItemIndex(int index);

  // The check box of an item is a square this wide at its left edge.
  static constexpr int kCheckWidth = 13;

  // The user clicked an item (at x within the item): it becomes current,
  // a click on its check box toggles the mark, and onClick runs.
  void clickItemByUser(int index, int x);
  // The keyboard moved the current item.
  void selectItemByUser(int index);

 protected:
  void itemsChanged();
  // Space toggles the current item's mark, then the key goes on to
  // onKeyPress like any other character.
  void keyPress(char& key) override;

 private:
  int itemHeight_ = 13;
  int itemIndex_ = -1;
};

}  // namespace rillmark::ui
