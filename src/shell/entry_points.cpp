#include "shell/entry_points.h"

#include "hostapi/host_binding.h"
#include "shell/exception_boundary.h"
#include "base/float_control.h"
#include "shell/plugin_description.h"
#include "shell/plugin_host.h"

namespace rillmark {

namespace {

TtSXPluginHost& pluginHost() {
  if (PluginHost == nullptr) throw Error("The plug-in host object does not exist");
  return *PluginHost;
}

}  // namespace

int GetDataEntry(Platform& platform, void* description, std::int32_t pluginId) noexcept {
  const PluginFloatScope floatScope;
  int result = 0;
  const bool completed = RunGuarded(platform, Boundary::Export, [&] {
    TtSXPluginHost& host = pluginHost();
    const std::uint16_t level = BindHostApi(platform);
    if (level < host.RequiredLevel) {
      result = -1;
      try {
        platform.showMessage(VersionMessage(host.RequiredLevel, level));
      } catch (...) {
        ReleaseHostApi(platform);
        throw;
      }
      ReleaseHostApi(platform);
      return;
    }
    if (description == nullptr) throw Error("The host passed no description record");
    host.PluginId = pluginId;
    if (host.OnGetData) host.OnGetData(result);
    if (host.Name.size() > kMaxNameLength) host.Name.resize(kMaxNameLength);
    if (host.Author.size() > kMaxAuthorLength) host.Author.resize(kMaxAuthorLength);
    WritePluginDescription(description, host.Name, host.Author, host.Code1, host.Code2);
  });
  return completed ? result : -1;
}

int LeftClickEntry(Platform& platform) noexcept {
  const PluginFloatScope floatScope;
  int result = 0;
  const bool completed = RunGuarded(platform, Boundary::Export, [&] {
    TtSXPluginHost& host = pluginHost();
    if (host.OnLeftClick) host.OnLeftClick(result);
  });
  return completed ? result : -1;
}

void RightClickEntry(Platform& platform) noexcept {
  const PluginFloatScope floatScope;
  RunGuarded(platform, Boundary::Export, [&] {
    if (PluginHost != nullptr && PluginHost->OnRightClick) PluginHost->OnRightClick(*PluginHost);
  });
}

void DeactivateEntry(Platform& platform) noexcept {
  const PluginFloatScope floatScope;
  RunGuarded(platform, Boundary::Export, [&] {
    if (PluginHost != nullptr && PluginHost->OnDeactivate) PluginHost->OnDeactivate(*PluginHost);
  });
}

}  // namespace rillmark
