#pragma once

#include "ACF/ACFPtr.h"
#include "ACF/IACFDefinition.h"
#include "AAX_IACFDescriptionHost.h"
#include "AAX_IDescriptionHost.h"

/** AAX_IDescriptionHost over the host's description services; also holds the host's definition
    object. Used on the registration thread only. */
class AAX_VDescriptionHost : public AAX_IDescriptionHost
{
public:
    explicit AAX_VDescriptionHost(IACFUnknown* host);
    ~AAX_VDescriptionHost() override;

    /** A new feature record owned by the caller; null without the host interface, when the host
        fails or when it gives no object. */
    AAX_IFeatureInfo* AcquireFeatureProperties(const AAX_Feature_UID& feature) const override;

    /** The host's description services, or null. */
    AAX_IACFDescriptionHost* DescriptionHost() const { return mDescriptionHost.get(); }

    /** The host's definition object, or null. */
    IACFDefinition* HostDefinition() const { return mHostInformation.get(); }

private:
    ACFPtr<AAX_IACFDescriptionHost> mDescriptionHost;
    ACFPtr<IACFDefinition> mHostInformation;
};
