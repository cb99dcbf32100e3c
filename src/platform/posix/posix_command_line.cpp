#include "platform/command_line.h"

namespace rillmark {

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

void printUtf8ToConsole() {}

}  // namespace rillmark
