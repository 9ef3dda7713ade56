#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace aaxhost
{
/** The quillo-host program: the stand-in host's commands (describe, render, state save,
    state load, editor) over a plug-in module. See Usage() for the syntax.

    Exit codes: 0 success, 1 a failure of the module, the host or a file, 2 bad arguments. */
class CommandLine
{
public:
    /** Where the module and the factory presets are unless --module / --presets say otherwise
        (the build tree's module and the source tree's presets, built in). */
    struct Defaults
    {
        std::string modulePath;
        std::string presetFolder;
    };

    /** Runs one command; `arguments` excludes the program name. */
    static int Run(const std::vector<std::string>& arguments, const Defaults& defaults, std::ostream& out,
                   std::ostream& err);

    static std::string Usage();
};
} // namespace aaxhost
