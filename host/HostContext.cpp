#include "HostContext.h"

#include "ACF/acfuids.h"

namespace aaxhost
{
HostContext::HostContext(std::shared_ptr<CallHook> hook, const std::string& name)
    : HostUnknown(name, std::move(hook), false)
{
}

void HostContext::Provide(const acfIID& iid, IACFUnknown* provider)
{
    mProviders[iid] = Hold(provider);
}

void HostContext::Remove(const acfIID& iid)
{
    mProviders.erase(iid);
}

void HostContext::RemoveAll()
{
    mProviders.clear();
}

void* HostContext::FindInterface(const acfIID& iid)
{
    return iid == IID_IACFUnknown ? static_cast<IACFUnknown*>(this) : nullptr;
}

void* HostContext::AcquireInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown)
        return HostObject::AcquireInterface(iid);

    const auto found = mProviders.find(iid);
    if (found == mProviders.end() || !found->second)
        return nullptr;

    void* answer = nullptr;
    if (found->second->QueryInterface(iid, &answer) != ACF_OK)
        return nullptr;
    return answer;
}
} // namespace aaxhost
