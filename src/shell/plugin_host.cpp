#include "shell/plugin_host.h"

namespace rillmark {

TtSXPluginHost::~TtSXPluginHost() {
  // A window listed twice is destroyed once: after the first delete its
  // watch has expired. A window that freed itself is skipped the same way.
  for (const PluginFormEntry& entry : Forms)
    if (!entry.alive.expired()) delete entry.form;
  Forms.clear();
  if (PluginHost == this) PluginHost = nullptr;
}

}  // namespace rillmark
