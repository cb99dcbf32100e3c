// The plug-in shell loaded over the reference host linked into the test:
// a platform whose loader hands out the reference host's functions by name
// and counts library references, headless windows, and the library's own
// initialisation run as a real load would run it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "hostapi/host_api.h"
#include "hostapi/host_api_entries.h"
#include "hostapi/host_binding.h"
#include "platform/headless/headless_platform.h"
#include "refhost/refhost.h"
#include "support/reference_host_loader.h"
#include "shell/library_notify.h"
#include "shell/plugin_host.h"
#include "ui/control_panel.h"
#include "ui/headless/headless_backend.h"

namespace rillmark::testing {

inline void* const kMainView = reinterpret_cast<void*>(0x5150);

class ShellFixture : public ::testing::Test {
 protected:
  ShellFixture() {
    forgetHost();
    refhost::setMainView(kMainView);
    ui::headless::install();
    ui::headless::resetRecord();
    EXPECT_TRUE(LibraryLoad(loader));
  }
  ~ShellFixture() override {
    if (PluginHost != nullptr) LibraryNotify(loader, kProcessDetach);
    delete PluginHost;  // left by a detach that failed on purpose
    ReleaseHostApi(loader);
    forgetHost();
  }
  static void forgetHost() {
    refhost::reset();
    hostApi() = HostApi{};
    hostApiAddresses().fill(nullptr);
    hostApiLevel() = 0;
  }
  static ui::headless::HeadlessWindows& windows() { return ui::headless::windows(); }
  // The headless window of the panel, or null.
  static ui::headless::HeadlessFormPeer* panelWindow() {
    return Form1 != nullptr && Form1->handleAllocated() ? windows().find(Form1->handle()) : nullptr;
  }

  ReferenceHostLoader loader;
};

}  // namespace rillmark::testing
