// Tform2: the About window the "?" button opens. It presents the plug-in
// on a black tool window at the centre of the screen and offers the online
// reference, the user guide "Index.htm" that is installed beside the
// plug-in's own module. There is one instance; closing it hides it, and the
// plug-in host destroys it when the library is unloaded.
#pragma once

#include <functional>
#include <string>

#include "ui/toolkit/button.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/memo.h"
#include "ui/toolkit/panel.h"
#include "ui/tsx_forms.h"

namespace rillmark {

inline constexpr const char* kOnlineReferenceFile = "Index.htm";

// The online reference beside a module file: the file's directory, up to
// and including its last path separator, then "Index.htm".
std::string OnlineReferencePath(const std::string& modulePath);

// A flat button drawn over its parent's background with a light frame.
class TTransparentButton : public ui::Button {
 public:
  TTransparentButton() { setTransparent(true); }
};

// A hyperlink: underlined, light blue, with a hand pointer. A click asks
// the shell to open the label's address.
class TURLLabel : public ui::Label {
 public:
  TURLLabel();
  // What a click opens; empty: the reference beside the module.
  std::string address;
};

class Tform2 : public TtsxForm {
 public:
  explicit Tform2(void* parentWindow);
  ~Tform2() override;

  ui::Image* Image1;
  ui::Label* Label1;
  ui::Label* Label2;
  ui::Memo* Memo1;
  ui::Panel* Panel1;
  TTransparentButton* TransparentButton1;
  TURLLabel* URLLabel1;
  ui::Label* URLLabel2;

  void TransparentButton1Click(ui::Control& sender);
};

// The About window's variable: the window while it exists, else null.
inline Tform2* form2 = nullptr;

// Shows the About window, building it on first use. The shell installs
// it (the window has to be listed with the plug-in host); until then the
// "?" button does nothing.
inline std::function<void()> ShowAboutWindow;

// Opens the online reference beside this plug-in's module.
void OpenOnlineReference();

}  // namespace rillmark
