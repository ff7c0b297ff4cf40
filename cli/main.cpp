// quorvex-cli: the advert, UI and clean workflows from the command line.
#include "cli/Run.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return quorvex::cli::RunCommandLine(arguments, std::cout, std::cerr);
}
