// The one error family of the plug-in: a class name and a message. Errors
// are caught at the host boundary and at each panel event handler, and
// shown to the user there.
#pragma once

#include <stdexcept>
#include <string>

namespace rillmark {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
  // The class name shown beside the message.
  virtual const char* className() const noexcept { return "Exception"; }
};

}  // namespace rillmark
