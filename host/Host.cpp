#include "Host.h"

#include "AAX_UIDs.h"

namespace aaxhost
{
Host::Host(CallObserver* observer)
    : mHook(std::make_shared<CallHook>(observer))
    , mServices(new HostServices(mHook))
    , mFactory(new ComponentFactory(mHook, *mServices))
    , mDescriptionHost(new DescriptionHost(mHook))
    , mDefinition(new Definition(mHook))
    , mAutomation(new AutomationDelegate(mHook))
    , mTransport(new Transport(mHook))
    , mView(new ViewContainer(mHook))
    , mContext(new HostContext(mHook))
{
    mContext->Provide(IID_IACFComponentFactory, static_cast<IACFComponentFactory*>(mFactory));
    mContext->Provide(IID_IAAXDescriptionHostV1, static_cast<AAX_IACFDescriptionHost*>(mDescriptionHost));
    mContext->Provide(IID_IACFDefinition, static_cast<IACFDefinition*>(mDefinition));
    mContext->Provide(IID_IAAXAutomationDelegateV1, static_cast<AAX_IACFAutomationDelegate*>(mAutomation));
    mContext->Provide(IID_IAAXTransportV1, static_cast<AAX_IACFTransport_V2*>(mTransport));
    mContext->Provide(IID_IAAXTransportV2, static_cast<AAX_IACFTransport_V2*>(mTransport));
}

Host::~Host()
{
    mContext->RemoveAll();
    mFactory->ReleaseCreated();

    mContext->Drop();
    mView->Drop();
    mTransport->Drop();
    mAutomation->Drop();
    mDefinition->Drop();
    mDescriptionHost->Drop();
    mFactory->Drop();
    mServices->Drop();
}
} // namespace aaxhost
