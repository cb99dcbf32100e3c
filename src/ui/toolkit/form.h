// Form: a top-level window of the widget model, the base of every window
// the plug-in shows. Besides what every control has, it holds the
// window's position, client size, border style and visibility, its show
// and close events, and the keys a dialog handles for all its controls
// (Tab walks the focus, Escape presses the cancel button), because the
// host's message loop only translates and dispatches.
//
// The FormPeer is made when the form is first shown, from the creation
// parameters that createParams() works out, so a derived form class shapes
// its window by overriding that one operation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/toolkit/backend.h"
#include "ui/toolkit/control.h"

namespace rillmark::ui {

enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

// What a close leaves of the form: hidden (the default), freed, or nothing.
enum class CloseAction { None, Hide, Free };

// Everything a backend needs to create the form's window. Style bits are
// those of window_styles.h; parentWindow is the native handle of the window
// the form was constructed with (null: none).
struct CreateParams {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  void* parentWindow = nullptr;
  std::string caption;
  Point position;
  Size clientSize;
};

// A form as one backend realises it. Peers forward what happens to the
// window (close request, mouse, hit test) to their form; a form never
// learns native types.
class FormPeer : public ControlPeer {
 public:
  virtual void setPosition(Point position) = 0;
  virtual void setClientSize(Size size) = 0;
  virtual Size outerSize() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual void bringToFront() = 0;
  // Arranges for the form to be deleted once the event now being handled
  // is over (the window's own message may still be on the stack). False
  // when the backend cannot defer; the form is then deleted at once.
  virtual bool postRelease() = 0;
  // The native window went away without the form asking (for example its
  // owner was destroyed); the peer stops touching it.
  virtual bool windowAlive() const = 0;
};

class Form : public Control {
 public:
  // Seen by others who must know whether a form still exists without
  // owning it (the plug-in host's list of shown windows).
  using Watch = std::weak_ptr<const void>;

  // parentWindow: native handle of the window that owns this one, or null.
  explicit Form(void* parentWindow = nullptr);
  ~Form() override;

  Watch watch() const { return life_; }

  Point position() const { return {bounds().x, bounds().y}; }
  void setPosition(Point position);
  Size clientSize() const { return {bounds().width, bounds().height}; }
  void setClientSize(Size size);
  Rect clientRect() const override { return {0, 0, bounds().width, bounds().height}; }
  // Client area plus border and caption; known once the window exists.
  Size outerSize() const;

  BorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(BorderStyle style) { borderStyle_ = style; }

  void* parentWindow() const { return parentWindow_; }

  // Placed at the centre of the screen each time it is shown.
  bool centreOnScreen = false;

  void setVisible(bool visible) override;
  void show();  // makes the window if needed, shows it, brings it to front
  void hide() { setVisible(false); }
  void bringToFront();

  // Asks the form to close, as the user's close box does: the close event
  // decides what happens; Free deletes the form (deferred while its window
  // is handling a message), so the caller must not use it afterwards.
  void close();
  // Deletes the form once the current event is over.
  void release();

  // The native window, made on first use.
  void* handle();
  FormPeer* formPeer() const { return static_cast<FormPeer*>(peer()); }

  // The creation parameters of the window, from the form's properties.
  // Derived classes call the inherited version first, then adjust.
  virtual void createParams(CreateParams& params) const;

  // Answer to the window's non-client hit test; inherited is what the
  // window system answered. The base form keeps it.
  virtual int nonClientHitTest(int inherited) const { return inherited; }

  // The button Escape presses, if it is enabled.
  Control* cancelButton = nullptr;
  // Keys every control of the form hands here first; true when consumed.
  bool dialogKey(Control* from, int key, bool shift);
  // Moves the focus to the next (or previous) control that takes it.
  void focusNext(Control* from, bool forward);
  // The control with the keyboard focus, or null.
  Control* focusedControl();

  // Events.
  std::function<void(Form& sender)> onShow;
  std::function<void(Form& sender, CloseAction& action)> onClose;

  // Called by peers when the user acts on the window.
  void closeRequested();

 protected:
  std::unique_ptr<ControlPeer> makePeer() override;

 private:
  std::shared_ptr<const void> life_;
  BorderStyle borderStyle_ = BorderStyle::Sizeable;
  void* parentWindow_;
};

}  // namespace rillmark::ui
