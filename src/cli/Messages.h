#pragma once

#include <string>

namespace korvex {

// A message as korvex-compose prints it: its name first, on exactly one line
// whatever a file name or a codec says.
std::string messageLine(std::string text);

}  // namespace korvex
