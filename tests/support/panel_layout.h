// Where the control panel's controls stand when it opens, relative to their
// parents, with their captions and enabled states: the design the headless
// and the Win32 tests both hold the panel to.
#pragma once

#include "ui/toolkit/geometry.h"

namespace rillmark::testing {

struct ControlLayout {
  const char* name;
  ui::Rect bounds;
  const char* caption;
  bool enabled;
};

inline const ControlLayout kPanelLayout[] = {
    {"PageControl1", {0, 0, 180, 275}, "", true},
    {"BitBtn1", {158, 4, 19, 15}, "0", true},
    {"Panel2", {0, 275, 180, 69}, "", true},
    {"Statusbar", {0, 344, 180, 19}, "", true},
    {"boxparams", {184, 2, 81, 135}, "", true},
    {"panelinfo", {182, 56, 166, 215}, "", true},
    {"btnselect", {0, 0, 101, 25}, "Select Water", true},
    {"btneffector", {102, 0, 26, 25}, "", true},
    {"btnshow", {128, 0, 22, 25}, "", true},
    {"btnhide", {150, 0, 22, 25}, "", true},
    {"Panel1", {0, 30, 171, 217}, "", true},
    {"spinamp", {54, 13, 112, 17}, "Amplitude", true},
    {"spinfreq", {54, 42, 112, 17}, "Wavelength", true},
    {"spinvel", {54, 71, 112, 17}, "Speed", true},
    {"spindecay", {54, 100, 112, 17}, "Decay", true},
    {"spintimedecay", {54, 129, 112, 17}, "Time Decay", true},
    {"spinlat", {54, 159, 112, 17}, "Life Span", true},
    {"btnwater", {4, 187, 35, 24}, "", true},
    {"BitBtn2", {40, 187, 35, 24}, "", true},
    {"BitBtn5", {76, 187, 35, 24}, "", true},
    {"btnload", {112, 187, 28, 24}, "", true},
    {"btnsave", {140, 187, 28, 24}, "", true},
    {"TabSheet2", {4, 24, 172, 247}, "Effectors", false},
    {"listeffectors", {0, 2, 170, 221}, "", true},
    {"btnrefresh", {0, 224, 63, 24}, "Refresh", true},
    {"btnselbyname", {64, 224, 107, 24}, "Select by Name", true},
    {"SpeedButton1", {2, 4, 125, 25}, "Get/Make Source", true},
    {"btnshowwind", {128, 4, 22, 25}, "", true},
    {"btnhidewind", {150, 4, 22, 25}, "", true},
    {"boxwind", {26, 32, 121, 15}, "Enable Wind Source", true},
    {"spinnoisescale", {26, 48, 120, 17}, "Scale", true},
    {"spinnoisetimescale", {26, 64, 120, 17}, "Time Scale", true},
    {"spinoctaves", {26, 80, 120, 17}, "Octaves", true},
    {"radiodisturbance", {2, 100, 167, 125}, "Disturbance Type", true},
    {"boxspike", {14, 228, 75, 17}, "Sharp Style", true},
    {"boxinvert", {104, 228, 57, 17}, "Invert", true},
    {"boxrec", {5, 4, 82, 17}, "Record Keys", true},
    {"boxrange", {91, 4, 86, 17}, "Check Range", true},
    {"spinstart", {11, 24, 74, 17}, "Start", true},
    {"spinend", {97, 24, 72, 17}, "End", true},
    {"btnstart", {0, 42, 25, 25}, "", false},
    {"btncontinue", {26, 42, 25, 25}, "", false},
    {"btnstop", {52, 42, 25, 25}, "", false},
    {"btndelanim", {78, 42, 25, 25}, "", true},
    {"spinstep", {108, 46, 66, 17}, "Step", true},
    {"btninfo", {145, 2, 17, 17}, "i", true},
    {"Button1", {162, 2, 17, 17}, "?", true},
    {"btninfoclose", {45, 190, 75, 21}, "Ok", true},
};

}  // namespace rillmark::testing
