// The Win32 backend of the widget model: each form is a real window of one
// window class that this module registers. The peer creates the window from
// the form's creation parameters (the parent window becomes the owner of a
// top-level window), mirrors property changes onto it and forwards what the
// user does to the form: the close box, the mouse, the non-client hit test.
#pragma once

namespace rillmark::ui::win32 {

// Installs this backend as the toolkit's peer factory.
void install();

// Unregisters the window class once no window of it is left. A DLL must do
// this before it is unloaded: Windows does not, and the class would keep a
// window procedure pointing into unmapped code.
void uninstall();

}  // namespace rillmark::ui::win32
