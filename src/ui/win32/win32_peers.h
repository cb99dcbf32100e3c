// The Win32 peers behind win32_backend.h, shared by its source files.
//
// Every window a peer makes carries the peer in a window property, so a
// notification a native control sends to its parent (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) is handed back to the peer of the
// control that sent it, whichever window receives it. Windows also carry
// the control's name, for test hosts and accessibility tools in the same
// process.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/toolkit/form.h"

namespace rillmark::ui::win32 {

inline constexpr const char* kFormClass = "RillmarkForm";
inline constexpr const char* kControlClass = "RillmarkControl";
inline constexpr const char* kPeerProperty = "Rillmark.Peer";
inline constexpr const char* kNameProperty = "Rillmark.Name";

void registerClasses();
void unregisterClasses();
WNDPROC formProcedure();
WNDPROC controlProcedure();

class Win32Peer;

// The peer a window belongs to, or null.
Win32Peer* peerOf(HWND window);

// What every Win32 peer answers: its windows' notifications and messages.
class Win32Peer {
 public:
  virtual ~Win32Peer() = default;
  virtual HWND window() const = 0;
  // A notification of one of this peer's windows, received by its parent.
  virtual void command(HWND, WORD) {}
  virtual LRESULT notify(const NMHDR&) { return 0; }
  virtual void drawItem(const DRAWITEMSTRUCT&) {}
  // The brush (and colours in dc) for painting the window; null: default.
  virtual HBRUSH controlColour(HDC) { return nullptr; }
  // Paints into dc, in this window's client coordinates, what the window
  // shows beneath its children, for a transparent child to show through.
  // False: the window has no such painting (a native control).
  virtual bool paintBackground(HDC) { return false; }
};

// Handles the notifications a parent window receives from its children;
// true when msg was one and result holds the answer.
bool reflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The keys a dialog would handle, taken from a window of control c: Tab
// walks the focus, Escape presses the cancel button. True: consumed.
bool dialogKey(Control& c, WPARAM key);

std::unique_ptr<FormPeer> makeFormPeer(Form& form, const CreateParams& params);
std::unique_ptr<ControlPeer> makeControlPeer(Control& control);

}  // namespace rillmark::ui::win32
