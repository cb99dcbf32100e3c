// Control: a window of the widget model inside a form (button, check box,
// panel, edit box and the rest), and the base of Form itself. It holds the
// properties a user sees (bounds, caption, enabled, visible, font, hint),
// the events a program attaches to (click, mouse, keys, text, focus loss)
// and its child controls, which it owns.
//
// A control is realised on a platform by a ControlPeer that the installed
// backend makes once the form's window exists. Setting a property writes
// it through to the peer at once; what the user does comes back through
// the handle* functions, which run the attached handlers. An error thrown
// by a handler is shown to the user and goes no further, so one failing
// command never takes the window or the host down with it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit/geometry.h"
#include "ui/toolkit/style.h"

namespace rillmark::ui {

class Canvas;
class Control;
class Form;

enum class ControlKind {
  Form,
  Panel,
  Button,
  CheckBox,
  RadioGroup,
  ListBox,
  CheckListBox,
  Edit,
  Memo,
  Label,
  Image,
  PageControl,
  TabSheet,
  Custom,  // draws itself through paint()
};

// The property a peer has to mirror after a change.
enum class Property {
  Bounds,
  Caption,
  Enabled,
  Visible,
  Font,
  Appearance,  // colours, bevels, pictures, alignment: anything only drawn
  Checked,
  Items,
  ItemIndex,
  Text,
};

// A control as one backend realises it. Destroying the peer destroys the
// native window.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void* handle() const = 0;
  // Writes the control's current value of the property to the native side.
  virtual void sync(Property property) = 0;
  // Redraws now, or when the window system next gets to it.
  virtual void repaint(bool now) = 0;
  virtual void setFocus() = 0;
  virtual bool focused() const = 0;
  virtual void selectAllText() {}
  // From now on nothing reaches the control; teardown follows.
  virtual void detach() = 0;
};

using NotifyEvent = std::function<void(Control& sender)>;
using MouseEvent = std::function<void(Control& sender, MouseButton button, int x, int y)>;
using MouseMoveEvent = std::function<void(Control& sender, int x, int y)>;
using KeyPressEvent = std::function<void(Control& sender, char& key)>;

// Runs a handler; an error escaping it is shown to the user and absorbed.
void runHandler(const std::function<void()>& handler) noexcept;

// True while a handler runs, also while it waits in a modal loop (a
// message box, a dialog, a run processing messages) that dispatches other
// messages: a form closed meanwhile must outlive it.
bool handlerRunning();

class Control {
 public:
  explicit Control(ControlKind kind);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  void setName(const std::string& name) { name_ = name; }

  // Children are owned by their parent and listed in creation order, which
  // is also the order the Tab key walks.
  template <class T, class... Args>
  T* add(Args&&... args) {
    auto child = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = child.get();
    adopt(std::move(child));
    return raw;
  }
  Control* parent() const { return parent_; }
  const std::vector<std::unique_ptr<Control>>& children() const { return children_; }
  Form* form();
  const Form* form() const;

  // Relative to the parent's client area.
  Rect bounds() const { return bounds_; }
  void setBounds(Rect bounds);
  void setLeft(int x) { setBounds({x, bounds_.y, bounds_.width, bounds_.height}); }
  void setTop(int y) { setBounds({bounds_.x, y, bounds_.width, bounds_.height}); }
  int width() const { return bounds_.width; }
  int height() const { return bounds_.height; }
  // The area children are placed in, in this control's own coordinates.
  virtual Rect clientRect() const { return {0, 0, bounds_.width, bounds_.height}; }
  // Where this control's client area starts, in the form's client area.
  Point originInForm() const;

  Align align() const { return align_; }
  void setAlign(Align align);
  // While a window is being built its aligned children keep their designed
  // places; they are aligned once, in the order of those places, when the
  // last enableAlign() comes.
  void disableAlign() { ++alignLocks_; }
  void enableAlign() {
    if (--alignLocks_ == 0) realign();
  }

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& caption);

  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // Enabled, and every parent enabled: the control takes input.
  bool enabledInTree() const;

  bool visible() const { return visible_; }
  virtual void setVisible(bool visible);
  bool visibleInTree() const;

  // The font of the nearest control that has one of its own.
  const Font& font() const;
  void setFont(const Font& font);

  // Background colour; none: the window system's colour for the control.
  const std::optional<Color>& color() const { return color_; }
  void setColor(Color color) {
    color_ = color;
    changed(Property::Appearance);
  }
  // A transparent control shows its parent's background (and the pictures
  // of the controls below it) instead of a colour of its own.
  bool transparent() const { return transparent_; }
  void setTransparent(bool transparent) {
    transparent_ = transparent;
    changed(Property::Appearance);
  }
  enum class Cursor { Arrow, Hand };
  Cursor cursor() const { return cursor_; }
  void setCursor(Cursor cursor) { cursor_ = cursor; }

  const std::string& hint() const { return hint_; }
  void setHint(const std::string& hint) { hint_ = hint; }

  bool tabStop() const { return tabStop_; }
  void setTabStop(bool tabStop) { tabStop_ = tabStop; }

  void setFocus();
  bool focused() const;
  void repaint(bool now = true);

  // Native side.
  ControlPeer* peer() const { return peer_.get(); }
  bool handleAllocated() const { return peer_ != nullptr; }
  void* nativeHandle() const { return peer_ ? peer_->handle() : nullptr; }
  // Makes the peers of this control and its children, parents first, once
  // the parent's window exists.
  void createHandle();
  // Detaches every peer of the subtree, then destroys them.
  void destroyHandle();

  // Custom controls draw themselves; the others are drawn natively.
  virtual void paint(Canvas&) {}
  // A custom control keeps the mouse while a button is held on it, so a
  // drag that leaves it still reaches it.
  virtual bool capturesMouse() const { return false; }

  // Events.
  NotifyEvent onClick;
  NotifyEvent onDblClick;
  MouseEvent onMouseDown;
  MouseEvent onMouseUp;
  MouseMoveEvent onMouseMove;
  KeyPressEvent onKeyPress;
  NotifyEvent onChange;
  NotifyEvent onExit;  // the control lost the keyboard focus

  // What the user did, reported by peers (and by the headless driver).
  // Coordinates are relative to the control.
  void handleMouseDown(MouseButton button, Point at);
  void handleMouseMove(Point at);
  void handleMouseUp(MouseButton button, Point at);
  void handleClick();
  void handleDblClick();
  // Keys the form takes before the focused control sees them (Tab moves
  // the focus, Escape presses the cancel button). True: consumed.
  bool handleKeyDown(int key, bool shift);
  // A character key; a handler that sets key to 0 consumes it.
  void handleKeyPress(char& key);
  void handleFocusLost();

  // Clicks as the program does it: runs the click event if enabled.
  virtual void click();

 protected:
  // Overridable reactions; the base versions fire the events.
  virtual void mouseDown(MouseButton button, Point at);
  virtual void mouseMove(Point at);
  virtual void mouseUp(MouseButton button, Point at);
  virtual void keyPress(char& key);
  virtual void focusLost();

  // The backend's peer for this control; forms make theirs differently.
  virtual std::unique_ptr<ControlPeer> makePeer();
  void changed(Property property);
  virtual void boundsChanging(Rect&) {}
  virtual void childrenRealigned() {}
  // Lays out the aligned children in the client area.
  void realign();

 private:
  void adopt(std::unique_ptr<Control> child);
  void detachPeers();

  ControlKind kind_;
  std::string name_;
  Control* parent_ = nullptr;
  std::vector<std::unique_ptr<Control>> children_;
  Rect bounds_;
  Align align_ = Align::None;
  int alignLocks_ = 0;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::unique_ptr<Font> font_;
  std::optional<Color> color_;
  bool transparent_ = false;
  Cursor cursor_ = Cursor::Arrow;
  std::string hint_;
  bool tabStop_ = false;
  std::unique_ptr<ControlPeer> peer_;
};

}  // namespace rillmark::ui
