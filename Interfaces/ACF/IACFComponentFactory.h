#pragma once

#include "IACFUnknown.h"

/** The host's factory of host-side components (collections, descriptors, property maps, ...).

    CreateComponent makes a new component of class `clsid` and stores its `iid` interface, with
    one reference, in *out. `outer` is reserved for aggregation and is always null here.
*/
class IACFComponentFactory : public IACFUnknown
{
public:
    virtual ACFRESULT CreateComponent(const acfCLSID& clsid, IACFUnknown* outer, const acfIID& iid, void** out) = 0;
};
