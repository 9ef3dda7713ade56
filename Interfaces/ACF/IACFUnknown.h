#pragma once

#include "acfbasetypes.h"

/** The base of every framework interface: interface lookup and reference counting.

    A successful QueryInterface stores the interface pointer for `iid` in *out and adds one
    reference; on failure *out is null. AddRef and Release return the new count. Any thread may
    call them; implementations count atomically.
*/
class IACFUnknown
{
public:
    virtual ACFRESULT QueryInterface(const acfIID& iid, void** out) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
};
