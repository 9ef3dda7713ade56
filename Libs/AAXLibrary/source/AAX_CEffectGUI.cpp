#include "AAX_CEffectGUI.h"

#include <utility>

#include "AAX_CString.h"
#include "AAX_HostFacingGuard.h"
#include "AAX_UIDs.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"

namespace
{
/** Runs a host-facing operation so that nothing thrown below it reaches the host. */
template <class Operation>
AAX_Result Guarded(const char* where, Operation&& operation) noexcept
{
    return AAX_CallGuarded("AAX_CEffectGUI", where, std::forward<Operation>(operation));
}
} // namespace

AAX_CEffectGUI::AAX_CEffectGUI() = default;

AAX_CEffectGUI::~AAX_CEffectGUI()
{
    // The derived part is gone: its operations cannot be called from here any more.
    try
    {
        ReleaseHostState();
    }
    catch (...)
    {
    }
}

void AAX_CEffectGUI::ReleaseHostState()
{
    delete mViewContainer;
    mViewContainer = nullptr;

    if (AAX_IEffectParameters* const effect = mEffectParameters)
    {
        mEffectParameters = nullptr;
        effect->Release();
    }

    delete mController;
    mController = nullptr;
    delete mTransport;
    mTransport = nullptr;
}

AAX_Result AAX_CEffectGUI::Initialize(IACFUnknown* context)
{
    return Guarded("Initialize", [&]() -> AAX_Result {
        if (mController != nullptr || mEffectParameters != nullptr || mTransport != nullptr || mViewContainer != nullptr
            || mViewContentsCreated)
            Uninitialize();

        mController = new AAX_VController(context);
        if (context == nullptr)
            return AAX_ERROR_NOT_INITIALIZED;

        // Only the plug-in's own data model can serve as one; anything else is let go.
        void* raw = nullptr;
        if (context->QueryInterface(IID_IAAXEffectParametersV1, &raw) == ACF_OK && raw != nullptr)
        {
            auto* const hostFacing = static_cast<AAX_IACFEffectParameters*>(raw);
            mEffectParameters = dynamic_cast<AAX_IEffectParameters*>(hostFacing);
            if (mEffectParameters == nullptr)
                hostFacing->Release();
        }

        mTransport = new AAX_VTransport(context);

        mViewContentsCreated = true;
        CreateViewContents();
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectGUI::Uninitialize()
{
    return Guarded("Uninitialize", [&]() -> AAX_Result {
        // The view contents use the effect parameters and the view: they go first.
        if (mViewContentsCreated || mViewContainer != nullptr)
        {
            mViewContentsCreated = false;
            DeleteViewContainer();
        }
        ReleaseHostState();
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectGUI::NotificationReceived(AAX_CTypeID, const void*, uint32_t)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(IACFUnknown* viewContainer)
{
    return Guarded("SetViewContainer", [&]() -> AAX_Result {
        // Whatever is attached is detached while the view it sits in still exists.
        if (viewContainer == nullptr || mViewContainer != nullptr)
        {
            mViewContentsCreated = false;
            DeleteViewContainer();
            delete mViewContainer;
            mViewContainer = nullptr;
        }

        if (viewContainer != nullptr)
        {
            mViewContainer = new AAX_VViewContainer(viewContainer);
            mViewContentsCreated = true;
            CreateViewContainer();
            UpdateAllParameters();
        }
        return AAX_SUCCESS;
    });
}

void AAX_CEffectGUI::UpdateAllParameters()
{
    if (mEffectParameters == nullptr)
        return;

    int32_t count = 0;
    if (mEffectParameters->GetNumberOfParameters(&count) != AAX_SUCCESS || count < 0)
        return;

    for (int32_t i = 0; i < count; ++i)
    {
        AAX_CString id;
        if (mEffectParameters->GetParameterIDFromIndex(i, &id) == AAX_SUCCESS)
            ParameterUpdated(id.Get());
    }
}

AAX_Result AAX_CEffectGUI::GetViewSize(AAX_Point*) const
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::Draw(AAX_Rect*)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::TimerWakeup()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::ParameterUpdated(AAX_CParamID)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetCustomLabel(AAX_EPlugInStrings, AAX_IString*) const
{
    return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_CEffectGUI::SetControlHighlightInfo(AAX_CParamID, AAX_CBoolean, AAX_EHighlightColor)
{
    return AAX_SUCCESS;
}

int32_t AAX_CEffectGUI::GetViewContainerType()
{
    return mViewContainer != nullptr ? mViewContainer->GetType() : 0;
}

void* AAX_CEffectGUI::GetViewContainerPtr()
{
    return mViewContainer != nullptr ? mViewContainer->GetPtr() : nullptr;
}
