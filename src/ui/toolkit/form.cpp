#include "ui/toolkit/form.h"

#include "base/error.h"
#include "ui/toolkit/window_styles.h"

namespace rillmark::ui {

namespace {

PeerFactory*& installedFactory() {
  static PeerFactory* factory = nullptr;
  return factory;
}

}  // namespace

void setPeerFactory(PeerFactory* factory) { installedFactory() = factory; }
PeerFactory* peerFactory() { return installedFactory(); }

Form::Form(void* parentWindow) : life_(std::make_shared<int>(0)), parentWindow_(parentWindow) {}

// The peer goes first, while the form is still whole: destroying a native
// window sends it messages that its peer may forward here.
Form::~Form() {
  life_.reset();
  peer_.reset();
}

void Form::setCaption(const std::string& caption) {
  caption_ = caption;
  if (peer_) peer_->setCaption(caption);
}

void Form::setPosition(Point position) {
  position_ = position;
  if (peer_) peer_->setPosition(position);
}

void Form::setClientSize(Size size) {
  clientSize_ = size;
  if (peer_) peer_->setClientSize(size);
}

Size Form::outerSize() const { return peer_ ? peer_->outerSize() : clientSize_; }

void Form::setVisible(bool visible) {
  if (visible) createHandle();
  const bool wasVisible = visible_;
  visible_ = visible;
  if (peer_) peer_->setVisible(visible);
  if (visible && !wasVisible && onShow) onShow(*this);
}

void Form::show() {
  setVisible(true);
  bringToFront();
}

void Form::bringToFront() {
  if (peer_) peer_->bringToFront();
}

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
  if (peer_ && peer_->windowAlive()) {
    // Hidden at once, deleted once the peer's current message is done.
    visible_ = false;
    peer_->setVisible(false);
    if (peer_->postRelease()) return;
  }
  delete this;
}

void* Form::handle() {
  createHandle();
  return peer_->handle();
}

void Form::createHandle() {
  if (peer_) return;
  PeerFactory* factory = peerFactory();
  if (factory == nullptr) throw Error("No window system is available to show \"" + caption_ + "\"");
  CreateParams params;
  createParams(params);
  peer_ = factory->createFormPeer(*this, params);
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
  params.caption = caption_;
  params.position = position_;
  params.clientSize = clientSize_;
}

void Form::mouseDown(MouseButton button, int x, int y) {
  if (onMouseDown) onMouseDown(*this, button, x, y);
}

void Form::mouseUp(MouseButton button, int x, int y) {
  if (onMouseUp) onMouseUp(*this, button, x, y);
}

void Form::mouseMove(int x, int y) {
  if (onMouseMove) onMouseMove(*this, x, y);
}

}  // namespace rillmark::ui
