// Names for the temporary file a safe save writes before it renames the
// file over its target: the preset save and the bake program's outputs.
#pragma once

#include <string>
#include <string_view>

namespace rillmark {

// prefix, sixteen hex digits that differ from call to call and from
// process to process, and ".tmp".
std::string temporaryFileName(std::string_view prefix);

}  // namespace rillmark
