#include "process_resources.h"

namespace rillmark::testhost {

std::string handleTypeChanges(const Resources& before, const Resources& after) {
  std::map<std::string, long long> change;
  for (const auto& [type, n] : after.handleTypes) change[type] += n;
  for (const auto& [type, n] : before.handleTypes) change[type] -= n;
  std::string text;
  for (const auto& [type, n] : change)
    if (n != 0) text += (text.empty() ? "" : ", ") + type + (n > 0 ? " +" : " ") + std::to_string(n);
  return text;
}

}  // namespace rillmark::testhost
