#pragma once

#include "AAX.h"

class AAX_IFeatureInfo;

/** The host's description services as the plug-in's description routine sees them. */
class AAX_IDescriptionHost
{
public:
    virtual ~AAX_IDescriptionHost() = default;

    /** The host's record of `feature`, owned by the caller (delete it); null when the host has
        none. */
    virtual AAX_IFeatureInfo* AcquireFeatureProperties(const AAX_Feature_UID& feature) const = 0;
};
