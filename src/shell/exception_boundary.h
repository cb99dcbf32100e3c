// The guard around every entry from the host: each export and each process
// or thread notification. Nothing thrown inside may reach the host, whose
// frames know nothing of C++ exceptions; what is caught is shown in a modal
// message box naming the plug-in, the place and the error.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

namespace rillmark {

enum class Boundary { Export, ProcessAttach, ProcessDetach, ThreadAttach, ThreadDetach };

// lead + plug-in name + context + CRLF + "The exception is classified as: "
// + CRLF CRLF + class name + " : " + message.
std::string BoundaryMessage(Boundary where, const std::string& pluginName, const std::string& className,
                            const std::string& message);

// "This Plugin requires trueSpace version %5.2f, but version %5.2f is
// installed." with both levels divided by 100.
std::string VersionMessage(std::uint16_t requiredLevel, std::uint16_t boundLevel);

// Runs body. An error of any kind is shown (under the name PluginHost holds
// at that moment) and absorbed; the result says whether body completed.
bool RunGuarded(Platform& platform, Boundary where, const std::function<void()>& body) noexcept;

}  // namespace rillmark
