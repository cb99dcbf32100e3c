// HeadlessUser: a user in front of headless windows. It clicks, double
// clicks, drags and right-clicks at pixel positions of a form's client
// area and types and presses keys into the focused control, and the
// controls react as their Win32 counterparts do: a button clicks when the
// press and the release land on it, a check box toggles, a tab is chosen
// on the press, the pointer is held by a custom control while a button is
// down, a disabled control passes the mouse to its parent. The pointer
// itself lives in the windowless platform, where the program can move and
// hide it.
#pragma once

#include <string>

#include "platform/windowless_platform.h"
#include "ui/toolkit/form.h"

namespace rillmark::ui::headless {

class HeadlessUser {
 public:
  explicit HeadlessUser(WindowlessPlatform& platform) : platform_(platform) {}

  // The deepest control under a point of the form's client area that takes
  // the mouse (visible, and enabled along with its parents); the form when
  // no control does.
  static Control& controlAt(Form& form, Point clientPoint);
  // The centre of a control, in its form's client area.
  static Point centreOf(const Control& control);

  // Mouse, at points of the form's client area.
  void moveTo(Form& form, Point clientPoint);
  void press(Form& form, Point clientPoint, MouseButton button = MouseButton::Left);
  void release(MouseButton button = MouseButton::Left);
  void click(Form& form, Point clientPoint, MouseButton button = MouseButton::Left);
  void click(const Control& control) { click(*const_cast<Control&>(control).form(), centreOf(control)); }
  void rightClick(const Control& control) {
    click(*const_cast<Control&>(control).form(), centreOf(control), MouseButton::Right);
  }
  void doubleClick(Form& form, Point clientPoint);
  // Moves the pointer from wherever it is now (the program may have put it
  // back) by dx, dy screen pixels.
  void moveBy(int dx, int dy);

  // Keyboard, into the control with the focus.
  void pressKey(int key, bool shift = false);
  void type(const std::string& text);
  // Selects the whole text of the focused edit box, as Ctrl+A would.
  void selectAll();

 private:
  Point toScreen(Form& form, Point clientPoint) const;
  // The control the pointer talks to: the one holding the mouse, or the
  // one under it. at becomes the pointer in that control's coordinates.
  Control* target(Point& at);
  void deliverChar(Control& control, char c);
  // A form deleted since the last action takes the pointer's state along.
  void forgetDeadForm();

  WindowlessPlatform& platform_;
  Form* form_ = nullptr;        // the form under the pointer
  Form::Watch formAlive_;
  Control* captured_ = nullptr;  // holds the mouse while a button is down
  Control* pressed_ = nullptr;   // where the left button went down
};

}  // namespace rillmark::ui::headless
