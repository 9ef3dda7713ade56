#include "Module.h"

#include <dlfcn.h>

namespace aaxhost
{
Module::Module(const std::string& path)
    : mPath(path)
{
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mHandle == nullptr)
    {
        const char* const reason = dlerror();
        throw ModuleError("cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason"));
    }

    try
    {
        Resolve(mRegisterPlugin, "ACFRegisterPlugin", true);
        Resolve(mRegisterComponent, "ACFRegisterComponent", true);
        Resolve(mGetClassFactory, "ACFGetClassFactory", true);
        Resolve(mCanUnloadNow, "ACFCanUnloadNow", true);
        Resolve(mStartup, "ACFStartup", true);
        Resolve(mShutdown, "ACFShutdown", true);
        Resolve(mGetSDKVersion, "ACFGetSDKVersion", true);
        Resolve(mDispatchMessages, "QuilloDispatchMessages", false);
    }
    catch (...)
    {
        dlclose(mHandle);
        throw;
    }
}

Module::~Module()
{
    dlclose(mHandle);
}

bool Module::Exports(const char* symbol) const
{
    return symbol != nullptr && dlsym(mHandle, symbol) != nullptr;
}

template <class Fn>
void Module::Resolve(Fn& fn, const char* symbol, bool required)
{
    fn = reinterpret_cast<Fn>(dlsym(mHandle, symbol));
    if (fn == nullptr && required)
        throw ModuleError(mPath + " does not export " + symbol);
}
} // namespace aaxhost
