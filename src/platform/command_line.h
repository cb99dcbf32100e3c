// A program's command line as UTF-8 text. On Windows the arguments main()
// receives are in the ANSI code page, which loses every letter outside it;
// there they are read again from the wide command line. Elsewhere they are
// taken as they are.
#pragma once

#include <string>
#include <vector>

namespace rillmark {

std::vector<std::string> commandLineArguments(int argc, char** argv);

// Has the console show the UTF-8 text the program prints as such (on
// Windows it would read it in the console's code page).
void printUtf8ToConsole();

}  // namespace rillmark
