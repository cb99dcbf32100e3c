#include "shell/plugin_description.h"

#include <algorithm>
#include <cstring>

#include "shell/plugin_host.h"

namespace rillmark {

namespace {

void writeText(unsigned char* field, const std::string& text, std::size_t maxLength) {
  const std::size_t length = std::min(text.size(), maxLength);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

}  // namespace

void WritePluginDescription(void* record, const std::string& name, const std::string& author, std::int16_t code1,
                            std::int16_t code2) {
  auto* bytes = static_cast<unsigned char*>(record);
  writeText(bytes + kDescriptionNameOffset, name, kMaxNameLength);
  writeText(bytes + kDescriptionAuthorOffset, author, kMaxAuthorLength);
  // memcpy: the record has no alignment the host promises.
  std::memcpy(bytes + kDescriptionCode1Offset, &code1, sizeof code1);
  std::memcpy(bytes + kDescriptionCode2Offset, &code2, sizeof code2);
}

}  // namespace rillmark
