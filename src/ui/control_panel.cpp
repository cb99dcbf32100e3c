#include "ui/control_panel.h"

#include <type_traits>

#include "base/error.h"
#include "commands/preset_commands.h"
#include "commands/run_commands.h"
#include "ui/about_window.h"
#include "ui/pictures.h"
#include "ui/toolkit/backend.h"

namespace rillmark {

namespace {

using ui::Rect;

Platform& requirePlatform() {
  Platform* p = activePlatform();
  if (p == nullptr) throw Error("The plug-in has no platform to run on");
  return *p;
}

ui::Font boldFont() {
  ui::Font f;
  f.bold = true;
  return f;
}

// Captions and values of the spinners are white on their dark strip.
ui::Font spinnerFont() {
  ui::Font f;
  f.color = ui::kWhite;
  return f;
}

constexpr ui::Color kSpinnerEditColor{114, 114, 114};

// The x beyond the client area where the panel keeps what it hides.
constexpr int kInfoPanelShown = 6;
constexpr int kInfoPanelHidden = 182;

}  // namespace

SimulationState& ModuleSimulation() {
  static SimulationState state;
  return state;
}

TForm1::TForm1(void* parentWindow)
    : TtsxForm(parentWindow),
      state_(ModuleSimulation()),
      commands_(state_, Params, Effectors, *this, requirePlatform()),
      run_{state_, Params, *this, requirePlatform(), Effectors} {
  setName("Form1");
  setCaption("Rillmark");
  setBorderStyle(ui::BorderStyle::ToolWindow);
  setPosition({190, 102});
  setClientSize({kClientWidth, kClientHeight});
  setFont(ui::Font{});

  disableAlign();
  buildTabs();
  buildBottomPanel();
  buildStatusBar();
  buildInfoPanel();
  enableAlign();
  cancelButton = btnstop;

  onShow = [this](ui::Form& sender) { FormShow(sender); };
  onClose = [this](ui::Form& sender, ui::CloseAction& action) { FormClose(sender, action); };
}

// The windows go while the panel is whole: tearing them down may still
// deliver a focus change to a handler. The plug-in host may destroy the
// panel on unload; the variable must not keep pointing at it.
TForm1::~TForm1() {
  destroyHandle();
  if (Form1 == this) Form1 = nullptr;
}

Platform& TForm1::platform() const { return requirePlatform(); }

void TForm1::addButtons(ui::Control& parent, std::initializer_list<ButtonSpec> buttons) {
  for (const ButtonSpec& b : buttons) {
    auto* button = parent.add<ui::Button>();
    button->setName(b.name);
    button->setBounds(b.bounds);
    button->setCaption(b.caption);
    button->setFlat(b.flat);
    button->setPicture(b.picture, b.greyed);
    button->onClick = [this, click = b.click](ui::Control& s) { (this->*click)(s); };
    if (b.hint != nullptr) setHint(*button, b.hint);
    *b.button = button;
  }
}

// A parameter's control takes its name, its caption (from the model) and
// its hint from the parameter table; the layout gives only its place.
template <class ControlType>
ControlType* TForm1::addParameterControl(ui::Control& parent, ParameterId id, Rect bounds) {
  const ParameterEntry& entry = parameterEntry(id);
  ControlType* control = nullptr;
  Params.visit(id, [&](auto& model) {
    if constexpr (std::is_constructible_v<ControlType, decltype(model)>) control = parent.add<ControlType>(model);
  });
  if (control == nullptr) throw Error("The control of " + std::string(entry.caption) + " shows another kind");
  control->setName(std::string(entry.control));
  control->setBounds(bounds);
  if (!entry.hint.empty()) setHint(*control, std::string(entry.hint));
  return control;
}

TGlideSpinner* TForm1::addSpinner(ui::Control& parent, ParameterId id, Rect bounds, int editWidth) {
  auto* s = addParameterControl<TGlideSpinner>(parent, id, bounds);
  s->setCaption(s->parameter().caption());
  s->setFont(spinnerFont());
  s->setEditColor(kSpinnerEditColor);
  s->Sens = 21;
  s->setEditWidth(editWidth);
  return s;
}

void TForm1::setHint(ui::Control& control, const std::string& hint) {
  control.setHint(hint);
  control.onMouseMove = [this](ui::Control& sender, int x, int y) { ControlMouseMove(sender, x, y); };
}

void TForm1::buildTabs() {
  PageControl1 = add<ui::PageControl>();
  PageControl1->setName("PageControl1");
  PageControl1->setBounds({0, 0, 180, 275});
  PageControl1->setAlign(ui::Align::Left);
  PageControl1->setHotTrack(true);
  TabSheet1 = PageControl1->addPage("TabSheet1", "Animation");
  TabSheet2 = PageControl1->addPage("TabSheet2", "Effectors");
  TabSheet3 = PageControl1->addPage("TabSheet3", "Wind");
  TabSheet2->setEnabled(false);
  PageControl1->onMouseUp = [this](ui::Control& s, ui::MouseButton b, int x, int y) { PageControl1MouseUp(s, b, x, y); };

  // The roll-up button's caption is the minimise symbol of the Marlett font.
  addButtons(*this, {{&BitBtn1, "BitBtn1", {158, 4, 19, 15}, "0", {}, nullptr, &TForm1::BitBtn1Click}});
  ui::Font marlett;
  marlett.name = "Marlett";
  marlett.bold = true;
  BitBtn1->setFont(marlett);

  buildAnimationPage();
  buildEffectorsPage();
  buildWindPage();
}

void TForm1::buildAnimationPage() {
  ui::TabSheet& page = *TabSheet1;
  addButtons(page, {
      {&btnselect, "btnselect", {0, 0, 101, 25}, "Select Water", pictures::WaterRipples, "Set Active Object as Water",
       &TForm1::btnselectClick},
      {&btneffector, "btneffector", {102, 0, 26, 25}, "", pictures::EffectorNew, "Create New Effector",
       &TForm1::btneffectorClick, true},
      {&btnshow, "btnshow", {128, 0, 22, 25}, "", pictures::EyeOpen, "Show Effector Objects", &TForm1::btnshowClick,
       true},
      {&btnhide, "btnhide", {150, 0, 22, 25}, "", pictures::EyeHalf, "Hide Effector Objects", &TForm1::btnhideClick,
       true},
  });

  Panel1 = page.add<ui::Panel>();
  Panel1->setName("Panel1");
  Panel1->setBounds({0, 30, 171, 217});
  Panel1->setBevels(ui::Bevel::Lowered, ui::Bevel::None);

  // Each spinner has its picture to its left, centred on its row.
  struct Row {
    ParameterId parameter;
    TGlideSpinner** spinner;
    int y;
    ui::Image** image;
    const char* imageName;
    ui::Picture picture;
  };
  const Row rows[] = {
      {ParameterId::amplitude, &spinamp, 13, &Image1, "Image1", pictures::ParamAmplitude},
      {ParameterId::wavelength, &spinfreq, 42, &Image2, "Image2", pictures::ParamWavelength},
      {ParameterId::speed, &spinvel, 71, &Image3, "Image3", pictures::ParamSpeed},
      {ParameterId::decay, &spindecay, 100, &Image4, "Image4", pictures::ParamDecay},
      {ParameterId::timeDecay, &spintimedecay, 129, &Image5, "Image5", pictures::ParamTimeDecay},
      {ParameterId::lifeSpan, &spinlat, 159, &Image6, "Image6", pictures::ParamLifeSpan},
  };
  for (const Row& row : rows) {
    auto* image = Panel1->add<ui::Image>();
    image->setName(row.imageName);
    const int h = row.picture.size.height;
    image->setBounds({6, row.y + TGlideSpinner::kHeight / 2 - h / 2, row.picture.size.width, h});
    image->setPicture(row.picture);
    image->setFrame(ui::Bevel::Raised);
    *row.image = image;
    *row.spinner = addSpinner(*Panel1, row.parameter, {54, row.y, 112, TGlideSpinner::kHeight}, 34);
  }

  addButtons(*Panel1, {
      {&btnwater, "btnwater", {4, 187, 35, 24}, "", pictures::PresetWater, "Water Preset", &TForm1::btnwaterClick},
      {&BitBtn2, "BitBtn2", {40, 187, 35, 24}, "", pictures::PresetHoney, "Honey/Molasses Preset",
       &TForm1::BitBtn2Click},
      {&BitBtn5, "BitBtn5", {76, 187, 35, 24}, "", pictures::PresetSnow, "Snow/Mud Preset", &TForm1::BitBtn5Click},
      {&btnload, "btnload", {112, 187, 28, 24}, "", pictures::FolderOpen, "Load Parameters", &TForm1::btnloadClick},
      {&btnsave, "btnsave", {140, 187, 28, 24}, "", pictures::Diskette, "Save Parameters", &TForm1::btnsaveClick},
  });
}

void TForm1::buildEffectorsPage() {
  ui::TabSheet& page = *TabSheet2;
  listeffectors = page.add<EffectorCheckList>(Effectors);
  listeffectors->setName("listeffectors");
  listeffectors->setBounds({0, 2, 170, 221});
  listeffectors->setItemHeight(13);
  listeffectors->onClick = [this](ui::Control& s) { listeffectorsClick(s); };
  listeffectors->onKeyPress = [this](ui::Control& s, char& key) { listeffectorsKeyPress(s, key); };

  addButtons(page, {
      {&btnrefresh, "btnrefresh", {0, 224, 63, 24}, "Refresh", pictures::RefreshArrow, "Refresh List",
       &TForm1::btnrefreshClick},
      {&btnselbyname, "btnselbyname", {64, 224, 107, 24}, "Select by Name", pictures::TextCursor,
       "Select Effectors by Name", &TForm1::btnselbynameClick},
  });
}

void TForm1::buildWindPage() {
  ui::TabSheet& page = *TabSheet3;
  addButtons(page, {
      {&SpeedButton1, "SpeedButton1", {2, 4, 125, 25}, "Get/Make Source", pictures::EffectorNew,
       "Create/Identify Wind Source", &TForm1::SpeedButton1Click, true},
      {&btnshowwind, "btnshowwind", {128, 4, 22, 25}, "", pictures::EyeOpen, "Show Wind Source Object",
       &TForm1::btnshowwindClick, true},
      {&btnhidewind, "btnhidewind", {150, 4, 22, 25}, "", pictures::EyeHalf, "Hide Wind Source Object",
       &TForm1::btnhidewindClick, true},
  });
  boxwind = addParameterControl<FlagCheckBox>(page, ParameterId::wind, {26, 32, 121, 15});
  spinnoisescale = addSpinner(page, ParameterId::noiseScale, {26, 48, 120, 17}, 35);
  spinnoisetimescale = addSpinner(page, ParameterId::timeScale, {26, 64, 120, 17}, 35);
  spinoctaves = addSpinner(page, ParameterId::octaves, {26, 80, 120, 17}, 35);
  radiodisturbance = addParameterControl<ChoiceRadioGroup>(page, ParameterId::disturbanceType, {2, 100, 167, 125});
  boxspike = addParameterControl<FlagCheckBox>(page, ParameterId::sharp, {14, 228, 75, 17});
  boxinvert = addParameterControl<FlagCheckBox>(page, ParameterId::invert, {104, 228, 57, 17});
}

void TForm1::buildBottomPanel() {
  Panel2 = add<ui::Panel>();
  Panel2->setName("Panel2");
  Panel2->setBounds({0, 275, 180, 69});
  Panel2->setAlign(ui::Align::Bottom);

  boxrec = addParameterControl<FlagCheckBox>(*Panel2, ParameterId::recordKeys, {5, 4, 82, 17});
  boxrange = addParameterControl<FlagCheckBox>(*Panel2, ParameterId::checkRange, {91, 4, 86, 17});
  spinstart = addSpinner(*Panel2, ParameterId::start, {11, 24, 74, 17}, 30);
  spinend = addSpinner(*Panel2, ParameterId::end, {97, 24, 72, 17}, 30);

  // The run buttons show a greyed picture while disabled.
  addButtons(*Panel2, {
      {&btnstart, "btnstart", {0, 42, 25, 25}, "", pictures::RunPlay, "Start Simulation", &TForm1::btnstartClick,
       false, pictures::RunPlayDisabled},
      {&btncontinue, "btncontinue", {26, 42, 25, 25}, "", pictures::RunContinue, "Continue Simulation",
       &TForm1::btncontinueClick, false, pictures::RunContinueDisabled},
      {&btnstop, "btnstop", {52, 42, 25, 25}, "", pictures::RunStop, "Stop Simulation (also ESC key)",
       &TForm1::btnstopClick, false, pictures::RunStopDisabled},
      {&btndelanim, "btndelanim", {78, 42, 25, 25}, "", pictures::RunErase, "Erase Vertex Animation",
       &TForm1::btndelanimClick, false, pictures::RunEraseDisabled},
  });
  btnstart->setEnabled(false);
  btncontinue->setEnabled(false);
  btnstop->setEnabled(false);

  spinstep = addSpinner(*Panel2, ParameterId::step, {108, 46, 66, 17}, 20);
}

void TForm1::buildStatusBar() {
  Statusbar = add<ui::Panel>();
  Statusbar->setName("Statusbar");
  Statusbar->setBounds({0, 344, 180, 19});
  Statusbar->setAlign(ui::Align::Bottom);
  Statusbar->setBevels(ui::Bevel::None, ui::Bevel::Lowered);
  Statusbar->setCaptionAlign(ui::TextAlign::Left);
  Statusbar->onDblClick = [this](ui::Control& s) { StatusbarDblClick(s); };

  addButtons(*Statusbar, {
      {&btninfo, "btninfo", {145, 2, 17, 17}, "i", {}, "Show or Hide Simulation Information", &TForm1::btninfoClick},
      {&Button1, "Button1", {162, 2, 17, 17}, "?", {}, "Show Online Help", &TForm1::Button1Click},
  });
  btninfo->setFont(boldFont());
  Button1->setFont(boldFont());

  boxparams = add<ui::ListBox>();
  boxparams->setName("boxparams");
  boxparams->setBounds({184, 2, 81, 135});
}

void TForm1::buildInfoPanel() {
  panelinfo = add<ui::Panel>();
  panelinfo->setName("panelinfo");
  panelinfo->setBounds({kInfoPanelHidden, 56, 166, 215});
  panelinfo->setBevels(ui::Bevel::None, ui::Bevel::Lowered);

  auto* title = panelinfo->add<ui::Label>();
  title->setName("Label1");
  title->setBounds({20, 6, 130, 13});
  title->setCaption("Simulation Information");
  title->setFont(boldFont());

  struct Row {
    int y;
    const char* caption;
    bool bold;
    ui::Label** value;
    const char* name;
  };
  const Row rows[] = {
      {24, "Total Events:", false, &labevents, "labevents"}, {42, "Events/sec:", false, &labevsec, "labevsec"},
      {66, "Proc. Verts:", false, &labverts, "labverts"},    {84, "Verts/Sec:", false, &labvertsec, "labvertsec"},
      {108, "Frames:", false, &labframes, "labframes"},      {126, "Time/Frame:", false, &labtpf, "labtpf"},
      {150, "Tot. Time:", true, &labtime, "labtime"},        {168, "Time Left:", true, &labetime, "labetime"},
  };
  int captionNumber = 2;
  for (const Row& row : rows) {
    auto* caption = panelinfo->add<ui::Label>();
    caption->setName("Label" + std::to_string(captionNumber++));
    caption->setBounds({5, row.y, 77, 17});
    caption->setCaption(row.caption);
    caption->setAlignment(ui::TextAlign::Center);
    caption->setSunken(true);
    if (row.bold) caption->setFont(boldFont());
    auto* value = panelinfo->add<ui::Label>();
    value->setName(row.name);
    value->setBounds({83, row.y, 77, 17});
    value->setAlignment(ui::TextAlign::Center);
    value->setSunken(true);
    *row.value = value;
  }
  addButtons(*panelinfo, {{&btninfoclose, "btninfoclose", {45, 190, 75, 21}, "Ok", {}, nullptr,
                            &TForm1::btninfocloseClick}});
}

// ----- the panel's own handlers ---------------------------------------------

void TForm1::FormShow(ui::Form&) {
  resetForFormShow(state_);
  commands_.EffectorCount = 0;
  compact_ = false;
}

// A close that arrives while a run pumps messages stops the run, as the
// Stop button does; the panel goes once the frame loop has left
// (runThenFinishClose).
void TForm1::FormClose(ui::Form&, ui::CloseAction& action) {
  if (Form1 == this) Form1 = nullptr;
  if (state_.RunInProgress) {
    rillmark::btnstopClick(run_);
    closeAfterRun_ = true;
    action = ui::CloseAction::Hide;
    return;
  }
  action = ui::CloseAction::Free;
}

void TForm1::PageControl1MouseUp(ui::Control&, ui::MouseButton, int, int) { setRolledUp(false); }

void TForm1::BitBtn1Click(ui::Control&) { setRolledUp(!compact_); }

void TForm1::StatusbarDblClick(ui::Control&) { setRolledUp(!compact_); }

// The outer heights are those of a classic Windows frame; the client area
// keeps the same difference under any frame, so the bottom panel and the
// status bar always stay in view.
void TForm1::setRolledUp(bool compact) {
  compact_ = compact;
  const int height = kClientHeight - (kFullHeight - (compact ? kCompactHeight : kFullHeight));
  setClientSize({kClientWidth, height});
}

void TForm1::ControlMouseMove(ui::Control& sender, int, int) { Statusbar->setCaption(sender.hint()); }

void TForm1::runThenFinishClose(void (*run)(RunContext&)) {
  // A run that fails after the panel was closed still lets it go; the
  // error then reaches the handler's boundary, which shows it.
  try {
    run(run_);
  } catch (...) {
    finishClose();
    throw;
  }
  finishClose();
}

void TForm1::finishClose() {
  if (closeAfterRun_ && !state_.RunInProgress) release();  // may delete this: nothing may follow
}

void TForm1::btnstartClick(ui::Control&) { runThenFinishClose(&rillmark::btnstartClick); }
void TForm1::btncontinueClick(ui::Control&) { runThenFinishClose(&rillmark::btncontinueClick); }
void TForm1::btnstopClick(ui::Control&) { rillmark::btnstopClick(run_); }
void TForm1::btndelanimClick(ui::Control&) { rillmark::btndelanimClick(run_); }

void TForm1::btnwaterClick(ui::Control&) { rillmark::btnwaterClick(Params); }
void TForm1::BitBtn2Click(ui::Control&) { rillmark::BitBtn2Click(Params); }
void TForm1::BitBtn5Click(ui::Control&) { rillmark::BitBtn5Click(Params); }

void TForm1::btnloadClick(ui::Control&) {
  rillmark::btnloadClick(Params, platform(), boxparams->items());
  boxparams->itemsChanged();
}

void TForm1::btnsaveClick(ui::Control&) {
  rillmark::btnsaveClick(Params, platform(), boxparams->items());
  boxparams->itemsChanged();
}

void TForm1::btninfoClick(ui::Control&) {
  const bool show = panelinfo->bounds().x != kInfoPanelShown;
  panelinfo->setLeft(show ? kInfoPanelShown : kInfoPanelHidden);
  state_.Counters.InfoPanelVisible = show;
}

void TForm1::btninfocloseClick(ui::Control&) { btninfo->click(); }

void TForm1::Button1Click(ui::Control&) {
  if (ShowAboutWindow) ShowAboutWindow();
}

// ----- what the run and the scene commands report ---------------------------

void TForm1::setStatusText(std::string_view text) { Statusbar->setCaption(std::string(text)); }

void TForm1::processMessages() {
  if (ui::Backend* b = ui::backend()) b->processMessages();
}

void TForm1::showStatistic(StatisticLabel label, std::string_view text) {
  ui::Label* const labels[] = {labevents, labevsec, labverts, labvertsec, labframes, labtpf, labtime, labetime};
  labels[static_cast<int>(label)]->setCaption(std::string(text));
}

void TForm1::repaintInfoPanel() {
  panelinfo->repaint(true);
  // Shown together, the two tell the same frame: the status bar's paced
  // repaint is brought forward to the information panel's.
  if (state_.Counters.InfoPanelVisible) Statusbar->repaint(true);
}

void TForm1::setSelectCaption(std::string_view caption) { btnselect->setCaption(std::string(caption)); }

void TForm1::enableContinueAndStop() {
  btncontinue->setEnabled(true);
  btnstop->setEnabled(true);
}

void TForm1::enableStartAndEffectors() {
  btnstart->setEnabled(true);
  TabSheet2->setEnabled(true);
}

int TForm1::currentEffectorItem() { return listeffectors->itemIndex(); }

}  // namespace rillmark
