// TtSXPluginHost: the one object that stands for the plug-in towards the
// host. It holds what tsxGetData hands over (name, author, codes), the
// lowest host API level the plug-in accepts, the hooks the exports run,
// and the list of every window shown through ShowPluginForm, which it
// destroys when the library is unloaded.
#pragma once

#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "base/error.h"
#include "hostapi/host_calls.h"
#include "ui/toolkit/form.h"

namespace rillmark {

class TtSXPluginHost;

// One showing of a window. The same window is listed again each time it
// is shown; alive tells whether it still exists.
struct PluginFormEntry {
  std::string name;
  ui::Form* form = nullptr;
  ui::Form::Watch alive;
};

using ResultHook = std::function<void(int& result)>;
using HostHook = std::function<void(TtSXPluginHost& host)>;

class TtSXPluginHost {
 public:
  TtSXPluginHost() = default;
  // Destroys every listed window that still exists, each once, then
  // empties PluginHost if it is this one.
  virtual ~TtSXPluginHost();
  TtSXPluginHost(const TtSXPluginHost&) = delete;
  TtSXPluginHost& operator=(const TtSXPluginHost&) = delete;

  // At process exit the windows are going with the process and must not
  // be touched: the list is dropped without destroying anything.
  void abandonForms() { Forms.clear(); }

  std::int32_t PluginId = 0;
  std::string Name;    // at most 31 characters reach the host
  std::string Author;  // at most 63
  std::int16_t Code1 = 0;
  std::int16_t Code2 = 0;
  std::uint16_t RequiredLevel = 320;
  std::vector<PluginFormEntry> Forms;

  ResultHook OnGetData;
  ResultHook OnLeftClick;
  HostHook OnRightClick;
  HostHook OnDeactivate;
  HostHook OnProcessAttach;
  HostHook OnProcessDetach;
  HostHook OnThreadAttach;
  HostHook OnThreadDetach;
};

// The one instance, from library load until process detach.
inline TtSXPluginHost* PluginHost = nullptr;

inline constexpr std::size_t kMaxNameLength = 31;
inline constexpr std::size_t kMaxAuthorLength = 63;

// Shows the window held in variable, building it first if the variable is
// empty, and lists it with the plug-in host. The variable is filled before
// the window is constructed, so code run during construction already
// reaches the window through it; a failed construction empties it again.
template <class T>
void ShowPluginForm(T*& variable) {
  if (PluginHost == nullptr) throw Error("The plug-in host object does not exist");
  if (variable == nullptr) {
    void* const mainView = host::tsxGetMainViewHwnd();
    void* const memory = ::operator new(sizeof(T));
    variable = static_cast<T*>(memory);
    try {
      ::new (memory) T(mainView);
    } catch (...) {
      variable = nullptr;
      ::operator delete(memory);
      throw;
    }
  }
  T* const form = variable;
  PluginHost->Forms.push_back({form->name(), form, form->watch()});
  form->show();
}

}  // namespace rillmark
