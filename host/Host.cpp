#include "Host.h"

#include "AAX_UIDs.h"

namespace aaxhost
{
Host::Host()
    : mLog(std::make_shared<CallLog>()),
      mServices(new HostServices(mLog)),
      mFactory(new ComponentFactory(mLog, *mServices)),
      mDescriptionHost(new DescriptionHost(mLog)),
      mDefinition(new Definition(mLog)),
      mAutomation(new AutomationDelegate(mLog)),
      mTransport(new Transport(mLog)),
      mView(new ViewContainer(mLog)),
      mContext(new HostContext(mLog))
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
