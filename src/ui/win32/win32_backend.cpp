#include "ui/win32/win32_backend.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/error.h"
#include "base/float_control.h"
#include "ui/win32/gdi_resources.h"
#include "ui/win32/win32_peers.h"

namespace rillmark::ui::win32 {

namespace {

bool classesRegistered = false;

void registerClass(const char* name, WNDPROC procedure) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = thisModule();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Error("The window class could not be registered (error " + std::to_string(GetLastError()) + ")");
}

class Win32Backend : public Backend {
 public:
  std::unique_ptr<FormPeer> createFormPeer(Form& form, const CreateParams& params) override {
    return makeFormPeer(form, params);
  }
  std::unique_ptr<ControlPeer> createControlPeer(Control& control) override { return makeControlPeer(control); }

  // As the host's own loop does: translate and dispatch, nothing more. A
  // quit message belongs to the host's loop; it is put back for it. The
  // host's windows handle their messages under the host's own
  // floating-point settings; the plug-in's come back afterwards.
  void processMessages() override {
    const HostFloatScope hostSettings;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  Size screenSize() override { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }
};

}  // namespace

void registerClasses() {
  if (classesRegistered) return;
  registerClass(kFormClass, formProcedure());
  registerClass(kControlClass, controlProcedure());
  classesRegistered = true;
}

void unregisterClasses() {
  if (!classesRegistered) return;
  const bool form = UnregisterClassA(kFormClass, thisModule()) != 0;
  const bool control = UnregisterClassA(kControlClass, thisModule()) != 0;
  if (form && control) classesRegistered = false;
}

Win32Peer* peerOf(HWND window) {
  return window != nullptr ? static_cast<Win32Peer*>(GetPropA(window, kPeerProperty)) : nullptr;
}

bool reflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      auto child = reinterpret_cast<HWND>(lParam);
      Win32Peer* peer = peerOf(child);
      if (peer == nullptr) return false;
      peer->command(child, HIWORD(wParam));
      result = 0;
      return true;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      Win32Peer* peer = peerOf(header->hwndFrom);
      if (peer == nullptr) return false;
      result = peer->notify(*header);
      return true;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Win32Peer* peer = peerOf(item->hwndItem);
      if (peer == nullptr) return false;
      peer->drawItem(*item);
      result = TRUE;
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      Win32Peer* peer = peerOf(reinterpret_cast<HWND>(lParam));
      if (peer == nullptr) return false;
      HBRUSH brush = peer->controlColour(reinterpret_cast<HDC>(wParam));
      if (brush == nullptr) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    default:
      return false;
  }
}

bool dialogKey(Control& c, WPARAM key) {
  if (key != VK_TAB && key != VK_ESCAPE) return false;
  return c.handleKeyDown(static_cast<int>(key), GetKeyState(VK_SHIFT) < 0);
}

void install() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  static Win32Backend backend;
  setBackend(&backend);
}

void uninstall() {
  unregisterClasses();
  releaseGdiResources();
}

}  // namespace rillmark::ui::win32
