#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFFeatureInfo.h"
#include "HostObject.h"

namespace aaxhost
{
class PropertyMap;

/** The host's record of one feature: a support level and, optionally, a property map. */
class FeatureInfo final : public HostUnknown<AAX_IACFFeatureInfo>
{
public:
    FeatureInfo(std::shared_ptr<CallHook> hook, AAX_ESupportLevel level);

    AAX_Result SupportLevel(AAX_ESupportLevel* level) override;

    /** Hands out the property map with a reference for the caller; fails without one. */
    AAX_Result AcquireProperties(IACFUnknown** out) override;

    /** Gives the feature a property map (a new reference is taken). */
    void SetProperties(PropertyMap* properties);

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    AAX_ESupportLevel mLevel;
    ACFPtr<IACFUnknown> mProperties;
};
} // namespace aaxhost
