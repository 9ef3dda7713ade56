// quillo-host: the stand-in AAX host on the command line (see CommandLine::Usage).

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "CommandLine.h"
#include "DescriptorOutput.h"
#include "Interruption.h"

int main(int argc, char** argv)
{
    // A standard stream the caller closed would be taken by the next file opened, and what is
    // printed would land in it (a render's output, say): /dev/null holds its place. A closed
    // standard output cannot take what a command prints, so no command starts.
    bool outputClosed = false;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF)
        {
            outputClosed = outputClosed || fd == STDOUT_FILENO;
            if (open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd)
                return 1;
        }
    if (outputClosed)
    {
        std::cerr << "quillo-host: cannot write standard output: " << std::strerror(EBADF) << "\n";
        return 1;
    }

    // A full pipe or a file-size limit is a failed write to report (and a temporary file to
    // remove), not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    aaxhost::Interruption::Install();

    // What describe and state load print is all they produce: a write to standard output that
    // fails is a failure of the command.
    aaxhost::DescriptorOutput standardOutput(STDOUT_FILENO);
    std::ostream out(&standardOutput);
    std::cerr.tie(&out); // what was printed comes before the message about it

    std::vector<std::string> arguments(argv + 1, argv + argc);
    const aaxhost::CommandLine::Defaults defaults { QUILLO_HOST_DEFAULT_MODULE, QUILLO_HOST_DEFAULT_PRESETS };
    int code = aaxhost::CommandLine::Run(arguments, defaults, out, std::cerr);
    std::cerr.tie(nullptr); // `out` goes before the library flushes the standard streams

    if (!standardOutput.Finish() || close(STDOUT_FILENO) != 0)
    {
        const std::string reason = standardOutput.Error().empty() ? std::strerror(errno) : standardOutput.Error();
        if (code >= 128)
        {
            // The interruption that broke the write off was reported.
        }
        else if (const int signalNumber = aaxhost::Interruption::Pending())
        {
            std::cerr << "quillo-host: interrupted by " << aaxhost::Interruption::SignalName(signalNumber) << "\n";
            code = 128 + signalNumber;
        }
        else
        {
            std::cerr << "quillo-host: cannot write standard output: " << reason << "\n";
            if (code == 0)
                code = 1;
        }
    }
    return code;
}
