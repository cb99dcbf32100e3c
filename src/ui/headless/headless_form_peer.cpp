#include "ui/headless/headless_form_peer.h"

#include <algorithm>

#include "ui/toolkit/window_styles.h"

namespace rillmark::ui::headless {

namespace {

class HeadlessPeerFactory : public PeerFactory {
 public:
  std::unique_ptr<FormPeer> createFormPeer(Form& form, const CreateParams& params) override {
    HeadlessWindows& w = windows();
    return std::make_unique<HeadlessFormPeer>(form, params, w.nextId++);
  }
};

}  // namespace

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
  auto& live = windows().live;
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  windows().destroyed.push_back(id_);
}

// Frame sizes as a classic Windows theme draws them: a 3-pixel frame, and
// a 17-pixel caption for tool windows (19 for others).
Size HeadlessFormPeer::outerSize() const {
  if ((params_.style & kWsCaption) == 0) return clientSize_;
  const int caption = (params_.exStyle & kWsExToolWindow) != 0 ? 17 : 19;
  return {clientSize_.width + 6, clientSize_.height + 6 + caption};
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
  static HeadlessPeerFactory factory;
  setPeerFactory(&factory);
}

void resetRecord() {
  HeadlessWindows& w = windows();
  w.created.clear();
  w.destroyed.clear();
  w.nextId = 1;
  for (const HeadlessFormPeer* peer : w.live) w.nextId = std::max(w.nextId, peer->id() + 1);
}

}  // namespace rillmark::ui::headless
