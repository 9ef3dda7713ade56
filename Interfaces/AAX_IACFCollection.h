#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's collection: the whole package a module describes. */
class AAX_IACFCollection : public IACFUnknown
{
public:
    /** Adds an effect under `effectID` (reverse-domain form); `effectDescriptor` is the host's
        effect descriptor object. */
    virtual AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) = 0;
    virtual AAX_Result SetManufacturerName(const char* name) = 0;
    virtual AAX_Result AddPackageName(const char* name) = 0;
    virtual AAX_Result SetPackageVersion(uint32_t version) = 0;
    virtual AAX_Result SetProperties(IACFUnknown* properties) = 0;
};
