#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's property map: integer properties keyed by AAX_EProperty. */
class AAX_IACFPropertyMap : public IACFUnknown
{
public:
    /** Writes the value of `property` to *value; returns nonzero when it was found. */
    virtual AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const = 0;
    virtual AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) = 0;
    virtual AAX_Result RemoveProperty(AAX_EProperty property) = 0;
};

/** Second version: properties holding arrays of plug-in identifier triads. */
class AAX_IACFPropertyMap_V2 : public AAX_IACFPropertyMap
{
public:
    /** Copies `count` triads under `property`. */
    virtual AAX_Result AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                              uint32_t count) = 0;

    /** Points *ids at the stored triads (owned by the map) and writes their count. */
    virtual AAX_CBoolean GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                                uint32_t* count) const = 0;
};

/** Third version: pointer properties (procedure addresses, procedure and file names). */
class AAX_IACFPropertyMap_V3 : public AAX_IACFPropertyMap_V2
{
public:
    virtual AAX_CBoolean GetPointerProperty(AAX_EProperty property, const void** value) const = 0;
    virtual AAX_Result AddPointerProperty(AAX_EProperty property, const void* value) = 0;
};
