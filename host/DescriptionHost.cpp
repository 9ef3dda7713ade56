#include "DescriptionHost.h"

#include "AAX_UIDs.h"
#include "FeatureInfo.h"
#include "Format.h"

namespace aaxhost
{
DescriptionHost::DescriptionHost(std::shared_ptr<CallHook> hook)
    : HostUnknown("descriptionHost", std::move(hook), false)
{
}

void* DescriptionHost::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXDescriptionHostV1)
        return static_cast<AAX_IACFDescriptionHost*>(this);
    return nullptr;
}

AAX_Result DescriptionHost::AcquireFeatureProperties(const AAX_Feature_UID& feature, IACFUnknown** out)
{
    if (out != nullptr)
        *out = nullptr;
    if (auto forced = Enter("AcquireFeatureProperties", [&] { return UidName(feature); }))
        return *forced;
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    const auto found = mFeatures.find(feature);
    if (found == mFeatures.end() || !found->second)
        return AAX_ERROR_UNIMPLEMENTED;
    found->second->AddRef();
    *out = found->second.get();
    return AAX_SUCCESS;
}

void DescriptionHost::SetFeature(const AAX_Feature_UID& feature, FeatureInfo* info)
{
    mFeatures[feature] = Hold(info != nullptr ? static_cast<AAX_IACFFeatureInfo*>(info) : nullptr);
}
} // namespace aaxhost
