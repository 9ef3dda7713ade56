#pragma once

#include <map>

#include "ACF/ACFPtr.h"
#include "AAX_IACFDescriptionHost.h"
#include "HostObject.h"

namespace aaxhost
{
class FeatureInfo;

/** The host's description services: hands out the feature records a test sets up. */
class DescriptionHost final : public HostUnknown<AAX_IACFDescriptionHost>
{
public:
    explicit DescriptionHost(std::shared_ptr<CallHook> hook);

    /** The record with a reference for the caller; an unknown feature gives -20009 and null. */
    AAX_Result AcquireFeatureProperties(const AAX_Feature_UID& feature, IACFUnknown** out) override;

    /** Sets the record of a feature (a new reference is taken). */
    void SetFeature(const AAX_Feature_UID& feature, FeatureInfo* info);

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    std::map<acfUID, ACFPtr<IACFUnknown>> mFeatures;
};
} // namespace aaxhost
