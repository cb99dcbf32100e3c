#include "ui/about_window.h"

#include "platform/platform.h"
#include "ui/pictures.h"

namespace rillmark {

namespace {

constexpr ui::Color kGolden{232, 206, 102};
constexpr ui::Color kLinkBlue{128, 128, 255};

ui::Font arial(int height, ui::Color color) {
  ui::Font f;
  f.name = "Arial";
  f.height = height;
  f.color = color;
  return f;
}

ui::Label* addLabel(ui::Control& parent, const char* name, ui::Rect bounds, const std::string& caption,
                    const ui::Font& font) {
  auto* label = parent.add<ui::Label>();
  label->setName(name);
  label->setBounds(bounds);
  label->setCaption(caption);
  label->setFont(font);
  label->setTransparent(true);
  return label;
}

}  // namespace

std::string OnlineReferencePath(const std::string& modulePath) {
  const auto separator = modulePath.find_last_of("\\/");
  const std::string folder = separator == std::string::npos ? std::string() : modulePath.substr(0, separator + 1);
  return folder + kOnlineReferenceFile;
}

void OpenOnlineReference() {
  if (Platform* p = activePlatform()) p->openWithShell(OnlineReferencePath(p->modulePath()));
}

TURLLabel::TURLLabel() {
  ui::Font f = arial(13, kLinkBlue);
  f.underline = true;
  setFont(f);
  setTransparent(true);
  setCursor(Cursor::Hand);
  onClick = [this](ui::Control&) {
    if (address.empty()) {
      OpenOnlineReference();
    } else if (Platform* p = activePlatform()) {
      p->openWithShell(address);
    }
  };
}

Tform2::Tform2(void* parentWindow) : TtsxForm(parentWindow) {
  setName("form2");
  setCaption("Rillmark Online Help");
  setBorderStyle(ui::BorderStyle::ToolWindow);
  setClientSize({390, 240});
  setColor(ui::kBlack);
  ui::Font text;
  text.color = ui::kWhite;
  setFont(text);
  centreOnScreen = true;

  Image1 = add<ui::Image>();
  Image1->setName("Image1");
  Image1->setBounds({0, 0, 127, 240});
  Image1->setAlign(ui::Align::Left);
  Image1->setPicture(pictures::AboutImage);

  ui::Font title = arial(21, kGolden);
  title.bold = true;
  title.italic = true;
  Label1 = addLabel(*this, "Label1", {6, 66, 118, 24}, "Rillmark", title);
  const ui::Font white = arial(13, ui::kWhite);
  // The lines may run past the picture onto the black beside it.
  Label2 = addLabel(*this, "Label2", {8, 88, 138, 16}, "Rillmark developers", white);
  addLabel(*this, "Label3", {19, 140, 125, 16}, "The Professional", white);
  addLabel(*this, "Label4", {19, 153, 125, 16}, "choice for Ripple", white);
  addLabel(*this, "Label5", {5, 168, 140, 16}, "and Wake Simulation", white);

  Memo1 = add<ui::Memo>();
  Memo1->setName("Memo1");
  Memo1->setBounds({150, 4, 235, 157});
  Memo1->setReadOnly(true);
  Memo1->setBorder(false);
  Memo1->setColor(ui::kBlack);
  Memo1->setLines({
      "Rillmark is the Ultimate Ripple and Wake",
      "Simulation Plug-in for trueSpace.",
      "",
      "Credits",
      "Written by the Rillmark developers:",
      "the ripple simulation, the control panel",
      "and its pictures, and the online reference.",
      "",
      "The online reference, Index.htm, lies in",
      "the folder of the plug-in itself.",
  });

  Panel1 = add<ui::Panel>();
  Panel1->setName("Panel1");
  Panel1->setBounds({136, 160, 247, 77});
  Panel1->setBevels(ui::Bevel::None, ui::Bevel::None);
  Panel1->setColor(ui::kBlack);

  TransparentButton1 = Panel1->add<TTransparentButton>();
  TransparentButton1->setName("TransparentButton1");
  TransparentButton1->setBounds({38, 12, 183, 23});
  TransparentButton1->setCaption("Press Here for Online Reference");
  TransparentButton1->onClick = [this](ui::Control& s) { TransparentButton1Click(s); };

  addLabel(*Panel1, "Label6", {20, 42, 70, 16}, "For More", white);
  addLabel(*Panel1, "Label7", {13, 58, 75, 16}, "Information:", white);

  // The project has a guide of its own but no web site or mail address: the
  // web link opens the guide, and the mail line says that there is none.
  URLLabel1 = Panel1->add<TURLLabel>();
  URLLabel1->setName("URLLabel1");
  URLLabel1->setBounds({96, 44, 140, 16});
  URLLabel1->setCaption(kOnlineReferenceFile);
  URLLabel2 = addLabel(*Panel1, "URLLabel2", {89, 59, 150, 16}, "(no mail address)", white);
}

Tform2::~Tform2() {
  destroyHandle();
  if (form2 == this) form2 = nullptr;
}

void Tform2::TransparentButton1Click(ui::Control&) { OpenOnlineReference(); }

}  // namespace rillmark
