#include "cli/Messages.h"

#include <algorithm>

namespace korvex {

std::string messageLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return "korvex-compose: " + text;
}

}  // namespace korvex
