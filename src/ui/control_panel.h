// TForm1: the control panel, the plug-in's one working window. The shell
// builds it on the user's left click on the plug-in's icon; closing it
// frees it, so the next click builds a new one with every start value.
//
// It holds the parameters (one model each, shown by its control), the
// effector list, three tabs of controls, the run buttons, a status bar
// with hints, and the information panel; every command of the plug-in
// runs inside one of its handlers. The scene commands and the run report
// back through the SetupView and RunView it implements.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "commands/run_context.h"
#include "commands/run_view.h"
#include "commands/scene_commands.h"
#include "params/parameter_set.h"
#include "scene/effector_list.h"
#include "sim/simulation_state.h"
#include "ui/glide_spinner.h"
#include "ui/parameter_controls.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/list_box.h"
#include "ui/toolkit/page_control.h"
#include "ui/toolkit/panel.h"
#include "ui/tsx_forms.h"

namespace rillmark {

// The simulation state of the loaded plug-in. It outlives every panel:
// the water, its snapshot and the wind source stay chosen when the panel
// is closed and opened again.
SimulationState& ModuleSimulation();

class TForm1 : public TtsxForm, public RunView, public SetupView {
 public:
  // Designed client height, and the outer heights of the roll-up.
  static constexpr int kClientWidth = 180;
  static constexpr int kClientHeight = 363;
  static constexpr int kFullHeight = 386;
  static constexpr int kCompactHeight = 164;

  explicit TForm1(void* parentWindow);
  ~TForm1() override;

  ParameterSet Params;
  EffectorList Effectors;
  // The line buffer of the preset files is boxparams' own item list.
  bool Compact() const { return compact_; }

  // Tabs.
  ui::PageControl* PageControl1;
  ui::TabSheet* TabSheet1;
  ui::TabSheet* TabSheet2;
  ui::TabSheet* TabSheet3;
  ui::Button* BitBtn1;

  // "Animation".
  ui::Button* btnselect;
  ui::Button* btneffector;
  ui::Button* btnshow;
  ui::Button* btnhide;
  ui::Panel* Panel1;
  TGlideSpinner* spinamp;
  TGlideSpinner* spinfreq;
  TGlideSpinner* spinvel;
  TGlideSpinner* spindecay;
  TGlideSpinner* spintimedecay;
  TGlideSpinner* spinlat;
  ui::Image* Image1;
  ui::Image* Image2;
  ui::Image* Image3;
  ui::Image* Image4;
  ui::Image* Image5;
  ui::Image* Image6;
  ui::Button* btnwater;
  ui::Button* BitBtn2;
  ui::Button* BitBtn5;
  ui::Button* btnload;
  ui::Button* btnsave;

  // "Effectors".
  EffectorCheckList* listeffectors;
  ui::Button* btnrefresh;
  ui::Button* btnselbyname;

  // "Wind".
  ui::Button* SpeedButton1;
  ui::Button* btnshowwind;
  ui::Button* btnhidewind;
  FlagCheckBox* boxwind;
  TGlideSpinner* spinnoisescale;
  TGlideSpinner* spinnoisetimescale;
  TGlideSpinner* spinoctaves;
  ChoiceRadioGroup* radiodisturbance;
  FlagCheckBox* boxspike;
  FlagCheckBox* boxinvert;

  // Bottom panel.
  ui::Panel* Panel2;
  FlagCheckBox* boxrec;
  FlagCheckBox* boxrange;
  TGlideSpinner* spinstart;
  TGlideSpinner* spinend;
  ui::Button* btnstart;
  ui::Button* btncontinue;
  ui::Button* btnstop;
  ui::Button* btndelanim;
  TGlideSpinner* spinstep;

  // Status bar.
  ui::Panel* Statusbar;
  ui::Button* btninfo;
  ui::Button* Button1;

  // Outside the visible area.
  ui::ListBox* boxparams;
  ui::Panel* panelinfo;
  ui::Label* labevents;
  ui::Label* labevsec;
  ui::Label* labverts;
  ui::Label* labvertsec;
  ui::Label* labframes;
  ui::Label* labtpf;
  ui::Label* labtime;
  ui::Label* labetime;
  ui::Button* btninfoclose;

  // Handlers of the panel itself.
  void FormShow(ui::Form& sender);
  void FormClose(ui::Form& sender, ui::CloseAction& action);
  void PageControl1MouseUp(ui::Control& sender, ui::MouseButton button, int x, int y);
  void BitBtn1Click(ui::Control& sender);
  void StatusbarDblClick(ui::Control& sender);
  // The mouse-move handler of every control with a hint: the status bar
  // shows the hint of the control under the pointer.
  void ControlMouseMove(ui::Control& sender, int x, int y);

  // Commands.
  void btnselectClick(ui::Control&) { commands_.btnselectClick(); }
  void btnrefreshClick(ui::Control&) { commands_.btnrefreshClick(); }
  void btnselbynameClick(ui::Control&) { commands_.btnselbynameClick(); }
  void listeffectorsClick(ui::Control&) { commands_.listeffectorsClick(); }
  void listeffectorsKeyPress(ui::Control&, char& key) { commands_.listeffectorsKeyPress(key); }
  void btneffectorClick(ui::Control&) { commands_.btneffectorClick(); }
  void btnshowClick(ui::Control&) { commands_.btnshowClick(); }
  void btnhideClick(ui::Control&) { commands_.btnhideClick(); }
  void SpeedButton1Click(ui::Control&) { commands_.SpeedButton1Click(); }
  void btnshowwindClick(ui::Control&) { commands_.btnshowwindClick(); }
  void btnhidewindClick(ui::Control&) { commands_.btnhidewindClick(); }
  void btnstartClick(ui::Control& sender);
  void btncontinueClick(ui::Control& sender);
  void btnstopClick(ui::Control& sender);
  void btndelanimClick(ui::Control& sender);
  void btnwaterClick(ui::Control& sender);
  void BitBtn2Click(ui::Control& sender);
  void BitBtn5Click(ui::Control& sender);
  void btnloadClick(ui::Control& sender);
  void btnsaveClick(ui::Control& sender);
  void btninfoClick(ui::Control& sender);
  void btninfocloseClick(ui::Control& sender);
  void Button1Click(ui::Control& sender);

  // RunView and SetupView.
  void setStatusText(std::string_view text) override;
  void processMessages() override;
  void showStatistic(StatisticLabel label, std::string_view text) override;
  void repaintInfoPanel() override;
  void setSelectCaption(std::string_view caption) override;
  void enableContinueAndStop() override;
  void enableStartAndEffectors() override;
  int currentEffectorItem() override;

 private:
  void buildTabs();
  void buildAnimationPage();
  void buildEffectorsPage();
  void buildWindPage();
  void buildBottomPanel();
  void buildStatusBar();
  void buildInfoPanel();
  template <class ControlType>
  ControlType* addParameterControl(ui::Control& parent, ParameterId id, ui::Rect bounds);
  TGlideSpinner* addSpinner(ui::Control& parent, ParameterId id, ui::Rect bounds, int editWidth);
  // A command button: where it is, what it shows, its hint (null: none)
  // and the handler its click runs.
  struct ButtonSpec {
    ui::Button** button;
    const char* name;
    ui::Rect bounds;
    const char* caption;
    ui::Picture picture;
    const char* hint;
    void (TForm1::*click)(ui::Control&);
    bool flat = false;
    ui::Picture greyed = {};
  };
  void addButtons(ui::Control& parent, std::initializer_list<ButtonSpec> buttons);
  void setHint(ui::Control& control, const std::string& hint);
  void setRolledUp(bool compact);
  // Runs a whole run; a close that arrived meanwhile is carried out after.
  void runThenFinishClose(void (*run)(RunContext&));
  void finishClose();
  Platform& platform() const;

  SimulationState& state_;
  SceneCommands commands_;
  RunContext run_;
  bool compact_ = false;
  bool closeAfterRun_ = false;
};

// The panel's window variable: the panel while one exists, else null.
// ShowPluginForm fills it; the close handler and the destructor empty it.
inline TForm1* Form1 = nullptr;

}  // namespace rillmark
