// The control panel over a fresh reference host, on the headless backend:
// the host table bound to the reference host at level 430, a headless
// platform that records messages and answers dialogs, the module's
// simulation state reset, and a panel shown as the host's left click shows
// it. A HeadlessUser clicks and types at the panel's pixel positions.
#pragma once

#include <gtest/gtest.h>

#include "hostapi/host_api.h"
#include "platform/headless/headless_platform.h"
#include "refhost/refhost.h"
#include "ui/control_panel.h"
#include "ui/headless/headless_backend.h"
#include "ui/headless/headless_user.h"

namespace rillmark::testing {

inline void* const kPanelOwner = reinterpret_cast<void*>(0x5150);

class PanelFixture : public ::testing::Test {
 protected:
  PanelFixture() {
    refhost::reset();
    hostApi() = HostApi{};
    refhost::bindInto(hostApi());
    hostApiLevel() = 430;
    ui::headless::install();
    ui::headless::resetRecord();
    setActivePlatform(&platform);
    ModuleSimulation() = SimulationState{};
    openPanel();
  }
  ~PanelFixture() override {
    delete Form1;
    ui::headless::resetRecord();
    setActivePlatform(nullptr);
    hostApi() = HostApi{};
    refhost::reset();
  }

  // A new panel, shown, as a left click on the plug-in's icon builds it.
  void openPanel() {
    Form1 = new TForm1(owner);
    panel = Form1;
    panel->show();
  }

  void click(const ui::Control* control) { user.click(*control); }
  SimulationState& state() { return ModuleSimulation(); }
  const std::string& status() const { return panel->Statusbar->caption(); }

  HeadlessPlatform platform;
  ui::headless::HeadlessUser user{platform};
  void* owner = kPanelOwner;  // the host's main view
  TForm1* panel = nullptr;
};

}  // namespace rillmark::testing
