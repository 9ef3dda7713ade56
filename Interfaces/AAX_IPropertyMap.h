#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** Properties of a description item: integer values, pointer values and arrays of plug-in
    identifier triads, keyed by AAX_EProperty. Written during registration on the host's
    registration thread; owned by the descriptor that created it, or by the caller where a
    function says so. */
class AAX_IPropertyMap
{
public:
    virtual ~AAX_IPropertyMap() = default;

    /** Writes the integer value of `property` to *value; true when found. */
    virtual bool GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const = 0;

    /** Writes the pointer value of `property` to *value; true when found. */
    virtual bool GetPointerProperty(AAX_EProperty property, const void** value) const = 0;

    /** Sets an integer property. Stem formats (input and output) are checked. */
    virtual AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) = 0;

    /** Sets a pointer property. */
    virtual AAX_Result AddPointerProperty(AAX_EProperty property, const void* value) = 0;

    /** Sets a pointer property to the address of a text (which must outlive the registration). */
    virtual AAX_Result AddPointerProperty(AAX_EProperty property, const char* text) = 0;

    virtual AAX_Result RemoveProperty(AAX_EProperty property) = 0;

    virtual AAX_Result AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                              uint32_t count) = 0;
    virtual bool GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                        uint32_t* count) const = 0;

    /** The host object behind the map, as handed to the host when the map is attached to a
        description item; null when there is none. */
    virtual IACFUnknown* GetIUnknown() const = 0;
};
