// Shows a plug-in window of class T kept in `variable`: builds it for the
// host's main view if the variable is empty, lists it in PluginHost->Forms
// (on every showing), shows it and brings it to the front.
#pragma once

#include <new>

#include "base/error.h"
#include "hostapi/host_calls.h"
#include "shell/plugin_host.h"

namespace rillmark {

template <class T>
void ShowPluginForm(T*& variable) {
  if (PluginHost == nullptr) throw Error("The plug-in is not initialised");
  if (variable == nullptr) {
    void* mainView = host::tsxGetMainViewHwnd();
    // The variable points at the window while it is being built, so code
    // run during construction can already reach it through the variable.
    void* memory = ::operator new(sizeof(T));
    variable = static_cast<T*>(memory);
    try {
      ::new (memory) T(mainView);
    } catch (...) {
      // The parts already built have been destroyed by now; only the
      // storage is left.
      variable = nullptr;
      ::operator delete(memory);
      throw;
    }
  }
  T* window = variable;
  PluginHost->Forms.push_back({window->name(), window, window->serial()});
  window->show();
  window->bringToFront();
}

}  // namespace rillmark
