#include "AAX_Init.h"

#include <exception>

#include "ACF/CACFUnknown.h"
#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_Exception.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "AAX_Version.h"

namespace
{
const char* const kRegisterFailureFormat = "AAXRegisterPlugin exception caught: %s";
}

AAX_Result AAXRegisterPlugin(IACFUnknown* host, IACFPluginDefinition** out)
{
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *out = nullptr;

    // The collection lives inside the try block, so it is gone before any handler runs.
    try
    {
        AAX_VCollection collection(host);
        AAX_CheckedResult result = GetEffectDescriptions(&collection);

        IACFUnknown* const definitionSource = collection.GetIUnknown();
        if (definitionSource == nullptr)
        {
            result = AAX_ERROR_NULL_OBJECT;
        }
        else
        {
            void* definition = nullptr;
            const ACFRESULT queried = definitionSource->QueryInterface(IID_IACFPluginDefinition, &definition);
            if (queried != ACF_OK || definition == nullptr)
            {
                if (definition != nullptr)
                    static_cast<IACFPluginDefinition*>(definition)->Release();
                result = AAX_ERROR_NULL_OBJECT;
            }
            *out = static_cast<IACFPluginDefinition*>(definition);
        }
        return AAX_SUCCESS;
    }
    catch (const AAX::Exception::ResultError& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, kRegisterFailureFormat, error.What().c_str());
        return error.Result();
    }
    catch (const AAX::Exception::Any& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, kRegisterFailureFormat, error.What().c_str());
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (const std::exception& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, kRegisterFailureFormat, error.what());
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (...)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, kRegisterFailureFormat, "unknown");
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
}

AAX_Result AAXRegisterComponent(IACFUnknown*, uint32_t, IACFComponentDefinition** out)
{
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *out = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAXGetClassFactory(IACFUnknown*, const acfCLSID&, const acfIID&, void** out)
{
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *out = nullptr;
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAXCanUnloadNow(IACFUnknown*)
{
    return static_cast<AAX_Result>(CACFUnknown::GetActiveObjectCount());
}

AAX_Result AAXStartup(IACFUnknown* host)
{
    AAX_CHostServices::Set(host);
    return AAX_SUCCESS;
}

AAX_Result AAXShutdown(IACFUnknown*)
{
    AAX_CHostServices::Set(nullptr);
    return AAX_SUCCESS;
}

AAX_Result AAXGetSDKVersion(uint64_t* out)
{
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *out = (uint64_t { AAX_SDK_VERSION } << 32) | uint64_t { AAX_SDK_CURRENT_REVISION };
    return AAX_SUCCESS;
}
