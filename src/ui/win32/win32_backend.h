// The Win32 backend of the widget model: real windows and common controls.
// A form is a window of this module's own class; each control is a native
// control (button, edit box, list box, tab control, group box with radio
// buttons, static) or a window of this module's control class where none
// fits (panels, pages, pictures, custom-drawn controls). Peers are thin:
// they create the control, mirror property changes onto it at once and
// forward its notifications and the user's input to the widget model.
//
// The host's message loop only translates and dispatches; it never calls a
// dialog-message routine. So every window of the plug-in hands Tab,
// Escape and Enter to the widget model itself.
#pragma once

namespace rillmark::ui::win32 {

// Installs this backend as the widget model's window system.
void install();

// Unregisters the window classes once no window of them is left, and
// frees the cached GDI objects. A DLL must do this before it is unloaded:
// Windows does not, and a class would keep a window procedure pointing
// into unmapped code.
void uninstall();

}  // namespace rillmark::ui::win32
