// Controls of the panel that show a model's value instead of keeping their
// own: a check box for a flag parameter, a radio group for a choice
// parameter, and the check list of the effector list. Each reads its model
// when asked, writes to it when the user acts, and repaints when the model
// changes, whoever changed it (a preset file, the wind, a scene command).
#pragma once

#include "params/choice_parameter.h"
#include "params/flag_parameter.h"
#include "scene/effector_list.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/list_box.h"
#include "ui/toolkit/radio_group.h"

namespace rillmark {

class FlagCheckBox : public ui::CheckBox {
 public:
  explicit FlagCheckBox(FlagParameter& flag) : flag_(flag) {
    setCaption(flag.caption());
    flag_.addChangeListener([this] { checkedChanged(); });
  }
  bool checked() const override { return flag_.checked(); }
  void setChecked(bool checked) override { flag_.setChecked(checked); }

 private:
  FlagParameter& flag_;
};

class ChoiceRadioGroup : public ui::RadioGroup {
 public:
  explicit ChoiceRadioGroup(ChoiceParameter& choice) : choice_(choice) {
    setCaption(choice.caption());
    choice_.addChangeListener([this] { itemIndexChanged(); });
  }
  const std::vector<std::string>& items() const override { return choice_.items(); }
  int itemIndex() const override { return choice_.index(); }
  void setItemIndex(int index) override { choice_.setIndex(index); }

 private:
  ChoiceParameter& choice_;
};

class EffectorCheckList : public ui::CheckListBox {
 public:
  explicit EffectorCheckList(EffectorList& list) : list_(list) {
    list_.addChangeListener([this] { itemsChanged(); });
  }
  int itemCount() const override { return list_.count(); }
  std::string itemText(int index) const override { return list_.item(index).text; }
  bool itemChecked(int index) const override { return list_.item(index).checked; }
  void setItemChecked(int index, bool checked) override { list_.setChecked(index, checked); }

 private:
  EffectorList& list_;
};

}  // namespace rillmark
