// quillo-host: the stand-in AAX host on the command line (see CommandLine::Usage).

#include <csignal>
#include <iostream>

#include "CommandLine.h"

int main(int argc, char** argv)
{
    // A full pipe or a file-size limit is a failed write to report (and a temporary file to
    // remove), not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const aaxhost::CommandLine::Defaults defaults { QUILLO_HOST_DEFAULT_MODULE, QUILLO_HOST_DEFAULT_PRESETS };
    return aaxhost::CommandLine::Run(arguments, defaults, std::cout, std::cerr);
}
