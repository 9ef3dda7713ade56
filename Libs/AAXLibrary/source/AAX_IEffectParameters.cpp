#include "AAX_IEffectParameters.h"

#include "AAX_UIDs.h"

ACFRESULT AAX_IEffectParameters::QueryInterface(const acfIID& iid, void** out)
{
    return GetOuterUnknown()->QueryInterface(iid, out);
}

uint32_t AAX_IEffectParameters::AddRef()
{
    return GetOuterUnknown()->AddRef();
}

uint32_t AAX_IEffectParameters::Release()
{
    return GetOuterUnknown()->Release();
}

ACFRESULT AAX_IEffectParameters::InternalQueryInterface(const acfIID& iid, void** out)
{
    if (out == nullptr)
        return ACF_E_INVALIDARG;

    if (iid == IID_IAAXEffectParametersV1 || iid == IID_IAAXEffectParametersV2 || iid == IID_IAAXEffectParametersV3
        || iid == IID_IAAXEffectParametersV4)
    {
        AAX_IACFEffectParameters_V4* const hostFacing = this;
        *out = hostFacing;
        hostFacing->AddRef();
        return ACF_OK;
    }
    return CACFUnknown::InternalQueryInterface(iid, out);
}
