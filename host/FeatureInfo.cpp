#include "FeatureInfo.h"

#include "AAX_UIDs.h"
#include "Format.h"
#include "PropertyMap.h"

namespace aaxhost
{
FeatureInfo::FeatureInfo(std::shared_ptr<CallHook> hook, AAX_ESupportLevel level)
    : HostUnknown("feature", std::move(hook))
    , mLevel(level)
{
}

void* FeatureInfo::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXFeatureInfoV1)
        return static_cast<AAX_IACFFeatureInfo*>(this);
    return nullptr;
}

AAX_Result FeatureInfo::SupportLevel(AAX_ESupportLevel* level)
{
    return Answer("SupportLevel", level, mLevel);
}

AAX_Result FeatureInfo::AcquireProperties(IACFUnknown** out)
{
    if (out != nullptr)
        *out = nullptr;
    if (auto forced = Enter("AcquireProperties"))
        return *forced;
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (!mProperties)
        return AAX_ERROR_NULL_OBJECT;
    mProperties->AddRef();
    *out = mProperties.get();
    return AAX_SUCCESS;
}

void FeatureInfo::SetProperties(PropertyMap* properties)
{
    mProperties = Hold(properties != nullptr ? static_cast<AAX_IACFPropertyMap_V3*>(properties) : nullptr);
}
} // namespace aaxhost
