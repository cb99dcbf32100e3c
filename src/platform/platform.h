// The operating-system services the core needs, behind one interface. The
// Win32 and POSIX implementations are picked by what the build links; the
// headless one serves tests and the demo.
//
// Every text crossing this interface is UTF-8 unless its function says
// otherwise: paths from the file dialogs, message texts (which may hold a
// path), error texts. An implementation converts at the system's edge.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rillmark {

struct ScreenPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// What a standard open or save file dialog is asked for.
struct FileDialogOptions {
  std::string filter;            // "Description|*.ext"
  std::string defaultExtension;  // appended to a name typed without one
  bool promptOverwrite = false;  // ask before replacing an existing file
  bool hideReadOnly = false;     // no read-only check box
  bool fileMustExist = false;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The host's API library: tsxapi.dll on Windows, libtsxapi.so elsewhere.
  // Null when the loader fails; lastErrorCode() then tells why.
  virtual void* loadHostLibrary() = 0;
  // The exported symbol of exactly that name, or null.
  virtual void* resolveSymbol(void* library, const char* name) = 0;
  virtual void freeLibrary(void* library) = 0;
  virtual std::uint32_t lastErrorCode() = 0;
  // The system's own text for an error code, as the system gives it.
  virtual std::string systemErrorText(std::uint32_t code) = 0;

  // Milliseconds since some fixed moment; wraps around like the system's.
  virtual std::uint32_t tickCount() = 0;
  // Microseconds since some fixed moment, never going back; for deciding
  // when a run processes messages. The standard library's steady clock
  // unless a platform has reason to differ (a test's clock).
  virtual std::uint64_t monotonicMicroseconds();

  // The user's locale decimal separator for numbers shown or stored as text.
  virtual char decimalSeparator() = 0;

  // A modal message box with an OK button. A text that is not valid UTF-8
  // is taken to be in the system's ANSI code page, so nothing is lost.
  virtual void showMessage(const std::string& text) = 0;

  // The one-line text input dialog. Gives back the text entered, or the
  // default text when the user cancels. Not UTF-8: all four texts are in
  // the system's ANSI code page, because the answer is matched against
  // object names, which the host gives as bytes in that code page.
  virtual std::string inputBox(const std::string& caption, const std::string& prompt,
                               const std::string& defaultText) = 0;

  // The chosen path (UTF-8), or nothing when the user cancels.
  virtual std::optional<std::string> openFileDialog(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> saveFileDialog(const FileDialogOptions& options) = 0;

  // The mouse pointer, in screen pixels. Hiding and showing nest as the
  // system's display counter does: shown while shows >= hides.
  virtual ScreenPoint cursorPos() = 0;
  virtual void setCursorPos(ScreenPoint position) = 0;
  virtual void showCursor(bool show) = 0;

  // The full path of the plug-in's own module file (not the host's
  // program), UTF-8.
  virtual std::string modulePath() = 0;
  // Asks the shell to perform its "open" verb on a document or address,
  // in a normally shown window; what the shell does is not examined.
  virtual void openWithShell(const std::string& target) = 0;
};

// The platform the loaded plug-in runs on, installed by the composition
// root (the library's load, a test, the demo); null before. Windows and
// their handlers reach the platform through it, since the host builds them
// with nothing but their owner window.
Platform* activePlatform();
void setActivePlatform(Platform* platform);

}  // namespace rillmark
