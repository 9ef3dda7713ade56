#pragma once

#include "ACF/ACFPtr.h"
#include "ACF/acfuids.h"

/** Creates a host component of class `clsid` through the factory that `host` offers and keeps its
    `iid` interface in `out`. Nothing happens without a host or a factory; a refused creation
    leaves `out` empty. The factory reference is dropped before returning. */
template <class T>
void AAX_CreateHostComponent(IACFUnknown* host, const acfCLSID& clsid, const acfIID& iid, ACFPtr<T>& out)
{
    if (host == nullptr)
        return;

    ACFPtr<IACFComponentFactory> factory;
    if (factory.QueryFrom(host, IID_IACFComponentFactory) == ACF_OK)
        out.CreateFrom(factory.get(), clsid, iid);
}

/** Takes a reference to `host` into `out` (or leaves it empty for a null host). */
inline void AAX_HoldHost(IACFUnknown* host, ACFPtr<IACFUnknown>& out)
{
    if (host != nullptr)
        host->AddRef();
    out.attach(host);
}
