#pragma once

// Mesa unloads its OpenGL driver when the display it served closes (JUCE closes its own when it
// shuts down). The memory the driver's globals still reference would be stranded then, and the
// leak checker, which runs at exit, would blame it on frames it can no longer name.

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

namespace quillo::test
{
/** Keeps the OpenGL driver libraries that are loaded now in memory until the process ends. Call
    once a context or a GLX query has loaded them; harmless when nothing has. */
inline void keepOpenGLDriversLoaded()
{
    std::vector<std::string> names;

    dl_iterate_phdr (
        [] (dl_phdr_info* info, size_t, void* data)
        {
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";

            if (name.find ("_dri.so") != std::string::npos || name.find ("libGLX_mesa") != std::string::npos)
                static_cast<std::vector<std::string>*> (data)->push_back (name);

            return 0;
        },
        &names);

    for (const auto& name : names)
        dlopen (name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
}   // namespace quillo::test
