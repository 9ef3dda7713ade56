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
    /** Loads `path` (RTLD_NOW | RTLD_LOCAL) once it has checked that the file is an ELF shared
        object for this machine whose segments lie within it. Throws ModuleError ("cannot load
        PATH: reason") when the file is none, cannot be loaded, or lacks an entry point. */
    explicit Module(const std::string& path);

    /** Unloads the module (dlclose). The host must have shut it down first. */
    ~Module();

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

    const std::string& Path() const { return mPath; }

private:
    template <class Fn>
    void Resolve(Fn& fn, const char* symbol, bool required);

    std::string mPath;
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
