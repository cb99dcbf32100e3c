// Clock text of a time in seconds, "hh:mm:ss.ss", as the information panel
// shows run times.
#pragma once

#include <string>

namespace rillmark {

// Hours and minutes have at least two digits (100 hours show as 100), the
// seconds two decimals with the given decimal separator. A negative or
// non-finite time shows as zero.
std::string SecondsToText(float seconds, char decimalSeparator);

}  // namespace rillmark
