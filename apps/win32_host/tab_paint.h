// Each page of the panel looks the same however the user reached it: see
// tab_paint.cpp.
#pragma once

#include <string>

namespace rillmark::testhost {

// Exit code 0 when every check passed. The fresh pages, and any page that
// differs from its fresh self, are written to the folder as BMP files.
int runTabPaint(const std::string& folder);

}  // namespace rillmark::testhost
