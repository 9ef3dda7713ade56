#pragma once

#include <string>

#include "ACF/ACFPtr.h"
#include "AAX_IACFEffectParameters.h"
#include "AutomationDelegate.h"
#include "Controller.h"
#include "HostContext.h"
#include "PageTableController.h"
#include "Transport.h"
#include "ViewContainer.h"

namespace aaxhost
{
class Host;

/** The context of one plug-in instance: what the host hands to the instance's Initialize (and to
    its editor's). It answers the controller (versions 1 to 3), the page-table controller
    (versions 1 and 2), the instance's own automation and transport, and the host's component
    factory; once an effect is bound, also the effect-parameters ids, so that an editor
    initialised on this context finds its data model. A view container is at hand for the editor.

    Stop the context answering a version with GetContext().Remove(IID_...). All objects report
    their calls to the host's observer.

    Destroying the instance unbinds the effect and drops the host's references; objects the
    plug-in still holds live on until it releases them.
*/
class Instance
{
public:
    explicit Instance(Host& host);
    ~Instance();

    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    /** The context as the plug-in receives it. */
    IACFUnknown* Unknown() { return mContext->Unknown(); }

    /** The view container as the plug-in's editor receives it. */
    IACFUnknown* ViewUnknown() { return static_cast<AAX_IACFViewContainer_V2*>(mView); }

    HostContext& GetContext() { return *mContext; }
    Controller& GetController() { return *mController; }
    PageTableController& GetPageTableController() { return *mPageTableController; }
    AutomationDelegate& GetAutomation() { return *mAutomation; }
    Transport& GetTransport() { return *mTransport; }
    ViewContainer& GetView() { return *mView; }

    /** Binds the plug-in's data-model object (any of its unknowns): the context answers the four
        effect-parameters ids with it and the automation confirms requests through it. A
        reference is held until UnbindEffect. False when `effect` offers no effect parameters. */
    bool BindEffect(IACFUnknown* effect);
    void UnbindEffect();

    /** The bound effect's host-facing interface, or null. */
    AAX_IACFEffectParameters* Effect() const { return mEffect.get(); }

private:
    HostContext* mContext;
    Controller* mController;
    PageTableController* mPageTableController;
    AutomationDelegate* mAutomation;
    Transport* mTransport;
    ViewContainer* mView;
    ACFPtr<AAX_IACFEffectParameters> mEffect;
};
} // namespace aaxhost
