#include "ComponentFactory.h"

#include "AAX_UIDs.h"
#include "Collection.h"
#include "ComponentDescriptor.h"
#include "EffectDescriptor.h"
#include "Format.h"
#include "HostServices.h"
#include "PageTable.h"
#include "PropertyMap.h"

namespace aaxhost
{
ComponentFactory::ComponentFactory(std::shared_ptr<CallHook> hook, HostServices& services)
    : HostUnknown("factory", std::move(hook), false)
    , mServices(services)
{
    Register(AAXCompID_AAXCollection, [](std::shared_ptr<CallHook> h) -> HostObject* { return new Collection(h); });
    Register(AAXCompID_AAXEffectDescriptor,
             [](std::shared_ptr<CallHook> h) -> HostObject* { return new EffectDescriptor(h); });
    Register(AAXCompID_AAXComponentDescriptor,
             [](std::shared_ptr<CallHook> h) -> HostObject* { return new ComponentDescriptor(h); });
    Register(AAXCompID_AAXPropertyMap, [](std::shared_ptr<CallHook> h) -> HostObject* { return new PropertyMap(h); });
    Register(AAXCompID_PageTable, [](std::shared_ptr<CallHook> h) -> HostObject* { return new PageTable(h); });
}

ComponentFactory::~ComponentFactory()
{
    ReleaseCreated();
}

void* ComponentFactory::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IACFComponentFactory)
        return static_cast<IACFComponentFactory*>(this);
    return nullptr;
}

void ComponentFactory::Register(const acfCLSID& clsid, std::function<HostObject*(std::shared_ptr<CallHook>)> make)
{
    mMakers[clsid] = std::move(make);
}

void ComponentFactory::ReleaseCreated()
{
    std::vector<HostObject*> created;
    created.swap(mCreated);
    for (HostObject* object : created)
        object->Drop();
}

ACFRESULT ComponentFactory::CreateComponent(const acfCLSID& clsid, IACFUnknown* outer, const acfIID& iid, void** out)
{
    if (out != nullptr)
        *out = nullptr;
    if (auto forced = Enter("CreateComponent",
                            [&] { return UidName(clsid) + ", " + ObjectName(outer) + ", " + UidName(iid); }))
        return *forced;
    if (out == nullptr)
        return ACF_E_INVALIDARG;
    if (outer != nullptr)
        return ACF_E_NOINTERFACE;

    if (clsid == AAXCompID_HostServices)
        return mServices.QueryInterfaceImpl(iid, out);

    const auto maker = mMakers.find(clsid);
    if (maker == mMakers.end())
        return ACF_E_NOINTERFACE;

    HostObject* const object = maker->second(Hook());
    mCreated.push_back(object); // keeps the creation reference

    return object->QueryInterfaceImpl(iid, out);
}
} // namespace aaxhost
