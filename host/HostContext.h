#pragma once

#include <map>

#include "ACF/ACFPtr.h"
#include "HostObject.h"

namespace aaxhost
{
/** A host context handed to the plug-in (at start-up, registration, or an instance's
    initialisation): answers each offered interface id with the interface of the object offering
    it. */
class HostContext final : public HostUnknown<IACFUnknown>
{
public:
    explicit HostContext(std::shared_ptr<CallHook> hook, const std::string& name = "context");

    /** From now on `iid` is answered by `provider` (a reference is taken). */
    void Provide(const acfIID& iid, IACFUnknown* provider);

    /** Stops answering `iid`. */
    void Remove(const acfIID& iid);

    /** Drops every provider (they may hold references back to objects that hold this context). */
    void RemoveAll();

    IACFUnknown* Unknown() { return static_cast<IACFUnknown*>(this); }

protected:
    void* FindInterface(const acfIID& iid) override;

    /** Offered ids are answered by their provider, which adds the caller's reference. */
    void* AcquireInterface(const acfIID& iid) override;

private:
    std::map<acfIID, ACFPtr<IACFUnknown>> mProviders;
};
} // namespace aaxhost
