// A program's command line as UTF-8 text. On Windows the arguments main()
// receives are in the ANSI code page, which loses every letter outside it;
// there they are read again from the wide command line. Elsewhere they are
// taken as they are.
#pragma once

#include <string>
#include <vector>

namespace rillmark {

std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace rillmark
