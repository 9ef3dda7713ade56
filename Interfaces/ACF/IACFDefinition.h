#pragma once

#include "IACFUnknown.h"

/** A set of typed attributes that describes something to the host (a plug-in, a component).

    Attributes are keyed by id; each carries a type id and a block of bytes.
*/
class IACFDefinition : public IACFUnknown
{
public:
    /** Adds or replaces an attribute; the bytes are copied. */
    virtual ACFRESULT DefineAttribute(const acfUID& attributeID, const acfUID& typeID, const void* data,
                                      uint32_t size) = 0;

    /** Writes the attribute's type id and size in bytes. */
    virtual ACFRESULT GetAttributeInfo(const acfUID& attributeID, acfUID* typeID, uint32_t* size) = 0;

    /** Copies at most `size` bytes of the attribute into `data`; the type id must match. */
    virtual ACFRESULT CopyAttribute(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size) = 0;
};
