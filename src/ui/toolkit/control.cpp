#include "ui/toolkit/control.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "base/error.h"
#include "platform/platform.h"
#include "ui/toolkit/backend.h"
#include "ui/toolkit/form.h"

namespace rillmark::ui {

namespace {

Backend*& installedBackend() {
  static Backend* backend = nullptr;
  return backend;
}

void reportHandlerError(const std::string& text) noexcept {
  try {
    if (Platform* platform = activePlatform()) {
      platform->showMessage(text);
      return;
    }
  } catch (...) {
  }
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

void setBackend(Backend* backend) { installedBackend() = backend; }
Backend* backend() { return installedBackend(); }

namespace {
int handlerDepth = 0;
}  // namespace

bool handlerRunning() { return handlerDepth > 0; }

void runHandler(const std::function<void()>& handler) noexcept {
  struct Depth {
    Depth() { ++handlerDepth; }
    ~Depth() { --handlerDepth; }
  } depth;
  try {
    if (handler) handler();
  } catch (const std::exception& e) {
    reportHandlerError(e.what());
  } catch (...) {
    reportHandlerError("An unknown error occurred");
  }
}

Control::Control(ControlKind kind) : kind_(kind) {}

Control::~Control() {
  destroyHandle();
  // Children go before this control's state: none of them may reach back
  // into a half-destroyed parent.
  while (!children_.empty()) children_.pop_back();
}

Form* Control::form() {
  Control* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return c->kind_ == ControlKind::Form ? static_cast<Form*>(c) : nullptr;
}

const Form* Control::form() const { return const_cast<Control*>(this)->form(); }

void Control::adopt(std::unique_ptr<Control> child) {
  child->parent_ = this;
  Control* raw = child.get();
  children_.push_back(std::move(child));
  if (raw->align_ != Align::None) realign();
  if (handleAllocated()) raw->createHandle();
}

void Control::setBounds(Rect bounds) {
  boundsChanging(bounds);
  if (bounds == bounds_) return;
  const bool resized = bounds.width != bounds_.width || bounds.height != bounds_.height;
  bounds_ = bounds;
  changed(Property::Bounds);
  if (resized) realign();
}

Point Control::originInForm() const {
  Point origin;
  for (const Control* c = this; c != nullptr && c->kind_ != ControlKind::Form; c = c->parent_) {
    const Rect client = c->clientRect();
    origin.x += c->bounds_.x + client.x;
    origin.y += c->bounds_.y + client.y;
  }
  return origin;
}

void Control::setAlign(Align align) {
  if (align == align_) return;
  align_ = align;
  if (parent_ != nullptr) parent_->realign();
}

// Top and bottom first, each stacked from its edge in the order of its
// distance to that edge; then left and right in the height that is left;
// then the client fill.
void Control::realign() {
  if (alignLocks_ > 0) return;
  Rect area = clientRect();
  auto aligned = [this](Align a) {
    std::vector<Control*> list;
    for (const auto& c : children_)
      if (c->align_ == a && c->visible_) list.push_back(c.get());
    return list;
  };
  auto tops = aligned(Align::Top);
  std::stable_sort(tops.begin(), tops.end(), [](Control* a, Control* b) { return a->bounds_.y < b->bounds_.y; });
  for (Control* c : tops) {
    c->setBounds({area.x, area.y, area.width, c->bounds_.height});
    area.y += c->bounds_.height;
    area.height -= c->bounds_.height;
  }
  auto bottoms = aligned(Align::Bottom);
  std::stable_sort(bottoms.begin(), bottoms.end(),
                   [](Control* a, Control* b) { return a->bounds_.bottom() > b->bounds_.bottom(); });
  for (Control* c : bottoms) {
    area.height -= c->bounds_.height;
    c->setBounds({area.x, area.bottom(), area.width, c->bounds_.height});
  }
  auto lefts = aligned(Align::Left);
  std::stable_sort(lefts.begin(), lefts.end(), [](Control* a, Control* b) { return a->bounds_.x < b->bounds_.x; });
  for (Control* c : lefts) {
    c->setBounds({area.x, area.y, c->bounds_.width, std::max(0, area.height)});
    area.x += c->bounds_.width;
    area.width -= c->bounds_.width;
  }
  auto rights = aligned(Align::Right);
  std::stable_sort(rights.begin(), rights.end(),
                   [](Control* a, Control* b) { return a->bounds_.right() > b->bounds_.right(); });
  for (Control* c : rights) {
    area.width -= c->bounds_.width;
    c->setBounds({area.right(), area.y, c->bounds_.width, std::max(0, area.height)});
  }
  for (Control* c : aligned(Align::Client)) c->setBounds({area.x, area.y, std::max(0, area.width), std::max(0, area.height)});
  childrenRealigned();
}

void Control::setCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  changed(Property::Caption);
}

void Control::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  changed(Property::Enabled);
}

bool Control::enabledInTree() const {
  for (const Control* c = this; c != nullptr; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void Control::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  changed(Property::Visible);
  if (parent_ != nullptr && align_ != Align::None) parent_->realign();
}

bool Control::visibleInTree() const {
  for (const Control* c = this; c != nullptr; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

const Font& Control::font() const {
  static const Font kDefault;
  for (const Control* c = this; c != nullptr; c = c->parent_)
    if (c->font_) return *c->font_;
  return kDefault;
}

// Children that follow their parent's font are told too.
void Control::setFont(const Font& font) {
  font_ = std::make_unique<Font>(font);
  std::function<void(Control&)> tell = [&tell](Control& c) {
    c.changed(Property::Font);
    for (const auto& child : c.children_)
      if (!child->font_) tell(*child);
  };
  tell(*this);
}

void Control::setFocus() {
  if (peer_) peer_->setFocus();
}

bool Control::focused() const { return peer_ && peer_->focused(); }

void Control::repaint(bool now) {
  if (peer_) peer_->repaint(now);
}

std::unique_ptr<ControlPeer> Control::makePeer() {
  Backend* b = backend();
  if (b == nullptr) throw Error("No window system is available for \"" + name_ + "\"");
  return b->createControlPeer(*this);
}

void Control::createHandle() {
  if (!peer_) {
    if (parent_ != nullptr && !parent_->handleAllocated()) return;
    peer_ = makePeer();
  }
  for (const auto& child : children_) child->createHandle();
}

void Control::detachPeers() {
  for (const auto& child : children_) child->detachPeers();
  if (peer_) peer_->detach();
}

void Control::destroyHandle() {
  if (!peer_) {
    for (const auto& child : children_) child->destroyHandle();
    return;
  }
  detachPeers();
  std::function<void(Control&)> destroy = [&destroy](Control& c) {
    for (const auto& child : c.children_) destroy(*child);
    c.peer_.reset();
  };
  destroy(*this);
}

void Control::changed(Property property) {
  if (peer_) peer_->sync(property);
}

void Control::handleMouseDown(MouseButton button, Point at) {
  runHandler([&] { mouseDown(button, at); });
}

void Control::handleMouseMove(Point at) {
  runHandler([&] { mouseMove(at); });
}

void Control::handleMouseUp(MouseButton button, Point at) {
  runHandler([&] { mouseUp(button, at); });
}

void Control::handleClick() {
  runHandler([&] {
    if (onClick) onClick(*this);
  });
}

void Control::handleDblClick() {
  runHandler([&] {
    if (onDblClick) onDblClick(*this);
  });
}

bool Control::handleKeyDown(int key, bool shift) {
  Form* f = form();
  if (f == nullptr) return false;
  bool consumed = false;
  runHandler([&] { consumed = f->dialogKey(this, key, shift); });
  return consumed;
}

void Control::handleKeyPress(char& key) {
  runHandler([&] { keyPress(key); });
}

void Control::handleFocusLost() {
  runHandler([&] { focusLost(); });
}

void Control::click() {
  if (!enabledInTree()) return;
  handleClick();
}

void Control::mouseDown(MouseButton button, Point at) {
  if (onMouseDown) onMouseDown(*this, button, at.x, at.y);
}

void Control::mouseMove(Point at) {
  if (onMouseMove) onMouseMove(*this, at.x, at.y);
}

void Control::mouseUp(MouseButton button, Point at) {
  if (onMouseUp) onMouseUp(*this, button, at.x, at.y);
}

void Control::keyPress(char& key) {
  if (onKeyPress) onKeyPress(*this, key);
}

void Control::focusLost() {
  if (onExit) onExit(*this);
}

}  // namespace rillmark::ui
