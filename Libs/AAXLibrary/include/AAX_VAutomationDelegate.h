#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IAutomationDelegate.h"

/** AAX_IAutomationDelegate over the host's automation; every operation returns -20004 when the
    context offers none. */
class AAX_VAutomationDelegate : public AAX_IAutomationDelegate
{
public:
    explicit AAX_VAutomationDelegate(IACFUnknown* context);
    ~AAX_VAutomationDelegate() override;

    AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
    AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
    AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const override;
    AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const override;
    AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
    AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
    AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) override;

    /** True when the host's automation interface was obtained. */
    bool IsSupported() const { return static_cast<bool>(mIAutomationDelegate); }

private:
    ACFPtr<AAX_IACFAutomationDelegate> mIAutomationDelegate;
};
