#include "shell/exception_boundary.h"

#include <cstdio>
#include <exception>

#include "base/error.h"
#include "shell/plugin_host.h"

namespace rillmark {

namespace {

struct BoundaryText {
  const char* lead;
  const char* context;
};

BoundaryText textOf(Boundary where) {
  switch (where) {
    case Boundary::Export:
      return {"Unhandled exception in \"", "\" tSX plugin."};
    case Boundary::ProcessAttach:
      return {"Exception occurred in \"", "\" tSX plugin while attaching the process."};
    case Boundary::ProcessDetach:
      return {"Exception occurred in \"", "\" tSX plugin while detaching the process."};
    case Boundary::ThreadAttach:
      return {"Exception occurred in \"", "\" tSX plugin while attaching a thread."};
    case Boundary::ThreadDetach:
      return {"Exception occurred in \"", "\" tSX plugin while detaching a thread."};
  }
  return {"Unhandled exception in \"", "\" tSX plugin."};
}

// Errors from outside our own family (the standard library, or anything
// else thrown) are shown under the general class name.
constexpr const char* kGeneralClassName = "Exception";

void show(Platform& platform, Boundary where, const std::string& className, const std::string& message) noexcept {
  try {
    const std::string name = PluginHost != nullptr ? PluginHost->Name : std::string();
    platform.showMessage(BoundaryMessage(where, name, className, message));
  } catch (...) {
    // Nothing is left to report with; the entry still returns normally.
  }
}

}  // namespace

std::string BoundaryMessage(Boundary where, const std::string& pluginName, const std::string& className,
                            const std::string& message) {
  const BoundaryText text = textOf(where);
  return std::string(text.lead) + pluginName + text.context + "\r\nThe exception is classified as: \r\n\r\n" +
         className + " : " + message;
}

std::string VersionMessage(std::uint16_t requiredLevel, std::uint16_t boundLevel) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "This Plugin requires trueSpace version %5.2f, but version %5.2f is installed.",
                requiredLevel * 0.01, boundLevel * 0.01);
  return buffer;
}

bool RunGuarded(Platform& platform, Boundary where, const std::function<void()>& body) noexcept {
  try {
    body();
    return true;
  } catch (const Error& e) {
    show(platform, where, e.className(), e.what());
  } catch (const std::exception& e) {
    show(platform, where, kGeneralClassName, e.what());
  } catch (...) {
    show(platform, where, kGeneralClassName, "An unknown error occurred");
  }
  return false;
}

}  // namespace rillmark
