// The headless backend of the widget model: forms without a window system,
// for unit tests and the native plug-in. Each peer stores what a real
// window would show (creation parameters, position, client size, caption,
// visibility) and the backend keeps a record of the windows made and
// destroyed, so tests can check which window went away and how often.
#pragma once

#include <memory>
#include <vector>

#include "ui/toolkit/form.h"

namespace rillmark::ui::headless {

class HeadlessFormPeer : public FormPeer {
 public:
  HeadlessFormPeer(Form& form, const CreateParams& params, int id);
  ~HeadlessFormPeer() override;

  void* handle() const override { return const_cast<HeadlessFormPeer*>(this); }
  void setCaption(const std::string& caption) override { caption_ = caption; }
  void setPosition(Point position) override { position_ = position; }
  void setClientSize(Size size) override { clientSize_ = size; }
  Size outerSize() const override;
  void setVisible(bool visible) override { visible_ = visible; }
  void bringToFront() override { ++frontCount_; }
  // There is no message queue to defer to: the form is deleted at once.
  bool postRelease() override { return false; }
  bool windowAlive() const override { return true; }

  // The window system's hit test for a point of the client area, passed
  // through the form as the real window procedure does.
  int hitTestClient() const;

  Form& form() const { return form_; }
  int id() const { return id_; }
  const CreateParams& params() const { return params_; }
  const std::string& caption() const { return caption_; }
  Point position() const { return position_; }
  Size clientSize() const { return clientSize_; }
  bool visible() const { return visible_; }
  int frontCount() const { return frontCount_; }

 private:
  Form& form_;
  int id_;
  CreateParams params_;
  std::string caption_;
  Point position_;
  Size clientSize_;
  bool visible_ = false;
  int frontCount_ = 0;
};

// The windows of this backend. Ids count up from 1 in creation order.
struct HeadlessWindows {
  std::vector<HeadlessFormPeer*> live;
  std::vector<int> created;
  std::vector<int> destroyed;
  int nextId = 1;

  HeadlessFormPeer* find(const void* handle) const;
};

HeadlessWindows& windows();

// Installs this backend as the toolkit's peer factory.
void install();
// Forgets the record and counts ids from 1 again (past any live window).
void resetRecord();

}  // namespace rillmark::ui::headless
