#pragma once

#include <functional>
#include <map>
#include <set>
#include <vector>

#include "ACF/ACFPtr.h"
#include "ACF/IACFComponentFactory.h"
#include "HostObject.h"

namespace aaxhost
{
class HostServices;

/** The host's component factory: makes collections, effect and component descriptors, property
    maps and page tables, and hands out the host's one services object. Keeps a reference to every
    object it made, so that a test can inspect what the plug-in described after the plug-in has
    let go. */
class ComponentFactory final : public HostUnknown<IACFComponentFactory>
{
public:
    ComponentFactory(std::shared_ptr<CallLog> log, HostServices& services);

    ACFRESULT CreateComponent(const acfCLSID& clsid, IACFUnknown* outer, const acfIID& iid, void** out) override;

    /** Creation of `clsid` fails from now on. */
    void Refuse(const acfCLSID& clsid);

    /** New objects of `clsid` withhold `iid` (as a host lacking that version). */
    void WithholdOnCreate(const acfCLSID& clsid, const acfIID& iid);

    /** Makes objects of `clsid` with `make` (for kinds the host grows later). */
    void Register(const acfCLSID& clsid, std::function<HostObject*(std::shared_ptr<CallLog>)> make);

    /** Every object made so far, in order; those of type T when asked. */
    const std::vector<HostObject*>& Created() const { return mCreated; }

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
    std::set<acfCLSID> mRefused;
    std::map<acfCLSID, std::set<acfIID>> mWithheldOnCreate;
    std::map<acfCLSID, std::function<HostObject*(std::shared_ptr<CallLog>)>> mMakers;
    std::vector<HostObject*> mCreated;
};
} // namespace aaxhost
