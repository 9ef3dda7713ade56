#pragma once

#include "AAX.h"

class AAX_IPropertyMap;

/** What the host says about one of its features. Owned by whoever acquired it. */
class AAX_IFeatureInfo
{
public:
    virtual ~AAX_IFeatureInfo() = default;

    /** Writes how far the host supports the feature. */
    virtual AAX_Result SupportLevel(AAX_ESupportLevel& level) const = 0;

    /** The feature's properties, owned by the caller (delete it); null when there are none. */
    virtual const AAX_IPropertyMap* AcquireProperties() const = 0;

    /** The feature's id. */
    virtual const AAX_Feature_UID& ID() const = 0;
};
