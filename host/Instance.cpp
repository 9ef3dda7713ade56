#include "Instance.h"

#include "AAX_UIDs.h"
#include "Host.h"

namespace aaxhost
{
namespace
{
const acfIID* const kEffectParametersIds[] = { &IID_IAAXEffectParametersV1, &IID_IAAXEffectParametersV2,
                                               &IID_IAAXEffectParametersV3, &IID_IAAXEffectParametersV4 };
}

Instance::Instance(Host& host)
    : mContext(new HostContext(host.Hook(), host.Hook()->NextName("instance")))
    , mController(new Controller(host.Hook()))
    , mPageTableController(new PageTableController(host.Hook()))
    , mAutomation(new AutomationDelegate(host.Hook(), "automation", true))
    , mTransport(new Transport(host.Hook(), "transport", true))
    , mView(new ViewContainer(host.Hook()))
{
    auto* const controller = static_cast<AAX_IACFController_V3*>(mController);
    mContext->Provide(IID_IAAXControllerV1, controller);
    mContext->Provide(IID_IAAXControllerV2, controller);
    mContext->Provide(IID_IAAXControllerV3, controller);

    auto* const pageTables = static_cast<AAX_IACFPageTableController_V2*>(mPageTableController);
    mContext->Provide(IID_IAAXPageTableController, pageTables);
    mContext->Provide(IID_IAAXPageTableControllerV2, pageTables);

    mContext->Provide(IID_IAAXAutomationDelegateV1, static_cast<AAX_IACFAutomationDelegate*>(mAutomation));
    mContext->Provide(IID_IAAXTransportV1, static_cast<AAX_IACFTransport_V2*>(mTransport));
    mContext->Provide(IID_IAAXTransportV2, static_cast<AAX_IACFTransport_V2*>(mTransport));
    mContext->Provide(IID_IACFComponentFactory, static_cast<IACFComponentFactory*>(&host.GetFactory()));
}

Instance::~Instance()
{
    UnbindEffect();
    mContext->RemoveAll();

    mContext->Drop();
    mView->Drop();
    mTransport->Drop();
    mAutomation->Drop();
    mPageTableController->Drop();
    mController->Drop();
}

bool Instance::BindEffect(IACFUnknown* effect)
{
    UnbindEffect();

    ACFPtr<AAX_IACFEffectParameters> found;
    if (effect == nullptr || found.QueryFrom(effect, IID_IAAXEffectParametersV1) != ACF_OK || !found)
        return false;

    mEffect = std::move(found);
    for (const acfIID* iid : kEffectParametersIds)
        mContext->Provide(*iid, mEffect.get());
    mAutomation->BindInstance(mEffect.get());
    return true;
}

void Instance::UnbindEffect()
{
    mAutomation->BindInstance(nullptr);
    for (const acfIID* iid : kEffectParametersIds)
        mContext->Remove(*iid);
    mEffect.reset();
}
} // namespace aaxhost
