#pragma once

#include <memory>

#include "AutomationDelegate.h"
#include "CallHook.h"
#include "ComponentFactory.h"
#include "Definition.h"
#include "DescriptionHost.h"
#include "HostContext.h"
#include "HostServices.h"
#include "Transport.h"
#include "ViewContainer.h"

namespace aaxhost
{
/** A stand-in AAX host for one test or one loaded module: its context (what the plug-in's entry
    points and wrappers receive) answers the component factory, the description host, the host
    definition, automation and transport; the diagnostics services come from the factory; a view
    container is at hand for editors. Every object reports its calls to the host's observer, if
    one is given (tests attach one; the host runs without).

    Destroying the host drops its references; objects the plug-in still holds live on until it
    releases them (HostObject::LiveCount finds leaks). */
class Host
{
public:
    /** `observer` (null: none) must outlive every call into the host's objects. */
    explicit Host(CallObserver* observer = nullptr);
    ~Host();

    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const std::shared_ptr<CallHook>& Hook() const { return mHook; }
    CallObserver* Observer() const { return mHook->Observer(); }

    /** The context as the plug-in receives it. */
    IACFUnknown* Unknown() { return mContext->Unknown(); }

    HostContext& GetContext() { return *mContext; }
    ComponentFactory& GetFactory() { return *mFactory; }
    HostServices& GetServices() { return *mServices; }
    DescriptionHost& GetDescriptionHost() { return *mDescriptionHost; }
    Definition& GetDefinition() { return *mDefinition; }
    AutomationDelegate& GetAutomation() { return *mAutomation; }
    Transport& GetTransport() { return *mTransport; }
    ViewContainer& GetView() { return *mView; }

    /** The view container as the plug-in receives it. */
    IACFUnknown* ViewUnknown() { return static_cast<AAX_IACFViewContainer_V2*>(mView); }

private:
    std::shared_ptr<CallHook> mHook;
    HostServices* mServices;
    ComponentFactory* mFactory;
    DescriptionHost* mDescriptionHost;
    Definition* mDefinition;
    AutomationDelegate* mAutomation;
    Transport* mTransport;
    ViewContainer* mView;
    HostContext* mContext;
};
} // namespace aaxhost
