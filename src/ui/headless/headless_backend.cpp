#include "ui/headless/headless_backend.h"

#include <algorithm>

#include "ui/toolkit/window_styles.h"

namespace rillmark::ui::headless {

namespace {

// Records what a custom control paints.
class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(std::vector<PaintOp>& ops) : ops_(ops) {}
  void fillRect(Rect area, Color color) override { ops_.push_back({PaintOp::Fill, area, {}, nullptr, color}); }
  void drawText(Rect area, const std::string& text, const Font&, TextAlign) override {
    ops_.push_back({PaintOp::Text, area, text, nullptr, {}});
  }
  void drawPicture(Point at, const Picture& picture) override {
    ops_.push_back({PaintOp::Picture, {at.x, at.y, picture.size.width, picture.size.height}, {}, picture.resourceName, {}});
  }
  void drawBevel(Rect area, Bevel) override { ops_.push_back({PaintOp::Bevel, area, {}, nullptr, {}}); }

 private:
  std::vector<PaintOp>& ops_;
};

// Moves the focus as the window system does: the control losing it hears
// of it after the new one has it.
void moveFocus(ControlPeer* to) {
  HeadlessWindows& w = windows();
  ControlPeer* from = w.focus;
  if (from == to) return;
  w.focus = to;
  if (auto* control = dynamic_cast<HeadlessControlPeer*>(from)) control->control().handleFocusLost();
}

class HeadlessBackend : public Backend {
 public:
  std::unique_ptr<FormPeer> createFormPeer(Form& form, const CreateParams& params) override {
    HeadlessWindows& w = windows();
    return std::make_unique<HeadlessFormPeer>(form, params, w.nextId++);
  }
  std::unique_ptr<ControlPeer> createControlPeer(Control& control) override {
    return std::make_unique<HeadlessControlPeer>(control);
  }
  void processMessages() override {
    HeadlessWindows& w = windows();
    ++w.processMessagesCount;
    if (w.onProcessMessages) w.onProcessMessages();
  }
  Size screenSize() override { return windows().screen; }
};

}  // namespace

HeadlessControlPeer::~HeadlessControlPeer() {
  if (windows().focus == this) windows().focus = nullptr;
}

void HeadlessControlPeer::sync(Property property) {
  if (detached_) return;
  // A control that loses its place in the tree while focused loses focus.
  if ((property == Property::Enabled || property == Property::Visible) && focused() &&
      !(control_.enabledInTree() && control_.visibleInTree()))
    windows().focus = nullptr;
  if (property == Property::Text) allSelected_ = false;
  if (control_.kind() == ControlKind::Custom) repaint(true);
}

void HeadlessControlPeer::repaint(bool) {
  if (detached_ || control_.kind() != ControlKind::Custom) return;
  lastPaint_.clear();
  RecordingCanvas canvas(lastPaint_);
  control_.paint(canvas);
  ++paintCount_;
}

void HeadlessControlPeer::setFocus() {
  if (detached_ || !control_.enabledInTree() || !control_.visibleInTree()) return;
  moveFocus(this);
}

bool HeadlessControlPeer::focused() const { return windows().focus == this; }

HeadlessFormPeer::HeadlessFormPeer(Form& form, const CreateParams& params, int id)
    : form_(form),
      id_(id),
      params_(params),
      caption_(params.caption),
      position_(params.position),
      clientSize_(params.clientSize),
      visible_((params.style & kWsVisible) != 0) {
  windows().live.push_back(this);
  windows().created.push_back(id);
}

HeadlessFormPeer::~HeadlessFormPeer() {
  HeadlessWindows& w = windows();
  w.live.erase(std::remove(w.live.begin(), w.live.end(), this), w.live.end());
  w.destroyed.push_back(id_);
  if (w.focus == this) w.focus = nullptr;
}

void HeadlessFormPeer::sync(Property property) {
  switch (property) {
    case Property::Bounds:
      position_ = form_.position();
      clientSize_ = form_.clientSize();
      break;
    case Property::Caption:
      caption_ = form_.caption();
      break;
    case Property::Visible:
      visible_ = form_.visible();
      break;
    default:
      break;
  }
}

bool HeadlessFormPeer::postRelease() {
  HeadlessWindows& w = windows();
  if (w.actionDepth == 0) return false;
  w.pendingReleases.emplace_back(&form_, form_.watch());
  return true;
}

UserAction::UserAction() { ++windows().actionDepth; }

UserAction::~UserAction() {
  HeadlessWindows& w = windows();
  if (--w.actionDepth > 0) return;
  auto pending = std::move(w.pendingReleases);
  w.pendingReleases.clear();
  for (auto& [form, alive] : pending)
    if (!alive.expired()) delete form;
}

void HeadlessFormPeer::setFocus() { moveFocus(this); }
bool HeadlessFormPeer::focused() const { return windows().focus == this; }

// Frame sizes as a classic Windows theme draws them: a 3-pixel frame, and
// a 17-pixel caption for tool windows (19 for others).
Size HeadlessFormPeer::outerSize() const {
  if ((params_.style & kWsCaption) == 0) return clientSize_;
  const int caption = (params_.exStyle & kWsExToolWindow) != 0 ? 17 : 19;
  return {clientSize_.width + 6, clientSize_.height + 6 + caption};
}

Point HeadlessFormPeer::clientOriginOnScreen() const {
  const Size outer = outerSize();
  return {position_.x + (outer.width - clientSize_.width) / 2,
          position_.y + outer.height - clientSize_.height - (outer.width - clientSize_.width) / 2};
}

int HeadlessFormPeer::hitTestClient() const { return form_.nonClientHitTest(kHtClient); }

HeadlessFormPeer* HeadlessWindows::find(const void* handle) const {
  for (HeadlessFormPeer* peer : live)
    if (peer->handle() == handle) return peer;
  return nullptr;
}

HeadlessWindows& windows() {
  // Destroyed with the module's statics, after the library's unload
  // handler has destroyed the last form.
  static HeadlessWindows record;
  return record;
}

void install() {
  static HeadlessBackend backend;
  setBackend(&backend);
}

void resetRecord() {
  HeadlessWindows& w = windows();
  w.created.clear();
  w.destroyed.clear();
  w.nextId = 1;
  for (const HeadlessFormPeer* peer : w.live) w.nextId = std::max(w.nextId, peer->id() + 1);
  w.onProcessMessages = nullptr;
  w.processMessagesCount = 0;
}

}  // namespace rillmark::ui::headless
