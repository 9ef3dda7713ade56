#pragma once

#include "AAX.h"

/** Parameter automation through the host. A parameter with a delegate asks the host for every
    change (touch, set-value request, release) and stores the value only when the host confirms
    it. Normalised values run from 0 to 1. Called on the host's non-real-time threads. */
class AAX_IAutomationDelegate
{
public:
    virtual ~AAX_IAutomationDelegate() = default;

    /** Announces a parameter to the host's automation. */
    virtual AAX_Result RegisterParameter(AAX_CParamID parameterID) = 0;
    virtual AAX_Result UnregisterParameter(AAX_CParamID parameterID) = 0;

    /** Asks the host to set a value; the host answers with a confirmed update. */
    virtual AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const = 0;

    /** Tells the host the value a parameter now has. */
    virtual AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const = 0;

    /** Begin and end of a change gesture. */
    virtual AAX_Result PostTouchRequest(AAX_CParamID parameterID) = 0;
    virtual AAX_Result PostReleaseRequest(AAX_CParamID parameterID) = 0;

    virtual AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) = 0;
};
