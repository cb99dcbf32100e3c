// The headless backend of the widget model: windows without a window
// system, for unit tests, the demo and the native plug-in. Each peer keeps
// what a real window would show; the backend records the forms made and
// destroyed, holds the keyboard focus, and lets a test hook into message
// processing (the moment a long run would handle the user's input).
// HeadlessUser (headless_user.h) plays the user's mouse and keyboard.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/canvas.h"
#include "ui/toolkit/form.h"

namespace rillmark::ui::headless {

// One call a custom control made while painting.
struct PaintOp {
  enum Kind { Fill, Text, Picture, Bevel } kind;
  Rect area;
  std::string text;              // Text
  const char* picture = nullptr;  // Picture: its resource name
  Color color;                   // Fill
};

class HeadlessControlPeer : public ControlPeer {
 public:
  explicit HeadlessControlPeer(Control& control) : control_(control) {}
  ~HeadlessControlPeer() override;

  void* handle() const override { return const_cast<HeadlessControlPeer*>(this); }
  void sync(Property property) override;
  void repaint(bool now) override;
  void setFocus() override;
  bool focused() const override;
  void selectAllText() override { allSelected_ = true; }
  void detach() override { detached_ = true; }

  Control& control() const { return control_; }
  // Edit boxes: the whole text is selected, so typing replaces it.
  bool allSelected() const { return allSelected_; }
  void setAllSelected(bool selected) { allSelected_ = selected; }
  // What the control drew the last time it painted, and how often.
  const std::vector<PaintOp>& lastPaint() const { return lastPaint_; }
  int paintCount() const { return paintCount_; }

 private:
  Control& control_;
  bool detached_ = false;
  bool allSelected_ = false;
  std::vector<PaintOp> lastPaint_;
  int paintCount_ = 0;
};

class HeadlessFormPeer : public FormPeer {
 public:
  HeadlessFormPeer(Form& form, const CreateParams& params, int id);
  ~HeadlessFormPeer() override;

  void* handle() const override { return const_cast<HeadlessFormPeer*>(this); }
  void sync(Property property) override;
  void repaint(bool) override {}
  void setFocus() override;
  bool focused() const override;
  void detach() override {}
  void setPosition(Point position) override { position_ = position; }
  void setClientSize(Size size) override { clientSize_ = size; }
  Size outerSize() const override;
  void setVisible(bool visible) override { visible_ = visible; }
  void bringToFront() override { ++frontCount_; }
  // Inside a user action the form goes when the action is over, as a
  // posted message would be handled; otherwise at once.
  bool postRelease() override;
  bool windowAlive() const override { return true; }

  // The window system's hit test for a point of the client area, passed
  // through the form as the real window procedure does.
  int hitTestClient() const;
  // Where the client area's top left corner is on the screen.
  Point clientOriginOnScreen() const;

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

// The windows of this backend. Form ids count up from 1 in creation order.
struct HeadlessWindows {
  std::vector<HeadlessFormPeer*> live;
  std::vector<int> created;
  std::vector<int> destroyed;
  int nextId = 1;
  // The control (or form) holding the keyboard focus.
  ControlPeer* focus = nullptr;
  // Runs each time the program processes pending messages; a test acts
  // as the user there, in the middle of a long operation.
  std::function<void()> onProcessMessages;
  long long processMessagesCount = 0;
  Size screen{1024, 768};
  // User actions in progress, and the forms released during them.
  int actionDepth = 0;
  std::vector<std::pair<Form*, Form::Watch>> pendingReleases;

  HeadlessFormPeer* find(const void* handle) const;
};

// One action of the user in progress. When the outermost one ends, the
// forms released meanwhile are deleted.
class UserAction {
 public:
  UserAction();
  ~UserAction();
  UserAction(const UserAction&) = delete;
  UserAction& operator=(const UserAction&) = delete;
};

HeadlessWindows& windows();

// Installs this backend as the widget model's window system.
void install();
// Forgets the record and counts ids from 1 again (past any live window).
void resetRecord();

}  // namespace rillmark::ui::headless
