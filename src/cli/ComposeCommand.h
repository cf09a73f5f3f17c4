#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvex {

// The whole korvex-compose run: options, composition, messages. Returns the
// exit status: 0 done, 1 an input, the overlap or the output failed, 2 usage.
// A batch draws its status line only when err is a terminal.
class ComposeCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal = false);
};

}  // namespace korvex
