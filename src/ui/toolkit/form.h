// Form: a top-level window of the widget model, the base of every window
// the plug-in shows. It holds the window's properties (name, caption,
// position, client size, border style, visibility) and its events, and is
// realised on a platform by a FormPeer that a backend supplies (ui/win32
// creates a real HWND, ui/headless stores state for tests). The peer is
// made when the form is first shown, from the creation parameters that
// createParams() works out, so a derived form class shapes its window by
// overriding that one operation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace rillmark::ui {

struct Point {
  int x = 0;
  int y = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

// What a close leaves of the form: hidden (the default), freed, or nothing.
enum class CloseAction { None, Hide, Free };

enum class MouseButton { Left, Right, Middle };

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

class Form;

// A form as one backend realises it. Destroying the peer destroys the
// native window. Peers forward what happens to the window (close request,
// mouse, hit test) to their form; a form never learns native types.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void* handle() const = 0;
  virtual void setCaption(const std::string& caption) = 0;
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

// Makes peers for one backend. The composition root installs exactly one.
class PeerFactory {
 public:
  virtual ~PeerFactory() = default;
  virtual std::unique_ptr<FormPeer> createFormPeer(Form& form, const CreateParams& params) = 0;
};

void setPeerFactory(PeerFactory* factory);
PeerFactory* peerFactory();

class Form {
 public:
  // Seen by others who must know whether a form still exists without
  // owning it (the plug-in host's list of shown windows).
  using Watch = std::weak_ptr<const void>;

  // parentWindow: native handle of the window that owns this one, or null.
  explicit Form(void* parentWindow = nullptr);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Watch watch() const { return life_; }

  const std::string& name() const { return name_; }
  void setName(const std::string& name) { name_ = name; }

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& caption);

  Point position() const { return position_; }
  void setPosition(Point position);

  Size clientSize() const { return clientSize_; }
  void setClientSize(Size size);
  // Client area plus border and caption; known once the window exists.
  Size outerSize() const;

  BorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(BorderStyle style) { borderStyle_ = style; }

  void* parentWindow() const { return parentWindow_; }

  bool visible() const { return visible_; }
  void setVisible(bool visible);
  void show();  // makes the window if needed, shows it, brings it to front
  void hide() { setVisible(false); }
  void bringToFront();

  // Asks the form to close, as the user's close box does: the close event
  // decides what happens; Free deletes the form (deferred while its window
  // is handling a message), so the caller must not use it afterwards.
  void close();
  // Deletes the form once the current event is over.
  void release();

  bool handleAllocated() const { return peer_ != nullptr; }
  // The native window, made on first use.
  void* handle();
  FormPeer* peer() const { return peer_.get(); }

  // The creation parameters of the window, from the form's properties.
  // Derived classes call the inherited version first, then adjust.
  virtual void createParams(CreateParams& params) const;

  // Answer to the window's non-client hit test; inherited is what the
  // window system answered. The base form keeps it.
  virtual int nonClientHitTest(int inherited) const { return inherited; }

  // Events. The sender is passed so one handler can serve several forms.
  std::function<void(Form& sender)> onShow;
  std::function<void(Form& sender, CloseAction& action)> onClose;
  std::function<void(Form& sender, MouseButton button, int x, int y)> onMouseDown;
  std::function<void(Form& sender, MouseButton button, int x, int y)> onMouseUp;
  std::function<void(Form& sender, int x, int y)> onMouseMove;

  // Called by peers when the user acts on the window.
  void closeRequested() { close(); }
  void mouseDown(MouseButton button, int x, int y);
  void mouseUp(MouseButton button, int x, int y);
  void mouseMove(int x, int y);

 private:
  void createHandle();

  std::shared_ptr<const void> life_;
  std::string name_;
  std::string caption_;
  Point position_;
  Size clientSize_{300, 200};
  BorderStyle borderStyle_ = BorderStyle::Sizeable;
  void* parentWindow_;
  bool visible_ = false;
  std::unique_ptr<FormPeer> peer_;
};

}  // namespace rillmark::ui
