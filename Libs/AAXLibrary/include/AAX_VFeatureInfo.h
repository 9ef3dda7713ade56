#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFFeatureInfo.h"
#include "AAX_IFeatureInfo.h"

/** AAX_IFeatureInfo over the host's record of one feature. Used on the registration thread only. */
class AAX_VFeatureInfo : public AAX_IFeatureInfo
{
public:
    /** Takes its own reference to `object`'s feature-record interface; the caller keeps its own. */
    AAX_VFeatureInfo(IACFUnknown* object, const AAX_Feature_UID& feature);
    ~AAX_VFeatureInfo() override;

    /** -20004 without the host interface; else the host's result. */
    AAX_Result SupportLevel(AAX_ESupportLevel& level) const override;

    /** A new property map owned by the caller; null without the host interface, when the host
        fails or when it gives no object. */
    const AAX_IPropertyMap* AcquireProperties() const override;

    const AAX_Feature_UID& ID() const override { return mFeatureID; }

private:
    AAX_Feature_UID mFeatureID;
    ACFPtr<AAX_IACFFeatureInfo> mIFeature;
};
