// The peer of a form: a top-level window of this module's form class. The
// parent window of the creation parameters becomes the owner of the
// top-level window.
#include <windows.h>

#include <exception>
#include <string>

#include "base/error.h"
#include "base/float_control.h"
#include "ui/win32/gdi_resources.h"
#include "ui/win32/win32_peers.h"

namespace rillmark::ui::win32 {

namespace {

// Posted to a form's own window: delete the form now that the message that
// asked for it (usually WM_CLOSE) is over.
constexpr UINT kReleaseMessage = WM_APP + 0x52;
// While a handler is still running, the release waits on this timer.
constexpr UINT_PTR kReleaseTimer = 0x52;
constexpr UINT kReleaseRetryMs = 20;

// The outer size that gives a window of these styles that client size.
Size outerFor(DWORD style, DWORD exStyle, Size client) {
  RECT r{0, 0, client.width, client.height};
  AdjustWindowRectEx(&r, style & ~WS_VISIBLE, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

LRESULT CALLBACK formWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32FormPeer : public FormPeer, public Win32Peer {
 public:
  Win32FormPeer(Form& form, const CreateParams& params) : form_(form) {
    registerClasses();
    const DWORD style = params.style & ~WS_VISIBLE;
    const Size outer = outerFor(style, params.exStyle, params.clientSize);
    window_ = CreateWindowExA(params.exStyle, kFormClass, params.caption.c_str(), style, params.position.x,
                              params.position.y, outer.width, outer.height, static_cast<HWND>(params.parentWindow),
                              nullptr, thisModule(), this);
    if (window_ == nullptr)
      throw Error("The window \"" + params.caption + "\" could not be created (error " +
                  std::to_string(GetLastError()) + ")");
    SetPropA(window_, kNameProperty, const_cast<char*>(form.name().c_str()));
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(form.font())), FALSE);
    setClientSize(params.clientSize);
  }

  ~Win32FormPeer() override {
    if (window_ == nullptr) return;
    // Detached first: the messages DestroyWindow sends must not reach a
    // form that is being destroyed.
    HWND window = window_;
    window_ = nullptr;
    RemovePropA(window, kPeerProperty);
    RemovePropA(window, kNameProperty);
    DestroyWindow(window);
  }

  HWND window() const override { return window_; }
  void* handle() const override { return window_; }

  void sync(Property property) override {
    if (!window_ || detached_) return;
    switch (property) {
      case Property::Bounds: {
        setPosition(form_.position());
        RECT client{};
        GetClientRect(window_, &client);
        const Size size = form_.clientSize();
        if (client.right != size.width || client.bottom != size.height) setClientSize(size);
        break;
      }
      case Property::Caption:
        SetWindowTextA(window_, form_.caption().c_str());
        break;
      case Property::Visible:
        setVisible(form_.visible());
        break;
      case Property::Enabled:
        EnableWindow(window_, form_.enabled() ? TRUE : FALSE);
        break;
      default:
        InvalidateRect(window_, nullptr, TRUE);
        break;
    }
  }

  void repaint(bool now) override {
    if (!window_) return;
    InvalidateRect(window_, nullptr, TRUE);
    if (now) UpdateWindow(window_);
  }

  void setFocus() override {
    if (window_) SetFocus(window_);
  }
  bool focused() const override { return window_ != nullptr && GetFocus() == window_; }
  void detach() override { detached_ = true; }

  void setPosition(Point position) override {
    if (window_)
      SetWindowPos(window_, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // AdjustWindowRectEx knows nothing of frames a theme draws differently,
  // so the result is checked and corrected once.
  void setClientSize(Size size) override {
    if (!window_) return;
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE));
    Size outer = outerFor(style, exStyle, size);
    resize(outer);
    RECT client{};
    GetClientRect(window_, &client);
    const int dw = size.width - (client.right - client.left);
    const int dh = size.height - (client.bottom - client.top);
    if (dw != 0 || dh != 0) resize({outer.width + dw, outer.height + dh});
  }

  Size outerSize() const override {
    RECT r{};
    if (window_) GetWindowRect(window_, &r);
    return {r.right - r.left, r.bottom - r.top};
  }

  void setVisible(bool visible) override {
    if (window_) ShowWindow(window_, visible ? SW_SHOWNORMAL : SW_HIDE);
  }

  void bringToFront() override {
    if (window_) SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }

  bool postRelease() override { return window_ != nullptr && PostMessageA(window_, kReleaseMessage, 0, 0) != 0; }
  bool windowAlive() const override { return window_ != nullptr; }

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    LRESULT reflected = 0;
    if (!detached_ && reflectToChild(message, wParam, lParam, reflected)) return reflected;
    switch (message) {
      case WM_NCHITTEST:
        return form_.nonClientHitTest(static_cast<int>(DefWindowProcA(window, message, wParam, lParam)));
      case WM_CLOSE:
        if (!detached_) form_.closeRequested();  // may post the release; the peer is still whole here
        return 0;
      case kReleaseMessage:
        // A handler that closed the form, or one that runs while the form
        // closes, may reach this message through a modal loop of its own
        // (a message box) and go on using the form when it returns: the
        // form is deleted only once no handler runs. A timer, not a new
        // post, so that the modal loop does not spin on it.
        if (handlerRunning()) {
          SetTimer(window, kReleaseTimer, kReleaseRetryMs, nullptr);
          return 0;
        }
        delete &form_;  // destroys this peer and the window: touch nothing after
        return 0;
      case WM_TIMER:
        if (wParam != kReleaseTimer) break;
        KillTimer(window, kReleaseTimer);
        PostMessageA(window, kReleaseMessage, 0, 0);
        return 0;
      case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
      case WM_ACTIVATE:
        // Coming back to the panel brings the keyboard focus back to the
        // control that had it, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(window, lastFocus_)) {
          SetFocus(lastFocus_);
          return 0;
        }
        break;
      case WM_KEYDOWN:
        if (!detached_ && dialogKey(form_, wParam)) {
          swallowChar_ = true;
          return 0;
        }
        break;
      case WM_CHAR:
        if (swallowChar_) {
          swallowChar_ = false;
          return 0;
        }
        break;
      case WM_NCDESTROY:
        // Destroyed from outside (its owner went): the form outlives it.
        RemovePropA(window, kPeerProperty);
        RemovePropA(window, kNameProperty);
        window_ = nullptr;
        break;
      default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  // The form's colour, else the face colour its window class erases with.
  bool paintBackground(HDC dc) override {
    if (window_ == nullptr) return false;
    RECT client{};
    GetClientRect(window_, &client);
    FillRect(dc, &client, form_.color() ? brushFor(*form_.color()) : GetSysColorBrush(COLOR_BTNFACE));
    return true;
  }

  void attach(HWND window) {
    window_ = window;
    SetPropA(window, kPeerProperty, static_cast<Win32Peer*>(this));
  }

 private:
  void resize(Size outer) {
    SetWindowPos(window_, nullptr, 0, 0, outer.width, outer.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  Form& form_;
  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool detached_ = false;
  bool swallowChar_ = false;
};

// An entry from the host like an export: the plug-in's floating-point
// settings hold inside, and an error escaping here must never unwind into
// the system's frames.
LRESULT CALLBACK formWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const PluginFloatScope floatScope;
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<Win32FormPeer*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    peer->attach(window);
  }
  auto* peer = dynamic_cast<Win32FormPeer*>(peerOf(window));
  if (peer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return peer->handle(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace

WNDPROC formProcedure() { return formWindowProc; }

std::unique_ptr<FormPeer> makeFormPeer(Form& form, const CreateParams& params) {
  return std::make_unique<Win32FormPeer>(form, params);
}

}  // namespace rillmark::ui::win32
