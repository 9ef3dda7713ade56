#pragma once

#include "ACF/IACFDefinition.h"
#include "AAX.h"

class AAX_IDescriptionHost;
class AAX_IEffectDescriptor;
class AAX_IPropertyMap;

/** The package a module describes at registration: its effects, manufacturer, package names and
    version. Handed to GetEffectDescriptions; lives for that call only, and owns every descriptor
    and property map it creates. Registration thread only. */
class AAX_ICollection
{
public:
    virtual ~AAX_ICollection() = default;

    /** A new, empty effect descriptor owned by the collection. */
    virtual AAX_IEffectDescriptor* NewDescriptor() = 0;

    /** Adds a described effect under `effectID` (reverse-domain form). */
    virtual AAX_Result AddEffect(const char* effectID, AAX_IEffectDescriptor* descriptor) = 0;

    virtual AAX_Result SetManufacturerName(const char* name) = 0;

    /** Adds a package name; the host uses the longest that fits its display. */
    virtual AAX_Result AddPackageName(const char* name) = 0;

    /** The package version, 0xMMMMmmmm (major in the upper half). */
    virtual AAX_Result SetPackageVersion(uint32_t version) = 0;

    /** A new property map owned by the collection; null when the host gives none. */
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;

    virtual AAX_Result SetProperties(AAX_IPropertyMap* properties) = 0;

    /** The host's description services, or null when the host offers none. */
    virtual AAX_IDescriptionHost* DescriptionHost() = 0;
    virtual const AAX_IDescriptionHost* DescriptionHost() const = 0;

    /** The host's definition object, or null. */
    virtual IACFDefinition* HostDefinition() const = 0;
};
