#include "platform/win32/win32_platform.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/float_control.h"
#include "platform/file_filter.h"
#include "platform/win32/wide_text.h"

namespace rillmark {

namespace {

constexpr const wchar_t* kCaption = L"Rillmark";

// Room for the longest path Windows knows, so no name the dialog can show
// is refused for want of space.
constexpr std::size_t kPathBufferChars = 32768;

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

// ----- the input dialog, built in memory ---------------------------------
// All its texts stay in the ANSI code page (see Platform::inputBox): the
// answer is matched byte for byte against the host's object names.

constexpr int kInputEditId = 100;
constexpr int kInputPromptId = 101;

// A dialog template is a run of 16-bit words: the header, then each item
// aligned to 32 bits. Texts are UTF-16, converted from the ANSI code page.
class DialogTemplate {
 public:
  void dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void word(WORD value) { words_.push_back(value); }
  void text(const std::string& ansi) {
    if (!ansi.empty()) {
      const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
      std::vector<wchar_t> wide(static_cast<std::size_t>(n));
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
      for (wchar_t c : wide) words_.push_back(static_cast<WORD>(c));
    }
    words_.push_back(0);
  }
  void alignToDword() {
    if (words_.size() % 2 != 0) words_.push_back(0);
  }
  void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const std::string& title) {
    alignToDword();
    dword(style | WS_CHILD | WS_VISIBLE);
    dword(0);  // extended style
    word(static_cast<WORD>(x));
    word(static_cast<WORD>(y));
    word(static_cast<WORD>(cx));
    word(static_cast<WORD>(cy));
    word(id);
    word(0xFFFF);
    word(classAtom);
    text(title);
    word(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  // Storage from operator new: aligned beyond the 32 bits the template needs.
  std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

struct InputState {
  const std::string* defaultText;
  std::string result;
};

INT_PTR CALLBACK inputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const PluginFloatScope floatScope;
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<InputState*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetDlgItemTextA(dialog, kInputEditId, state->defaultText->c_str());
      SendDlgItemMessageA(dialog, kInputEditId, EM_SETSEL, 0, -1);
      return TRUE;
    }
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      if (id != IDOK && id != IDCANCEL) return FALSE;
      auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrA(dialog, DWLP_USER));
      if (id == IDOK) {
        const int length = GetWindowTextLengthA(GetDlgItem(dialog, kInputEditId));
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        GetDlgItemTextA(dialog, kInputEditId, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        state->result = text;
      }
      EndDialog(dialog, id);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void* Win32Platform::loadHostLibrary() {
  HMODULE library = LoadLibraryA("tsxapi.dll");
  if (library == nullptr) lastError_ = GetLastError();
  return library;
}

void* Win32Platform::resolveSymbol(void* library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void Win32Platform::freeLibrary(void* library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

std::string Win32Platform::systemErrorText(std::uint32_t code) {
  wchar_t buffer[256];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  return utf8FromWide(std::wstring_view(buffer, length));
}

std::uint32_t Win32Platform::tickCount() { return GetTickCount(); }

char Win32Platform::decimalSeparator() {
  char buffer[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) == 0 || buffer[0] == '\0')
    return '.';
  return buffer[0];
}

void* Win32Platform::owner() const {
  HWND window = static_cast<HWND>(owner_);
  return window != nullptr && IsWindow(window) ? window : nullptr;
}

void Win32Platform::showMessage(const std::string& text) {
  HWND window = static_cast<HWND>(owner());
  std::optional<std::wstring> wide = wideFromUtf8(text);
  if (!wide) wide = wideFromAnsi(text);
  const HostFloatScope hostSettings;
  MessageBoxW(window, wide->c_str(), kCaption, MB_OK | (window == nullptr ? MB_TASKMODAL : 0));
}

std::string Win32Platform::inputBox(const std::string& caption, const std::string& prompt,
                                    const std::string& defaultText) {
  DialogTemplate t;
  t.dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.dword(0);
  t.word(4);  // items
  t.word(0);
  t.word(0);
  t.word(180);
  t.word(62);
  t.word(0);  // no menu
  t.word(0);  // the standard dialog class
  t.text(caption);
  t.word(8);
  t.text("MS Shell Dlg");
  t.item(SS_LEFT, 7, 7, 166, 10, kInputPromptId, kStaticAtom, prompt);
  t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 19, 166, 12, kInputEditId, kEditAtom, "");
  t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 69, 40, 50, 14, IDOK, kButtonAtom, "OK");
  t.item(BS_PUSHBUTTON | WS_TABSTOP, 123, 40, 50, 14, IDCANCEL, kButtonAtom, "Cancel");

  InputState state{&defaultText, defaultText};
  const HostFloatScope hostSettings;
  const INT_PTR answer = DialogBoxIndirectParamA(thisModule(), t.get(), static_cast<HWND>(owner()),
                                                 inputDialogProc, reinterpret_cast<LPARAM>(&state));
  return answer == IDOK ? state.result : defaultText;
}

// The wide dialogs, so that every path they can show comes back whole.
std::optional<std::string> Win32Platform::fileDialog(const FileDialogOptions& options, bool save) {
  // The NULs between the filter's parts survive the conversion.
  const std::wstring filter = wideFromUtf8(nulSeparatedFilter(options.filter)).value_or(std::wstring());
  std::wstring extension = wideFromUtf8(options.defaultExtension).value_or(std::wstring());
  if (!extension.empty() && extension.front() == L'.') extension.erase(0, 1);
  std::vector<wchar_t> path(kPathBufferChars, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = static_cast<HWND>(owner());
  ofn.lpstrFilter = options.filter.empty() || filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (options.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (options.promptOverwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (options.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;

  const HostFloatScope hostSettings;
  const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return utf8FromWide(path.data());
}

std::optional<std::string> Win32Platform::openFileDialog(const FileDialogOptions& options) {
  return fileDialog(options, false);
}

std::optional<std::string> Win32Platform::saveFileDialog(const FileDialogOptions& options) {
  return fileDialog(options, true);
}

ScreenPoint Win32Platform::cursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

void Win32Platform::setCursorPos(ScreenPoint position) { SetCursorPos(position.x, position.y); }

void Win32Platform::showCursor(bool show) { ShowCursor(show ? TRUE : FALSE); }

// The whole path, however long: a path cut short would name another file.
std::string Win32Platform::modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(thisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return utf8FromWide(path);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

void Win32Platform::openWithShell(const std::string& target) {
  const std::wstring wide = wideFromUtf8(target).value_or(wideFromAnsi(target));
  const HostFloatScope hostSettings;
  ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace rillmark
