#include "shell/plugin_hooks.h"

#include "shell/show_plugin_form.h"
#include "ui/control_panel.h"

namespace rillmark {

void installPluginHooks(TtSXPluginHost& host) {
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
  const auto nothing = [](TtSXPluginHost&) {};
  host.OnRightClick = nothing;
  host.OnDeactivate = nothing;
  host.OnProcessAttach = nothing;
  host.OnProcessDetach = nothing;
  host.OnThreadAttach = nothing;
  host.OnThreadDetach = nothing;
}

}  // namespace rillmark
