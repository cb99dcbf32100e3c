#include "shell/plugin_entry.h"

#include "hostapi/host_binding.h"
#include "shell/exception_boundary.h"
#include "shell/float_control.h"
#include "shell/plugin_description.h"
#include "shell/plugin_hooks.h"
#include "shell/plugin_host.h"

namespace rillmark {

namespace {

constexpr std::size_t kNameLimit = kNameField - 1;
constexpr std::size_t kAuthorLimit = kAuthorField - 1;

TtSXPluginHost& requireHost() {
  if (PluginHost == nullptr) throw Error("The plug-in is not initialised");
  return *PluginHost;
}

void runHook(TtSXPluginHost::HostHook TtSXPluginHost::*hook) {
  if (PluginHost != nullptr && PluginHost->*hook) (PluginHost->*hook)(*PluginHost);
}

bool processDetach(Platform& platform, bool processExiting) {
  const bool ok = guarded(
      platform, Boundary::ProcessDetach,
      [&] {
        runHook(&TtSXPluginHost::OnProcessDetach);
        if (!processExiting) ReleaseHostApi(platform);
      },
      processExiting);
  if (!ok || PluginHost == nullptr) return ok;
  if (processExiting) PluginHost->abandonForms();
  delete PluginHost;  // sets PluginHost to null
  return true;
}

}  // namespace

bool LibraryLoad(Platform& platform) {
  LibraryNotify(platform, kCreatePluginHost);
  installPluginHooks(*PluginHost);
  return LibraryNotify(platform, kProcessAttach);
}

bool LibraryNotify(Platform& platform, int reason, bool processExiting) {
  switch (reason) {
    case kProcessDetach:
      return processDetach(platform, processExiting);
    case kProcessAttach:
      return guarded(platform, Boundary::ProcessAttach, [] { runHook(&TtSXPluginHost::OnProcessAttach); });
    case kThreadAttach:
      return guarded(platform, Boundary::ThreadAttach, [] { runHook(&TtSXPluginHost::OnThreadAttach); });
    case kThreadDetach:
      return guarded(platform, Boundary::ThreadDetach, [] { runHook(&TtSXPluginHost::OnThreadDetach); });
    case kCreatePluginHost:
      if (PluginHost == nullptr) PluginHost = new TtSXPluginHost();
      return true;
    default:
      return true;
  }
}

std::int32_t tsxGetDataBody(Platform& platform, void* description, std::int32_t pluginId) {
  ResetFloatControl();
  int result = 0;
  const bool ok = guarded(platform, Boundary::GetData, [&] {
    TtSXPluginHost& host = requireHost();
    const std::uint16_t level = BindHostApi(platform);
    if (level < host.RequiredLevel) {
      result = -1;
      const std::string text = versionMessage(host.RequiredLevel, level, platform.decimalSeparator());
      try {
        platform.showMessage(text);
      } catch (...) {
        ReleaseHostApi(platform);
        throw;
      }
      ReleaseHostApi(platform);
      return;
    }
    host.PluginId = pluginId;
    if (host.OnGetData) host.OnGetData(result);
    if (host.Name.size() > kNameLimit) host.Name.resize(kNameLimit);
    if (host.Author.size() > kAuthorLimit) host.Author.resize(kAuthorLimit);
    // A host that passes no record gets the result but nothing is written.
    if (description != nullptr) writePluginDescription(description, host.Name, host.Author, host.Code1, host.Code2);
  });
  return ok ? result : -1;
}

std::int32_t tsxOnLeftClickBody(Platform& platform) {
  ResetFloatControl();
  int result = 0;
  const bool ok = guarded(platform, Boundary::LeftClick, [&] {
    if (PluginHost != nullptr && PluginHost->OnLeftClick) PluginHost->OnLeftClick(result);
  });
  return ok ? result : -1;
}

void tsxOnRightClickBody(Platform& platform) {
  ResetFloatControl();
  guarded(platform, Boundary::RightClick, [] { runHook(&TtSXPluginHost::OnRightClick); });
}

void tsxDeactivateBody(Platform& platform) {
  ResetFloatControl();
  guarded(platform, Boundary::Deactivate, [] { runHook(&TtSXPluginHost::OnDeactivate); });
}

}  // namespace rillmark
