#include "ui/toolkit/form.h"

#include <vector>

#include "base/error.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/window_styles.h"

namespace rillmark::ui {

namespace {

// A control the Tab key can land on: it takes focus and can be reached.
bool takesFocus(const Control& c) { return c.tabStop() && c.enabledInTree() && c.visibleInTree(); }

void collectFocusable(Control& c, std::vector<Control*>& out) {
  if (takesFocus(c)) out.push_back(&c);
  for (const auto& child : c.children()) collectFocusable(*child, out);
}

Control* findFocused(Control& c) {
  if (c.kind() != ControlKind::Form && c.focused()) return &c;
  for (const auto& child : c.children())
    if (Control* f = findFocused(*child)) return f;
  return nullptr;
}

}  // namespace

Form::Form(void* parentWindow)
    : Control(ControlKind::Form), life_(std::make_shared<int>(0)), parentWindow_(parentWindow) {
  Control::setVisible(false);
  setBounds({0, 0, 300, 200});
}

// The windows go first, while the form is still whole: destroying a native
// window sends it messages that its peer may forward here.
Form::~Form() {
  life_.reset();
  destroyHandle();
}

void Form::setPosition(Point position) {
  const Rect b = bounds();
  setBounds({position.x, position.y, b.width, b.height});
}

void Form::setClientSize(Size size) {
  const Rect b = bounds();
  setBounds({b.x, b.y, size.width, size.height});
}

Size Form::outerSize() const { return formPeer() ? formPeer()->outerSize() : clientSize(); }

void Form::setVisible(bool visible) {
  if (visible) createHandle();
  const bool wasVisible = this->visible();
  if (visible && !wasVisible && centreOnScreen) {
    if (Backend* b = backend()) {
      const Size screen = b->screenSize();
      const Size outer = outerSize();
      setPosition({(screen.width - outer.width) / 2, (screen.height - outer.height) / 2});
    }
  }
  Control::setVisible(visible);
  if (visible && !wasVisible && onShow) onShow(*this);
}

void Form::show() {
  setVisible(true);
  bringToFront();
}

void Form::bringToFront() {
  if (formPeer()) formPeer()->bringToFront();
}

void Form::closeRequested() { close(); }

void Form::close() {
  CloseAction action = CloseAction::Hide;
  if (onClose) onClose(*this, action);
  switch (action) {
    case CloseAction::None:
      break;
    case CloseAction::Hide:
      hide();
      break;
    case CloseAction::Free:
      release();  // may delete this: nothing may follow
      break;
  }
}

void Form::release() {
  FormPeer* peer = formPeer();
  if (peer && peer->windowAlive()) {
    // Hidden at once, deleted once the peer's current message is done.
    Control::setVisible(false);
    if (peer->postRelease()) return;
  }
  delete this;
}

void* Form::handle() {
  createHandle();
  return nativeHandle();
}

std::unique_ptr<ControlPeer> Form::makePeer() {
  Backend* b = backend();
  if (b == nullptr) throw Error("No window system is available to show \"" + caption() + "\"");
  CreateParams params;
  createParams(params);
  return b->createFormPeer(*this, params);
}

void Form::createParams(CreateParams& params) const {
  // A form given a parent window starts out as its child; form classes
  // that want an owned top-level window clear WS_CHILD again.
  params.style = kWsClipSiblings | kWsClipChildren;
  if (parentWindow_ != nullptr) params.style |= kWsChild;
  params.exStyle = 0;
  switch (borderStyle_) {
    case BorderStyle::None:
      params.style |= kWsPopup;
      break;
    case BorderStyle::Single:
      params.style |= kWsCaption | kWsSysMenu | kWsMinimizeBox;
      params.exStyle |= kWsExWindowEdge;
      break;
    case BorderStyle::Sizeable:
      params.style |= kWsCaption | kWsThickFrame | kWsSysMenu | kWsMinimizeBox | kWsMaximizeBox;
      params.exStyle |= kWsExWindowEdge;
      break;
    case BorderStyle::Dialog:
      params.style |= kWsPopup | kWsCaption | kWsSysMenu;
      params.exStyle |= kWsExDlgModalFrame | kWsExWindowEdge;
      break;
    case BorderStyle::ToolWindow:
      params.style |= kWsCaption | kWsSysMenu;
      params.exStyle |= kWsExToolWindow | kWsExWindowEdge;
      break;
    case BorderStyle::SizeToolWin:
      params.style |= kWsCaption | kWsThickFrame | kWsSysMenu;
      params.exStyle |= kWsExToolWindow | kWsExWindowEdge;
      break;
  }
  params.parentWindow = parentWindow_;
  params.caption = caption();
  params.position = position();
  params.clientSize = clientSize();
}

bool Form::dialogKey(Control* from, int key, bool shift) {
  switch (key) {
    case kKeyTab:
      focusNext(from, !shift);
      return true;
    case kKeyEscape:
      if (cancelButton == nullptr || !cancelButton->enabledInTree()) return false;
      cancelButton->click();
      return true;
    default:
      return false;
  }
}

void Form::focusNext(Control* from, bool forward) {
  std::vector<Control*> order;
  collectFocusable(*this, order);
  if (order.empty()) return;
  std::size_t at = order.size();
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == from) at = i;
  std::size_t next;
  if (at == order.size()) {
    next = forward ? 0 : order.size() - 1;
  } else {
    next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
  }
  Control* target = order[next];
  target->setFocus();
  // An edit box reached by the keyboard has its text selected, so typing
  // replaces it.
  if (target->kind() == ControlKind::Edit) static_cast<Edit*>(target)->selectAll();
}

Control* Form::focusedControl() { return findFocused(*this); }

}  // namespace rillmark::ui
