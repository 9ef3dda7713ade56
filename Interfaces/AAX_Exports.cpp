// The module's exported entry points. Included as source by the plug-in module's one translation
// unit that also defines GetEffectDescriptions; never compiled into the library itself.

#include <cstdint>

#include "AAX_Init.h"

#if defined(__GNUC__)
#define AAX_EXPORT __attribute__((visibility("default")))
#else
#define AAX_EXPORT
#endif

// No exception may cross into the host: anything escaping becomes ACF_E_UNEXPECTED.

extern "C" AAX_EXPORT ACFRESULT ACFRegisterPlugin(IACFUnknown* host, IACFPluginDefinition** out)
{
    try
    {
        return AAXRegisterPlugin(host, out);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

extern "C" AAX_EXPORT ACFRESULT ACFRegisterComponent(IACFUnknown* host, uint32_t index, IACFComponentDefinition** out)
{
    try
    {
        return AAXRegisterComponent(host, index, out);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

extern "C" AAX_EXPORT ACFRESULT ACFGetClassFactory(IACFUnknown* host, const acfCLSID& clsid, const acfIID& iid,
                                                   void** out)
{
    try
    {
        return AAXGetClassFactory(host, clsid, iid, out);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

extern "C" AAX_EXPORT ACFRESULT ACFCanUnloadNow(IACFUnknown* host)
{
    try
    {
        return AAXCanUnloadNow(host);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

extern "C" AAX_EXPORT ACFRESULT ACFStartup(IACFUnknown* host)
{
    try
    {
        return AAXStartup(host);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

extern "C" AAX_EXPORT ACFRESULT ACFShutdown(IACFUnknown* host)
{
    try
    {
        return AAXShutdown(host);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

extern "C" AAX_EXPORT ACFRESULT ACFGetSDKVersion(uint64_t* out)
{
    try
    {
        return AAXGetSDKVersion(out);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

// The module's termination routine: the loader runs it at unload. Nothing is left to tear down by
// then, because the host has shut the module down first.
#if defined(__GNUC__)
__attribute__((destructor)) static void module_term_routine()
{
}
#endif
