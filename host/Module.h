#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "ACF/IACFComponentDefinition.h"
#include "ACF/IACFPluginDefinition.h"
#include "ACF/IACFUnknown.h"

namespace aaxhost
{
/** A module that could not be loaded, or lacks an entry point. */
class ModuleError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** A plug-in module as a host loads one: with dlopen, reached only through its exported entry
    points. The seven ACF entry points are required; the module's message loop
    (QuilloDispatchMessages, what the host's run loop does for JUCE on macOS) is optional.

    Not thread-safe: the host calls a module from its one non-real-time thread. */
class Module
{
public:
    /** Loads the file `path` names (RTLD_NOW | RTLD_LOCAL); a path without a slash names a file
        in the current folder, as it does for open(), not one on the library path.

        The file is opened once, and that open file is what is checked, tried and loaded (through
        /proc/self/fd), so a file put in its place meanwhile is never loaded. It must be an ELF
        shared object for this machine whose segments lie within it, and it must load in a child
        process first, as hosts that scan plug-ins out of process do: a file damaged where the
        loader looks (a copy whose tail is zeros, a garbled dynamic section) crashes that child,
        not this process. The trial takes at most kTrialSeconds; Ctrl-C and the like stop the wait
        (Interruption), and the child is ended and reaped before Interrupted is rethrown.

        Throws ModuleError ("cannot load PATH: reason", PATH as given) when the file is none,
        cannot be loaded, or lacks an entry point. */
    explicit Module(const std::string& path);

    /** Unloads the module (dlclose), then closes the file. The host must have shut it down first. */
    ~Module();

    /** How long a trial load in the child process may take before the module is refused. */
    static constexpr int kTrialSeconds = 10;

    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    ACFRESULT Startup(IACFUnknown* host) const { return mStartup(host); }
    ACFRESULT Shutdown(IACFUnknown* host) const { return mShutdown(host); }
    ACFRESULT RegisterPlugin(IACFUnknown* host, IACFPluginDefinition** definition) const
    {
        return mRegisterPlugin(host, definition);
    }
    ACFRESULT RegisterComponent(IACFUnknown* host, uint32_t index, IACFComponentDefinition** definition) const
    {
        return mRegisterComponent(host, index, definition);
    }
    ACFRESULT GetClassFactory(IACFUnknown* host, const acfCLSID& clsid, const acfIID& iid, void** factory) const
    {
        return mGetClassFactory(host, clsid, iid, factory);
    }
    /** The number of the module's live objects: 0 when it may be unloaded. */
    ACFRESULT CanUnloadNow(IACFUnknown* host) const { return mCanUnloadNow(host); }
    ACFRESULT GetSDKVersion(uint64_t* version) const { return mGetSDKVersion(version); }

    /** True when the module exports its message loop. */
    bool HasMessageLoop() const { return mDispatchMessages != nullptr; }

    /** Runs the module's message loop for `milliseconds` (0: what is pending). Returns the
        number of messages delivered, 0 without a message loop, -1 on a wrong thread. */
    int32_t DispatchMessages(int32_t milliseconds) const
    {
        return mDispatchMessages != nullptr ? mDispatchMessages(milliseconds) : 0;
    }

    /** True when the module exports `symbol` (nothing else is looked up through this). */
    bool Exports(const char* symbol) const;

    /** The path as the user gave it. */
    const std::string& Path() const { return mPath; }

private:
    template <class Fn>
    void Resolve(Fn& fn, const char* symbol, bool required);

    /** Unloads what was loaded and closes the file; what the constructor undoes on failure too. */
    void Release() noexcept;

    std::string mPath;
    int mFile = -1;          // the open module file, kept open while it is loaded
    std::string mLoadedName; // "/proc/self/fd/N": the name the loader knows the module by
    void* mHandle = nullptr;
    ACFRESULT (*mRegisterPlugin)(IACFUnknown*, IACFPluginDefinition**) = nullptr;
    ACFRESULT (*mRegisterComponent)(IACFUnknown*, uint32_t, IACFComponentDefinition**) = nullptr;
    ACFRESULT (*mGetClassFactory)(IACFUnknown*, const acfCLSID&, const acfIID&, void**) = nullptr;
    ACFRESULT (*mCanUnloadNow)(IACFUnknown*) = nullptr;
    ACFRESULT (*mStartup)(IACFUnknown*) = nullptr;
    ACFRESULT (*mShutdown)(IACFUnknown*) = nullptr;
    ACFRESULT (*mGetSDKVersion)(uint64_t*) = nullptr;
    int32_t (*mDispatchMessages)(int32_t) = nullptr;
};
} // namespace aaxhost
