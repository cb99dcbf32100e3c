// PageControl: a tab control whose pages (TabSheet children) show one at a
// time below the tab row. A disabled page can be chosen, but its controls
// take no input.
#pragma once

#include <vector>

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class TabSheet : public Control {
 public:
  TabSheet() : Control(ControlKind::TabSheet) {}
};

class PageControl : public Control {
 public:
  PageControl() : Control(ControlKind::PageControl) { setTabStop(true); }

  // The tab row's height; pages fill the frame below it.
  static constexpr int kTabRowHeight = 20;

  TabSheet* addPage(const std::string& name, const std::string& caption);
  const std::vector<TabSheet*>& pages() const { return pages_; }
  int activePageIndex() const { return activePage_; }
  void setActivePageIndex(int index);

  bool hotTrack() const { return hotTrack_; }
  void setHotTrack(bool hotTrack) {
    hotTrack_ = hotTrack;
    changed(Property::Appearance);
  }

  // The user chose a tab: the page shows and onChange runs.
  void selectPageByUser(int index);
  // Where a page sits: inside the frame, below the tab row.
  Rect pageRect() const { return {4, kTabRowHeight + 4, width() - 8, height() - kTabRowHeight - 8}; }
  // Tab i's rectangle in the tab row, as the headless backend lays it out
  // (the Win32 tab control measures its own).
  Rect tabRect(int index) const;

 protected:
  void childrenRealigned() override;

 private:
  std::vector<TabSheet*> pages_;
  int activePage_ = -1;
  bool hotTrack_ = false;
};

}  // namespace rillmark::ui
