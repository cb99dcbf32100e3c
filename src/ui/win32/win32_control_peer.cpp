// The peer of every control but the form. Native controls are subclassed,
// so the user's mouse and keys reach the widget model before the control's
// own handling; windows of this module's control class (panels, pages,
// pictures, custom-drawn controls) are painted here.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "base/float_control.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/canvas.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/list_box.h"
#include "ui/toolkit/memo.h"
#include "ui/toolkit/page_control.h"
#include "ui/toolkit/panel.h"
#include "ui/toolkit/radio_group.h"
#include "ui/win32/gdi_resources.h"
#include "ui/win32/repaint_pacer.h"
#include "ui/win32/win32_peers.h"

namespace rillmark::ui::win32 {

namespace {

// The window procedure a subclassed native control had before.
constexpr const char* kOriginalProcProperty = "Rillmark.Proc";

int xOf(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int yOf(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

RECT rectOf(Rect r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// The colour a control shows where it has none of its own: its nearest
// ancestor's, else the face colour.
COLORREF backgroundOf(const Control* c) {
  for (; c != nullptr; c = c->parent())
    if (c->color()) return colorRef(*c->color());
  return GetSysColor(COLOR_BTNFACE);
}

// What lies under a transparent control, painted into dc at the control's
// own origin: what its parent paints beneath its children (the colour of
// the nearest ancestor that has one, where the parent paints nothing of its
// own), then the pictures of the earlier (lower) siblings it overlaps.
void paintBackdrop(HDC dc, const Control& c) {
  const Control* parent = c.parent();
  const Rect mine = c.bounds();
  POINT origin{};
  OffsetViewportOrgEx(dc, -mine.x, -mine.y, &origin);
  Win32Peer* parentPeer = parent != nullptr ? peerOf(static_cast<HWND>(parent->nativeHandle())) : nullptr;
  if (parentPeer == nullptr || !parentPeer->paintBackground(dc)) {
    const RECT all{mine.x, mine.y, mine.right(), mine.bottom()};
    HBRUSH brush = CreateSolidBrush(backgroundOf(parent));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  if (parent != nullptr) {
    for (const auto& sibling : parent->children()) {
      if (sibling.get() == &c) break;
      if (sibling->kind() != ControlKind::Image || !sibling->visible()) continue;
      const Rect theirs = sibling->bounds();
      const bool overlaps = theirs.x < mine.right() && mine.x < theirs.right() && theirs.y < mine.bottom() &&
                            mine.y < theirs.bottom();
      if (overlaps) drawPicture(dc, theirs.x, theirs.y, static_cast<const Image&>(*sibling).picture());
    }
  }
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\r\n" : "") + lines[i];
  return text;
}

// Draws what a custom control paints into a device context.
class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  void fillRect(Rect area, Color color) override {
    const RECT r = rectOf(area);
    FillRect(dc_, &r, brushFor(color));
  }
  void drawText(Rect area, const std::string& text, const Font& font, TextAlign align) override {
    drawTextLine(dc_, rectOf(area), text.c_str(), font, align);
  }
  void drawPicture(Point at, const Picture& picture) override { win32::drawPicture(dc_, at.x, at.y, picture); }
  void drawBevel(Rect area, Bevel bevel) override { win32::drawBevel(dc_, rectOf(area), bevel); }

 private:
  HDC dc_;
};

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32ControlPeer : public ControlPeer, public Win32Peer {
 public:
  explicit Win32ControlPeer(Control& control) : control_(control) {
    registerClasses();
    create();
  }

  ~Win32ControlPeer() override {
    if (window_ == nullptr) return;
    HWND window = window_;
    window_ = nullptr;
    for (HWND radio : radios_) forget(radio);
    forget(window);
    DestroyWindow(window);
  }

  HWND window() const override { return window_; }
  void* handle() const override { return window_; }

  void sync(Property property) override {
    if (window_ == nullptr || detached_) return;
    switch (property) {
      case Property::Bounds: {
        const Rect b = control_.bounds();
        MoveWindow(window_, b.x, b.y, b.width, b.height, TRUE);
        layoutRadios();
        break;
      }
      case Property::Caption:
        SetWindowTextA(window_, control_.caption().c_str());
        captionRepaints_.captionChanged(window_);
        break;
      case Property::Enabled:
        EnableWindow(window_, control_.enabled() ? TRUE : FALSE);
        break;
      case Property::Visible:
        ShowWindow(window_, control_.visible() ? SW_SHOWNA : SW_HIDE);
        break;
      case Property::Font:
        applyFont();
        break;
      case Property::Checked:
        if (control_.kind() == ControlKind::CheckBox)
          SendMessageA(window_, BM_SETCHECK, static_cast<CheckBox&>(control_).checked() ? BST_CHECKED : BST_UNCHECKED,
                       0);
        break;
      case Property::Items:
        syncItems();
        break;
      case Property::ItemIndex:
        syncItemIndex();
        break;
      case Property::Text:
        syncingText_ = true;
        if (control_.kind() == ControlKind::Edit)
          SetWindowTextA(window_, static_cast<Edit&>(control_).text().c_str());
        if (control_.kind() == ControlKind::Memo)
          SetWindowTextA(window_, joinedLines(static_cast<Memo&>(control_).lines()).c_str());
        syncingText_ = false;
        break;
      case Property::Appearance:
        InvalidateRect(window_, nullptr, TRUE);
        break;
    }
  }

  void repaint(bool now) override {
    if (window_ == nullptr) return;
    InvalidateRect(window_, nullptr, TRUE);
    if (now) UpdateWindow(window_);
  }

  void setFocus() override {
    if (window_ == nullptr) return;
    if (!radios_.empty()) {
      const int index = static_cast<RadioGroup&>(control_).itemIndex();
      SetFocus(radios_[index >= 0 && index < static_cast<int>(radios_.size()) ? index : 0]);
      return;
    }
    SetFocus(window_);
  }

  bool focused() const override {
    HWND focus = GetFocus();
    if (focus == nullptr) return false;
    if (focus == window_) return true;
    for (HWND radio : radios_)
      if (focus == radio) return true;
    return false;
  }

  void selectAllText() override {
    if (window_ != nullptr && control_.kind() == ControlKind::Edit) SendMessageA(window_, EM_SETSEL, 0, -1);
  }

  void detach() override { detached_ = true; }

  // ----- notifications, handed back by the parent window -------------------

  void command(HWND from, WORD code) override {
    if (detached_) return;
    switch (control_.kind()) {
      case ControlKind::Button:
        if (code == BN_CLICKED) control_.click();
        break;
      case ControlKind::CheckBox:
        if (code == BN_CLICKED) static_cast<CheckBox&>(control_).toggleByUser();
        break;
      case ControlKind::RadioGroup:
        if (code == BN_CLICKED)
          for (std::size_t i = 0; i < radios_.size(); ++i)
            if (radios_[i] == from) static_cast<RadioGroup&>(control_).chooseByUser(static_cast<int>(i));
        break;
      case ControlKind::Edit:
        if (code == EN_CHANGE && !syncingText_) static_cast<Edit&>(control_).handleTextChanged(windowText());
        break;
      case ControlKind::Label:
        if (code == STN_CLICKED) control_.click();
        break;
      case ControlKind::CheckListBox:
        // A press of the mouse is reported as a click when it is released.
        if (code == LBN_SELCHANGE && !mousePress_)
          static_cast<CheckListBox&>(control_).selectItemByUser(
              static_cast<int>(SendMessageA(window_, LB_GETCURSEL, 0, 0)));
        break;
      case ControlKind::ListBox:
        if (code == LBN_SELCHANGE) {
          static_cast<ListBox&>(control_).setItemIndex(static_cast<int>(SendMessageA(window_, LB_GETCURSEL, 0, 0)));
          control_.handleClick();
        }
        break;
      default:
        break;
    }
  }

  LRESULT notify(const NMHDR& header) override {
    if (!detached_ && control_.kind() == ControlKind::PageControl && header.code == TCN_SELCHANGE)
      static_cast<PageControl&>(control_).selectPageByUser(static_cast<int>(SendMessageA(window_, TCM_GETCURSEL, 0, 0)));
    return 0;
  }

  void drawItem(const DRAWITEMSTRUCT& item) override {
    if (control_.kind() == ControlKind::Button) drawButton(item);
    if (control_.kind() == ControlKind::CheckListBox) drawCheckItem(item);
  }

  HBRUSH controlColour(HDC dc) override {
    const Font& font = control_.font();
    if (font.color) SetTextColor(dc, colorRef(*font.color));
    if (control_.color()) {
      SetBkColor(dc, colorRef(*control_.color()));
      return brushFor(*control_.color());
    }
    if (font.color && control_.kind() != ControlKind::Edit) {
      const COLORREF back = backgroundOf(control_.parent());
      SetBkColor(dc, back);
      return brushFor(Color{GetRValue(back), GetGValue(back), GetBValue(back)});
    }
    return nullptr;
  }

  // ----- messages of this peer's windows -----------------------------------

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (!detached_ && reflectToChild(message, wParam, lParam, reflected)) return reflected;
    if (message == WM_NCDESTROY) {
      const LRESULT result = callOriginal(window, message, wParam, lParam);
      forget(window);
      if (window == window_) {
        window_ = nullptr;
        captionRepaints_ = {};  // its timer went with the window
      }
      return result;
    }
    if (detached_) return callOriginal(window, message, wParam, lParam);

    switch (message) {
      case WM_ERASEBKGND:
        if (ownClass_ || isGroupBox(window)) return 1;  // painted whole in WM_PAINT
        break;
      case WM_PAINT:
        if (ownClass_) {
          paintOwnWindow();
          return 0;
        }
        if (isGroupBox(window)) {
          paintGroupBox();
          return 0;
        }
        break;
      case WM_TIMER:
        if (window == window_ && captionRepaints_.timer(window, wParam)) return 0;
        break;
      case WM_MOUSEMOVE:
        mouseMoved(lParam);
        break;
      case WM_MOUSELEAVE:
        hot_ = false;
        InvalidateRect(window_, nullptr, FALSE);
        break;
      case WM_SETCURSOR:
        if (control_.cursor() == Control::Cursor::Hand && LOWORD(lParam) == HTCLIENT) {
          SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
          return TRUE;
        }
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        return leftButtonDown(window, message, wParam, lParam);
      case WM_RBUTTONDOWN:
        control_.handleMouseDown(MouseButton::Right, pointIn(window, lParam));
        break;
      case WM_LBUTTONUP:
        return leftButtonUp(window, message, wParam, lParam);
      case WM_RBUTTONUP:
        control_.handleMouseUp(MouseButton::Right, pointIn(window, lParam));
        break;
      case WM_KEYDOWN:
        if (dialogKey(control_, wParam)) {
          swallowChar_ = true;
          return 0;
        }
        break;
      case WM_CHAR: {
        if (swallowChar_) {
          swallowChar_ = false;
          return 0;
        }
        if (wParam > 0xFF) break;
        char key = static_cast<char>(wParam);
        control_.handleKeyPress(key);
        if (key == 0) return 0;
        wParam = static_cast<unsigned char>(key);
        break;
      }
      case WM_KILLFOCUS: {
        const LRESULT result = callOriginal(window, message, wParam, lParam);
        control_.handleFocusLost();
        return result;
      }
      default:
        break;
    }
    return callOriginal(window, message, wParam, lParam);
  }

  bool paintBackground(HDC dc) override {
    if (!ownClass_ || window_ == nullptr) return false;
    RECT client{};
    GetClientRect(window_, &client);
    paintContent(dc, client);
    return true;
  }

  void attach(HWND window) {
    window_ = window;
    SetPropA(window, kPeerProperty, static_cast<Win32Peer*>(this));
  }

 private:
  // The radio group's own window (not one of its radio buttons).
  bool isGroupBox(HWND window) const { return window == window_ && control_.kind() == ControlKind::RadioGroup; }
  void create() {
    HWND parent = static_cast<HWND>(control_.parent() != nullptr ? control_.parent()->nativeHandle() : nullptr);
    if (parent == nullptr) throw Error("The control \"" + control_.name() + "\" has no parent window");
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (control_.visible()) style |= WS_VISIBLE;
    if (!control_.enabled()) style |= WS_DISABLED;
    if (control_.tabStop()) style |= WS_TABSTOP;
    DWORD exStyle = 0;
    const char* cls = kControlClass;
    const std::string& caption = control_.caption();
    switch (control_.kind()) {
      case ControlKind::Button:
        cls = "BUTTON";
        style |= BS_OWNERDRAW;
        break;
      case ControlKind::CheckBox:
        cls = "BUTTON";
        style |= BS_CHECKBOX;
        break;
      case ControlKind::RadioGroup:
        cls = "BUTTON";
        style = (style & ~WS_TABSTOP) | BS_GROUPBOX;
        break;
      case ControlKind::ListBox:
        cls = "LISTBOX";
        style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::CheckListBox:
        cls = "LISTBOX";
        style |= LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Edit:
        cls = "EDIT";
        style |= ES_AUTOHSCROLL | WS_BORDER;
        break;
      case ControlKind::Memo: {
        cls = "EDIT";
        const auto& memo = static_cast<Memo&>(control_);
        style |= ES_MULTILINE | ES_AUTOVSCROLL;
        if (memo.readOnly()) style |= ES_READONLY;
        if (memo.border()) style |= WS_BORDER;
        break;
      }
      case ControlKind::Label: {
        const auto& label = static_cast<Label&>(control_);
        if (label.transparent()) {
          ownClass_ = true;
          break;
        }
        cls = "STATIC";
        style |= SS_NOTIFY;
        style |= SS_NOPREFIX | SS_CENTERIMAGE;
        style |= label.alignment() == TextAlign::Center  ? SS_CENTER
                 : label.alignment() == TextAlign::Right ? SS_RIGHT
                                                         : SS_LEFT;
        if (label.sunken()) style |= SS_SUNKEN;
        break;
      }
      case ControlKind::PageControl:
        cls = WC_TABCONTROLA;
        style |= WS_CLIPCHILDREN;
        if (static_cast<PageControl&>(control_).hotTrack()) style |= TCS_HOTTRACK;
        break;
      default:
        style |= WS_CLIPCHILDREN;
        ownClass_ = true;
        break;
    }
    const Rect b = control_.bounds();
    window_ = CreateWindowExA(exStyle, cls, caption.c_str(), style, b.x, b.y, b.width, b.height, parent, nullptr,
                              thisModule(), ownClass_ ? this : nullptr);
    if (window_ == nullptr)
      throw Error("The control \"" + control_.name() + "\" could not be created (error " +
                  std::to_string(GetLastError()) + ")");
    if (!ownClass_) {
      attach(window_);
      subclass(window_);
    }
    SetPropA(window_, kNameProperty, const_cast<char*>(control_.name().c_str()));
    // Later controls lie above earlier ones, as the widget model has it.
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    applyFont();
    if (control_.kind() == ControlKind::CheckListBox)
      SendMessageA(window_, LB_SETITEMHEIGHT, 0, static_cast<CheckListBox&>(control_).itemHeight());
    // Narrow tabs, so the row leaves room at its right end (the panel puts
    // its roll-up button there).
    if (control_.kind() == ControlKind::PageControl) SendMessageA(window_, TCM_SETPADDING, 0, MAKELPARAM(4, 3));
    syncItems();
    syncItemIndex();
    sync(Property::Checked);
    sync(Property::Text);
  }

  void subclass(HWND window) {
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlWindowProc)));
    SetPropA(window, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
  }

  // Takes this peer's hands off a window: its own procedure back, no props.
  static void forget(HWND window) {
    if (auto original = reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProcProperty))) {
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropA(window, kOriginalProcProperty);
    }
    RemovePropA(window, kPeerProperty);
    RemovePropA(window, kNameProperty);
  }

  static LRESULT callOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto original = reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProcProperty)))
      return CallWindowProcA(original, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void applyFont() {
    const auto font = reinterpret_cast<WPARAM>(fontFor(control_.font()));
    SendMessageA(window_, WM_SETFONT, font, TRUE);
    for (HWND radio : radios_) SendMessageA(radio, WM_SETFONT, font, TRUE);
  }

  std::string windowText() const {
    const int length = GetWindowTextLengthA(window_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
  }

  void syncItems() {
    switch (control_.kind()) {
      case ControlKind::ListBox: {
        SendMessageA(window_, LB_RESETCONTENT, 0, 0);
        for (const std::string& item : static_cast<ListBox&>(control_).items())
          SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        break;
      }
      case ControlKind::CheckListBox: {
        // The items are drawn from the model; the list box only counts them.
        auto& list = static_cast<CheckListBox&>(control_);
        const int count = list.itemCount();
        if (SendMessageA(window_, LB_GETCOUNT, 0, 0) != count) {
          SendMessageA(window_, LB_RESETCONTENT, 0, 0);
          for (int i = 0; i < count; ++i) SendMessageA(window_, LB_ADDSTRING, 0, i);
          syncItemIndex();
        }
        InvalidateRect(window_, nullptr, TRUE);
        break;
      }
      case ControlKind::RadioGroup:
        makeRadios();
        break;
      case ControlKind::PageControl: {
        auto& pages = static_cast<PageControl&>(control_);
        SendMessageA(window_, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < pages.pages().size(); ++i) {
          TCITEMA item{};
          item.mask = TCIF_TEXT;
          std::string text = pages.pages()[i]->caption();
          item.pszText = text.data();
          SendMessageA(window_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        break;
      }
      default:
        break;
    }
  }

  void syncItemIndex() {
    switch (control_.kind()) {
      case ControlKind::ListBox:
        SendMessageA(window_, LB_SETCURSEL, static_cast<ListBox&>(control_).itemIndex(), 0);
        break;
      case ControlKind::CheckListBox:
        SendMessageA(window_, LB_SETCURSEL, static_cast<CheckListBox&>(control_).itemIndex(), 0);
        break;
      case ControlKind::RadioGroup: {
        const int index = static_cast<RadioGroup&>(control_).itemIndex();
        for (std::size_t i = 0; i < radios_.size(); ++i)
          SendMessageA(radios_[i], BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      }
      case ControlKind::PageControl:
        SendMessageA(window_, TCM_SETCURSEL, static_cast<PageControl&>(control_).activePageIndex(), 0);
        break;
      default:
        break;
    }
  }

  // The group's items are radio buttons of its own, laid out evenly.
  void makeRadios() {
    for (HWND radio : radios_) {
      forget(radio);
      DestroyWindow(radio);
    }
    radios_.clear();
    const auto& group = static_cast<RadioGroup&>(control_);
    for (std::size_t i = 0; i < group.items().size(); ++i) {
      const Rect r = group.itemRect(static_cast<int>(i));
      HWND radio = CreateWindowExA(0, "BUTTON", group.items()[i].c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON, r.x, r.y, r.width, r.height,
                                   window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), thisModule(), nullptr);
      if (radio == nullptr) continue;
      SetPropA(radio, kPeerProperty, static_cast<Win32Peer*>(this));
      subclass(radio);
      radios_.push_back(radio);
    }
    applyFont();
    syncItemIndex();
  }

  void layoutRadios() {
    const auto* group = control_.kind() == ControlKind::RadioGroup ? &static_cast<RadioGroup&>(control_) : nullptr;
    for (std::size_t i = 0; group != nullptr && i < radios_.size(); ++i) {
      const Rect r = group->itemRect(static_cast<int>(i));
      MoveWindow(radios_[i], r.x, r.y, r.width, r.height, TRUE);
    }
  }

  // Mouse positions relative to the control itself (a radio button's are
  // moved into its group's coordinates).
  Point pointIn(HWND window, LPARAM lParam) const {
    POINT p{xOf(lParam), yOf(lParam)};
    if (window != window_) MapWindowPoints(window, window_, &p, 1);
    return {p.x, p.y};
  }

  void mouseMoved(LPARAM lParam) {
    const Point at{xOf(lParam), yOf(lParam)};
    if (control_.kind() == ControlKind::Button && !hot_) {
      hot_ = true;
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
      TrackMouseEvent(&track);
      if (static_cast<Button&>(control_).flat()) InvalidateRect(window_, nullptr, FALSE);
    }
    // The system repeats a move at the same place (after a click, when the
    // pointer is shown again); the model hears of real moves only.
    if (haveLastMove_ && at == lastMove_) return;
    haveLastMove_ = true;
    lastMove_ = at;
    control_.handleMouseMove(at);
  }

  LRESULT leftButtonDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Point at = pointIn(window, lParam);
    lastMove_ = at;
    haveLastMove_ = true;
    if (ownClass_ && control_.capturesMouse()) SetCapture(window_);
    if (control_.kind() == ControlKind::CheckListBox) {
      const auto hit = static_cast<DWORD>(SendMessageA(window_, LB_ITEMFROMPOINT, 0, lParam));
      pressIndex_ = HIWORD(hit) == 0 ? static_cast<int>(LOWORD(hit)) : -1;
      pressX_ = at.x;
      mousePress_ = true;
    }
    control_.handleMouseDown(MouseButton::Left, at);
    if (message == WM_LBUTTONDBLCLK && ownClass_) control_.handleDblClick();
    // A button takes a quick second click as a click of its own, not as the
    // double click some button styles report instead.
    const bool button = control_.kind() == ControlKind::Button || control_.kind() == ControlKind::CheckBox ||
                        control_.kind() == ControlKind::RadioGroup;
    if (message == WM_LBUTTONDBLCLK && button) message = WM_LBUTTONDOWN;
    return callOriginal(window, message, wParam, lParam);
  }

  LRESULT leftButtonUp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Point at = pointIn(window, lParam);
    if (ownClass_ && GetCapture() == window_) ReleaseCapture();
    control_.handleMouseUp(MouseButton::Left, at);
    // A label drawn here is clicked like a static control.
    if (ownClass_ && control_.kind() == ControlKind::Label &&
        Rect{0, 0, control_.width(), control_.height()}.contains(at))
      control_.click();
    const LRESULT result = callOriginal(window, message, wParam, lParam);
    if (control_.kind() == ControlKind::CheckListBox && mousePress_) {
      mousePress_ = false;
      static_cast<CheckListBox&>(control_).clickItemByUser(pressIndex_, pressX_);
    }
    return result;
  }

  // ----- drawing -------------------------------------------------------------

  void drawButton(const DRAWITEMSTRUCT& item) {
    const auto& button = static_cast<Button&>(control_);
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;
    if (button.transparent()) {
      paintBackdrop(dc, button);
      HBRUSH frame = CreateSolidBrush(pressed ? RGB(128, 128, 128) : RGB(192, 192, 192));
      FrameRect(dc, &r, frame);
      DeleteObject(frame);
    } else {
      FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
      if (!button.flat()) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
      } else if (pressed) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
      } else if (hot_ && enabled) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
      }
    }
    // Picture left of the caption, the pair centred; both move a pixel
    // down and right while the button is held.
    const Picture& picture = button.shownPicture();
    const std::string& caption = button.caption();
    SIZE text{0, 0};
    HGDIOBJ oldFont = SelectObject(dc, fontFor(button.font()));
    if (!caption.empty()) GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    SelectObject(dc, oldFont);
    const int gap = picture && !caption.empty() ? 4 : 0;
    const int total = picture.size.width + gap + text.cx;
    const int shift = pressed ? 1 : 0;
    int x = r.left + (r.right - r.left - total) / 2 + shift;
    if (picture) {
      drawPicture(dc, x, r.top + (r.bottom - r.top - picture.size.height) / 2 + shift, picture);
      x += picture.size.width + gap;
    }
    if (!caption.empty()) {
      RECT textArea{x, r.top + shift, x + text.cx + 1, r.bottom + shift};
      drawTextLine(dc, textArea, caption.c_str(), button.font(), TextAlign::Left, enabled);
    }
    // Small buttons have no room for a focus frame beside their glyph.
    if ((item.itemState & ODS_FOCUS) != 0 && !button.flat() && r.right - r.left >= 24 && r.bottom - r.top >= 24) {
      RECT focus = r;
      InflateRect(&focus, -4, -4);
      DrawFocusRect(dc, &focus);
    }
  }

  void drawCheckItem(const DRAWITEMSTRUCT& item) {
    const auto& list = static_cast<CheckListBox&>(control_);
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index >= list.itemCount()) {
      if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &r);
      return;
    }
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    const int box = CheckListBox::kCheckWidth;
    RECT check{r.left + 1, r.top + (r.bottom - r.top - box) / 2, r.left + 1 + box, 0};
    check.bottom = check.top + box;
    DrawFrameControl(dc, &check, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (list.itemChecked(index) ? DFCS_CHECKED : 0));
    RECT text{r.left + box + 3, r.top, r.right, r.bottom};
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (selected) FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
    Font font = list.font();
    if (selected) font.color = Color{GetRValue(GetSysColor(COLOR_HIGHLIGHTTEXT)),
                                     GetGValue(GetSysColor(COLOR_HIGHLIGHTTEXT)),
                                     GetBValue(GetSysColor(COLOR_HIGHLIGHTTEXT))};
    RECT textInset = text;
    textInset.left += 2;
    drawTextLine(dc, textInset, list.itemText(index).c_str(), font, TextAlign::Left);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &text);
  }

  // Panels, pages, pictures and custom controls, drawn off screen first so
  // a repaint during a run never flickers.
  void paintOwnWindow() {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(window_, &ps);
    RECT client{};
    GetClientRect(window_, &client);
    HDC dc = CreateCompatibleDC(target);
    HBITMAP buffer = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, buffer);
    paintContent(dc, client);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(buffer);
    DeleteDC(dc);
    EndPaint(window_, &ps);
  }

  // A group box draws only its frame and caption, and its parent clips it
  // out of its own painting (WS_CLIPCHILDREN), so nothing would paint the
  // rest: whatever an earlier page left on the screen would stay there.
  // What lies under the box is painted here first, off screen, and the
  // box's own procedure draws its frame and caption over it. The radio
  // buttons paint themselves whole and are left out.
  void paintGroupBox() {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(window_, &ps);
    RECT client{};
    GetClientRect(window_, &client);
    for (HWND radio : radios_) {
      if (!IsWindowVisible(radio)) continue;
      RECT r{};
      GetWindowRect(radio, &r);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
      ExcludeClipRect(target, r.left, r.top, r.right, r.bottom);
    }
    HDC dc = CreateCompatibleDC(target);
    HBITMAP buffer = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, buffer);
    paintBackdrop(dc, control_);
    callOriginal(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(buffer);
    DeleteDC(dc);
    EndPaint(window_, &ps);
  }

  void paintContent(HDC dc, RECT client) {
    switch (control_.kind()) {
      case ControlKind::Panel: {
        const auto& panel = static_cast<Panel&>(control_);
        FillRect(dc, &client, panel.color() ? brushFor(*panel.color()) : GetSysColorBrush(COLOR_BTNFACE));
        RECT edge = client;
        drawBevel(dc, edge, panel.bevelOuter());
        if (panel.bevelOuter() != Bevel::None) InflateRect(&edge, -1, -1);
        drawBevel(dc, edge, panel.bevelInner());
        if (!panel.caption().empty()) {
          RECT text = client;
          InflateRect(&text, -3, -1);
          drawTextLine(dc, text, panel.caption().c_str(), panel.font(), panel.captionAlign());
        }
        break;
      }
      case ControlKind::Image: {
        const auto& image = static_cast<Image&>(control_);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        // The frame is drawn over the picture's outermost pixels.
        drawPicture(dc, 0, 0, image.picture());
        drawBevel(dc, client, image.frame());
        break;
      }
      case ControlKind::Label: {
        const auto& label = static_cast<Label&>(control_);
        paintBackdrop(dc, label);
        drawTextLine(dc, client, label.caption().c_str(), label.font(), label.alignment());
        break;
      }
      case ControlKind::Custom: {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        GdiCanvas canvas(dc);
        control_.paint(canvas);
        break;
      }
      default:
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        break;
    }
  }

  Control& control_;
  HWND window_ = nullptr;
  std::vector<HWND> radios_;
  bool ownClass_ = false;
  bool detached_ = false;
  bool syncingText_ = false;
  bool swallowChar_ = false;
  bool hot_ = false;
  RepaintPacer captionRepaints_;
  bool haveLastMove_ = false;
  Point lastMove_;
  bool mousePress_ = false;
  int pressIndex_ = -1;
  int pressX_ = 0;
};

// Serves windows of the control class and subclassed native controls. An
// entry from the host like an export: the plug-in's floating-point settings
// hold inside, and an error escaping here must never unwind into the
// system's frames.
LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const PluginFloatScope floatScope;
  if (message == WM_NCCREATE) {
    if (auto* peer = static_cast<Win32ControlPeer*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams))
      peer->attach(window);
  }
  auto* peer = dynamic_cast<Win32ControlPeer*>(peerOf(window));
  if (peer == nullptr) {
    if (auto original = reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProcProperty)))
      return CallWindowProcA(original, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  try {
    return peer->handle(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace

WNDPROC controlProcedure() { return controlWindowProc; }

std::unique_ptr<ControlPeer> makeControlPeer(Control& control) { return std::make_unique<Win32ControlPeer>(control); }

}  // namespace rillmark::ui::win32
