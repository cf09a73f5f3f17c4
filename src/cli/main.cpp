#include "cli/ComposeCommand.h"
#include "cli/InterruptCleanup.h"

#include <iostream>
#include <unistd.h>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    korvex::InterruptCleanup::install();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return korvex::ComposeCommand::run(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
