#include "ui/headless/headless_user.h"

#include "ui/headless/headless_backend.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_box.h"
#include "ui/toolkit/page_control.h"
#include "ui/toolkit/radio_group.h"

namespace rillmark::ui::headless {

namespace {

// The 3-D border of a list box: items start this far inside it.
constexpr int kListBorder = 2;

Point minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }

// Controls a native click gives the keyboard focus to.
bool focusOnClick(const Control& c) {
  switch (c.kind()) {
    case ControlKind::Button:
      return !static_cast<const Button&>(c).flat();
    case ControlKind::CheckBox:
    case ControlKind::RadioGroup:
    case ControlKind::ListBox:
    case ControlKind::CheckListBox:
    case ControlKind::Edit:
    case ControlKind::PageControl:
      return true;
    default:
      return false;
  }
}

Control* focusedControl(Form* active) {
  ControlPeer* focus = windows().focus;
  if (auto* peer = dynamic_cast<HeadlessControlPeer*>(focus)) return &peer->control();
  if (auto* peer = dynamic_cast<HeadlessFormPeer*>(focus)) return &peer->form();
  return active;
}

// What the native control does once a left click has landed on it.
void nativeClick(Control& c, Point at) {
  switch (c.kind()) {
    case ControlKind::Button:
    case ControlKind::Label:
      c.click();
      break;
    case ControlKind::CheckBox:
      static_cast<CheckBox&>(c).toggleByUser();
      break;
    case ControlKind::RadioGroup: {
      auto& group = static_cast<RadioGroup&>(c);
      for (int i = 0; i < static_cast<int>(group.items().size()); ++i)
        if (group.itemRect(i).contains(at)) group.chooseByUser(i);
      break;
    }
    case ControlKind::CheckListBox: {
      auto& list = static_cast<CheckListBox&>(c);
      const int index = (at.y - kListBorder) / list.itemHeight();
      if (at.y >= kListBorder && index < list.itemCount()) list.clickItemByUser(index, at.x - kListBorder);
      break;
    }
    case ControlKind::ListBox: {
      auto& list = static_cast<ListBox&>(c);
      constexpr int kItemHeight = 13;
      const int index = (at.y - kListBorder) / kItemHeight;
      if (at.y >= kListBorder && index < static_cast<int>(list.items().size())) {
        list.setItemIndex(index);
        list.handleClick();
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace

Control& HeadlessUser::controlAt(Form& form, Point clientPoint) {
  Control* c = &form;
  Point local = clientPoint;
  for (bool deeper = true; deeper;) {
    deeper = false;
    const auto& children = c->children();
    // Later children lie on top of earlier ones.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      Control& child = **it;
      const Rect client = c->clientRect();
      const Point inChild = minus(minus(local, {client.x, client.y}), {child.bounds().x, child.bounds().y});
      if (!child.visible() || !Rect{0, 0, child.width(), child.height()}.contains(inChild)) continue;
      // A disabled window passes the mouse on to its parent.
      if (!child.enabled()) return *c;
      c = &child;
      local = inChild;
      deeper = true;
      break;
    }
  }
  return *c;
}

Point HeadlessUser::centreOf(const Control& control) {
  const Point origin = control.originInForm();
  return {origin.x + control.width() / 2, origin.y + control.height() / 2};
}

Point HeadlessUser::toScreen(Form& form, Point clientPoint) const {
  auto* peer = windows().find(form.handle());
  const Point origin = peer ? peer->clientOriginOnScreen() : form.position();
  return {origin.x + clientPoint.x, origin.y + clientPoint.y};
}

Control* HeadlessUser::target(Point& at) {
  forgetDeadForm();
  if (form_ == nullptr) return nullptr;
  auto* peer = windows().find(form_->handle());
  const Point origin = peer ? peer->clientOriginOnScreen() : form_->position();
  const Point client{platform_.cursor.x - origin.x, platform_.cursor.y - origin.y};
  Control* c = captured_ != nullptr ? captured_ : &controlAt(*form_, client);
  at = minus(client, c->originInForm());
  return c;
}

void HeadlessUser::forgetDeadForm() {
  if (form_ == nullptr || !formAlive_.expired()) return;
  form_ = nullptr;
  captured_ = nullptr;
  pressed_ = nullptr;
}

void HeadlessUser::moveTo(Form& form, Point clientPoint) {
  const UserAction action;
  form_ = &form;
  formAlive_ = form.watch();
  const Point screen = toScreen(form, clientPoint);
  platform_.cursor = {screen.x, screen.y};
  Point at;
  if (Control* c = target(at)) c->handleMouseMove(at);
}

void HeadlessUser::moveBy(int dx, int dy) {
  const UserAction action;
  if (form_ == nullptr) return;
  platform_.cursor = {platform_.cursor.x + dx, platform_.cursor.y + dy};
  Point at;
  if (Control* c = target(at)) c->handleMouseMove(at);
}

void HeadlessUser::press(Form& form, Point clientPoint, MouseButton button) {
  const UserAction action;
  moveTo(form, clientPoint);
  Point at;
  Control* c = target(at);
  if (c == nullptr) return;
  if (button == MouseButton::Left) {
    if (focusOnClick(*c)) c->setFocus();
    // A tab control chooses its tab as the button goes down.
    if (c->kind() == ControlKind::PageControl) {
      auto& pages = static_cast<PageControl&>(*c);
      for (int i = 0; i < static_cast<int>(pages.pages().size()); ++i)
        if (pages.tabRect(i).contains(at)) pages.selectPageByUser(i);
    }
    pressed_ = c;
  }
  c->handleMouseDown(button, at);
  if (c->capturesMouse()) captured_ = c;
}

void HeadlessUser::release(MouseButton button) {
  const UserAction action;
  Point at;
  Control* c = target(at);
  if (c == nullptr) return;
  Control* pressed = pressed_;
  captured_ = nullptr;
  if (button == MouseButton::Left) pressed_ = nullptr;
  c->handleMouseUp(button, at);
  if (button == MouseButton::Left && c == pressed) nativeClick(*c, at);
}

void HeadlessUser::click(Form& form, Point clientPoint, MouseButton button) {
  const UserAction action;
  press(form, clientPoint, button);
  release(button);
}

void HeadlessUser::doubleClick(Form& form, Point clientPoint) {
  const UserAction action;
  click(form, clientPoint);
  Point at;
  if (Control* c = target(at)) c->handleDblClick();
}

void HeadlessUser::pressKey(int key, bool shift) {
  const UserAction action;
  forgetDeadForm();
  Control* c = focusedControl(form_);
  if (c == nullptr) return;
  if (c->handleKeyDown(key, shift)) return;
  switch (key) {
    case kKeyReturn:
      deliverChar(*c, '\r');
      break;
    case kKeyBack:
      deliverChar(*c, '\b');
      break;
    case kKeySpace:
      deliverChar(*c, ' ');
      if (c->kind() == ControlKind::Button) c->click();
      if (c->kind() == ControlKind::CheckBox) static_cast<CheckBox&>(*c).toggleByUser();
      break;
    case kKeyUp:
    case kKeyDown:
      if (c->kind() == ControlKind::CheckListBox) {
        auto& list = static_cast<CheckListBox&>(*c);
        const int next = list.itemIndex() + (key == kKeyDown ? 1 : -1);
        if (next >= 0 && next < list.itemCount()) list.selectItemByUser(next);
      }
      break;
    default:
      break;
  }
}

void HeadlessUser::type(const std::string& text) {
  const UserAction action;
  for (char ch : text) {
    if (ch == '\t') {
      pressKey(kKeyTab);
      continue;
    }
    if (ch == ' ') {
      pressKey(kKeySpace);
      continue;
    }
    forgetDeadForm();
    if (Control* c = focusedControl(form_)) deliverChar(*c, ch);
  }
}

void HeadlessUser::selectAll() {
  const UserAction action;
  forgetDeadForm();
  Control* c = focusedControl(form_);
  if (c != nullptr && c->kind() == ControlKind::Edit && c->peer())
    static_cast<HeadlessControlPeer*>(c->peer())->setAllSelected(true);
}

void HeadlessUser::deliverChar(Control& control, char c) {
  char key = c;
  control.handleKeyPress(key);
  if (key == 0 || control.kind() != ControlKind::Edit || !control.peer()) return;
  auto& edit = static_cast<Edit&>(control);
  auto* peer = static_cast<HeadlessControlPeer*>(edit.peer());
  std::string text = peer->allSelected() ? std::string() : edit.text();
  if (key == '\b') {
    if (!text.empty()) text.pop_back();
  } else if (static_cast<unsigned char>(key) >= ' ') {
    text += key;
  } else {
    return;  // a single-line edit box ignores other control characters
  }
  peer->setAllSelected(false);
  edit.handleTextChanged(text);
}

}  // namespace rillmark::ui::headless
