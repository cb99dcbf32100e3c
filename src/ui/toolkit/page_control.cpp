#include "ui/toolkit/page_control.h"

namespace rillmark::ui {

TabSheet* PageControl::addPage(const std::string& name, const std::string& caption) {
  auto* page = add<TabSheet>();
  page->setName(name);
  page->setCaption(caption);
  page->setBounds(pageRect());
  pages_.push_back(page);
  page->setVisible(pages_.size() == 1);
  if (activePage_ < 0) activePage_ = 0;
  changed(Property::Items);
  return page;
}

void PageControl::setActivePageIndex(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size()) || index == activePage_) return;
  activePage_ = index;
  // The new page shows before the old one hides, so nothing flickers
  // through to the frame below.
  pages_[static_cast<std::size_t>(index)]->setVisible(true);
  for (std::size_t i = 0; i < pages_.size(); ++i)
    if (static_cast<int>(i) != index) pages_[i]->setVisible(false);
  changed(Property::ItemIndex);
}

void PageControl::selectPageByUser(int index) {
  if (!enabledInTree() || index == activePage_) return;
  setActivePageIndex(index);
  runHandler([&] {
    if (onChange) onChange(*this);
  });
}

Rect PageControl::tabRect(int index) const {
  // A tab is its caption's width (about six pixels a character in the
  // panel's font) plus a margin each side.
  int x = 2;
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) {
    const int w = 6 * static_cast<int>(pages_[static_cast<std::size_t>(i)]->caption().size()) + 12;
    if (i == index) return {x, 2, w, kTabRowHeight - 2};
    x += w;
  }
  return {};
}

void PageControl::childrenRealigned() {
  for (TabSheet* page : pages_) page->setBounds(pageRect());
}

}  // namespace rillmark::ui
