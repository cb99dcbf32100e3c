#include "ui/win32/win32_form_peer.h"

#include <windows.h>

#include <exception>
#include <string>

#include "base/error.h"
#include "ui/toolkit/form.h"

namespace rillmark::ui::win32 {

namespace {

constexpr const char* kClassName = "RillmarkForm";
// Posted to a form's own window: delete the form now that the message that
// asked for it (usually WM_CLOSE) is over.
constexpr UINT kReleaseMessage = WM_APP + 0x52;

bool classRegistered = false;

// The module this code lives in: the plug-in DLL, not the host program.
HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

LRESULT CALLBACK formWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void registerClass() {
  if (classRegistered) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = formWindowProc;
  wc.hInstance = thisModule();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Error("The window class could not be registered (error " + std::to_string(GetLastError()) + ")");
  classRegistered = true;
}

// The outer size that gives a window of these styles that client size.
Size outerFor(DWORD style, DWORD exStyle, Size client) {
  RECT r{0, 0, client.width, client.height};
  AdjustWindowRectEx(&r, style & ~WS_VISIBLE, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

class Win32FormPeer : public FormPeer {
 public:
  Win32FormPeer(Form& form, const CreateParams& params) : form_(form) {
    registerClass();
    const DWORD style = params.style & ~WS_VISIBLE;
    const Size outer = outerFor(style, params.exStyle, params.clientSize);
    window_ = CreateWindowExA(params.exStyle, kClassName, params.caption.c_str(), style, params.position.x,
                              params.position.y, outer.width, outer.height, static_cast<HWND>(params.parentWindow),
                              nullptr, thisModule(), this);
    if (window_ == nullptr)
      throw Error("The window \"" + params.caption + "\" could not be created (error " +
                  std::to_string(GetLastError()) + ")");
    setClientSize(params.clientSize);
  }

  ~Win32FormPeer() override {
    if (window_ == nullptr) return;
    // Detached first: the messages DestroyWindow sends must not reach a
    // form that is being destroyed.
    HWND window = window_;
    window_ = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }

  void* handle() const override { return window_; }

  void setCaption(const std::string& caption) override {
    if (window_) SetWindowTextA(window_, caption.c_str());
  }

  void setPosition(Point position) override {
    if (window_)
      SetWindowPos(window_, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // AdjustWindowRectEx knows nothing of menus or of frames a theme draws
  // differently, so the result is checked and corrected once.
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
    switch (message) {
      case WM_NCHITTEST:
        return form_.nonClientHitTest(static_cast<int>(DefWindowProcA(window, message, wParam, lParam)));
      case WM_CLOSE:
        form_.closeRequested();  // may post the release; the peer is still whole here
        return 0;
      case kReleaseMessage:
        delete &form_;  // destroys this peer and the window: touch nothing after
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        form_.mouseDown(buttonOf(message), GET_X(lParam), GET_Y(lParam));
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        form_.mouseUp(buttonOf(message), GET_X(lParam), GET_Y(lParam));
        return 0;
      case WM_MOUSEMOVE:
        form_.mouseMove(GET_X(lParam), GET_Y(lParam));
        return 0;
      case WM_NCDESTROY:
        // Destroyed from outside (its owner went): the form outlives it.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        break;
      default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void attach(HWND window) { window_ = window; }

 private:
  static int GET_X(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
  static int GET_Y(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }
  static MouseButton buttonOf(UINT message) {
    switch (message) {
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
        return MouseButton::Right;
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
        return MouseButton::Middle;
      default:
        return MouseButton::Left;
    }
  }

  void resize(Size outer) {
    SetWindowPos(window_, nullptr, 0, 0, outer.width, outer.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  Form& form_;
  HWND window_ = nullptr;
};

// An error escaping an event handler is shown with its text and the window
// goes on working; it must never unwind into the system's frames.
void showHandlerError(HWND window, const char* text) {
  MessageBoxA(window, text, "Rillmark", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK formWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<Win32FormPeer*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    peer->attach(window);
  }
  auto* peer = reinterpret_cast<Win32FormPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (peer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return peer->handle(message, wParam, lParam);
  } catch (const std::exception& e) {
    showHandlerError(window, e.what());
  } catch (...) {
    showHandlerError(window, "An unknown error occurred");
  }
  return 0;
}

class Win32PeerFactory : public PeerFactory {
 public:
  std::unique_ptr<FormPeer> createFormPeer(Form& form, const CreateParams& params) override {
    return std::make_unique<Win32FormPeer>(form, params);
  }
};

}  // namespace

void install() {
  static Win32PeerFactory factory;
  setPeerFactory(&factory);
}

void uninstall() {
  if (classRegistered && UnregisterClassA(kClassName, thisModule())) classRegistered = false;
}

}  // namespace rillmark::ui::win32
