#include "shell/library_notify.h"

#include <optional>

#include "base/float_control.h"
#include "commands/run_commands.h"
#include "hostapi/host_binding.h"
#include "shell/exception_boundary.h"
#include "shell/plugin_host.h"
#include "shell/rillmark_hooks.h"
#include "ui/control_panel.h"

namespace rillmark {

namespace {

bool runHook(Platform& platform, Boundary where, HostHook TtSXPluginHost::*hook) {
  return RunGuarded(platform, where, [&] {
    if (PluginHost != nullptr && PluginHost->*hook) (PluginHost->*hook)(*PluginHost);
  });
}

}  // namespace

bool LibraryLoad(Platform& platform) {
  const PluginFloatScope floatScope;
  setActivePlatform(&platform);
  if (!LibraryNotify(platform, kCreatePluginHost)) return false;
  InstallRillmarkHooks(*PluginHost);
  return LibraryNotify(platform, kProcessAttach);
}

bool LibraryNotify(Platform& platform, int reason, bool processExit) {
  std::optional<PluginFloatScope> floatScope;
  if (reason != kThreadAttach && reason != kThreadDetach) floatScope.emplace();
  switch (reason) {
    case kProcessDetach: {
      const bool completed = RunGuarded(platform, Boundary::ProcessDetach, [&] {
        if (PluginHost != nullptr && PluginHost->OnProcessDetach) PluginHost->OnProcessDetach(*PluginHost);
        if (!processExit) {
          releaseWaterCopies(ModuleSimulation());
          ReleaseHostApi(platform);
        }
      });
      // After a failed detach the host object stays, as the windows it
      // lists may still be in use.
      if (completed && PluginHost != nullptr) {
        if (processExit) PluginHost->abandonForms();
        delete PluginHost;
      }
      if (completed && activePlatform() == &platform) setActivePlatform(nullptr);
      return completed;
    }
    case kProcessAttach:
      return runHook(platform, Boundary::ProcessAttach, &TtSXPluginHost::OnProcessAttach);
    case kThreadAttach:
      return runHook(platform, Boundary::ThreadAttach, &TtSXPluginHost::OnThreadAttach);
    case kThreadDetach:
      return runHook(platform, Boundary::ThreadDetach, &TtSXPluginHost::OnThreadDetach);
    case kCreatePluginHost:
      return RunGuarded(platform, Boundary::ProcessAttach, [] {
        if (PluginHost == nullptr) PluginHost = new TtSXPluginHost();
      });
    default:
      return true;
  }
}

}  // namespace rillmark
