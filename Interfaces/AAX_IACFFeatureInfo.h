#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's record of one feature. */
class AAX_IACFFeatureInfo : public IACFUnknown
{
public:
    virtual AAX_Result SupportLevel(AAX_ESupportLevel* level) = 0;

    /** Stores the feature's property map (an object answering the property-map ids), with one
        reference, in *out. */
    virtual AAX_Result AcquireProperties(IACFUnknown** out) = 0;
};
