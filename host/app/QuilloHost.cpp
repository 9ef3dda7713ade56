// quillo-host: the stand-in AAX host on the command line (see CommandLine::Usage).

#include <iostream>

#include "CommandLine.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const aaxhost::CommandLine::Defaults defaults { QUILLO_HOST_DEFAULT_MODULE, QUILLO_HOST_DEFAULT_PRESETS };
    return aaxhost::CommandLine::Run(arguments, defaults, std::cout, std::cerr);
}
