#pragma once

#include <functional>
#include <map>
#include <vector>

#include "ACF/ACFPtr.h"
#include "ACF/IACFComponentFactory.h"
#include "HostObject.h"

namespace aaxhost
{
class HostServices;

/** The host's component factory: makes collections, effect and component descriptors, property
    maps and page tables, and hands out the host's one services object. Keeps a reference to every
    object it made, so that the host can read what the plug-in described after the plug-in has
    let go. */
class ComponentFactory final : public HostUnknown<IACFComponentFactory>
{
public:
    ComponentFactory(std::shared_ptr<CallHook> hook, HostServices& services);

    ACFRESULT CreateComponent(const acfCLSID& clsid, IACFUnknown* outer, const acfIID& iid, void** out) override;

    /** Makes objects of `clsid` with `make` (for kinds the host grows later). */
    void Register(const acfCLSID& clsid, std::function<HostObject*(std::shared_ptr<CallHook>)> make);

    /** The objects of type T made so far, in order. */
    template <class T>
    std::vector<T*> CreatedOf() const
    {
        std::vector<T*> found;
        for (HostObject* object : mCreated)
            if (auto* typed = dynamic_cast<T*>(object))
                found.push_back(typed);
        return found;
    }

    /** Drops the references to the objects made. */
    void ReleaseCreated();

    ~ComponentFactory() override;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    HostServices& mServices;
    std::map<acfCLSID, std::function<HostObject*(std::shared_ptr<CallHook>)>> mMakers;
    std::vector<HostObject*> mCreated;
};
} // namespace aaxhost
