#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's description services: what the host supports. */
class AAX_IACFDescriptionHost : public IACFUnknown
{
public:
    /** Stores the feature's record (an object answering IID_IAAXFeatureInfoV1), with one
        reference, in *out. */
    virtual AAX_Result AcquireFeatureProperties(const AAX_Feature_UID& feature, IACFUnknown** out) = 0;
};
