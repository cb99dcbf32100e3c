#include "shell/rillmark_hooks.h"

#include "ui/about_window.h"
#include "ui/control_panel.h"

namespace rillmark {

void InstallRillmarkHooks(TtSXPluginHost& host) {
  host.OnGetData = [&host](int& result) {
    host.Name = kPluginName;
    host.Author = kPluginAuthor;
    host.Code1 = 2;
    host.Code2 = 2;
    result = 0;
  };
  host.OnLeftClick = [](int& result) {
    result = 0;
    ShowPluginForm(Form1);
  };
  ShowAboutWindow = [] { ShowPluginForm(form2); };
  // Right click and deactivation leave the panel as it is; the process and
  // thread notifications have nothing to do.
  const HostHook nothing = [](TtSXPluginHost&) {};
  host.OnRightClick = nothing;
  host.OnDeactivate = nothing;
  host.OnProcessAttach = nothing;
  host.OnProcessDetach = nothing;
  host.OnThreadAttach = nothing;
  host.OnThreadDetach = nothing;
}

}  // namespace rillmark
