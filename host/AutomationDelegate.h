#pragma once

#include <set>
#include <string>
#include <vector>

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFEffectParameters.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's automation of one instance: keeps the registered ids and touch states, and queues
    set-value requests, the latest per id (a newer request for an id replaces the queued one and
    goes to the back). Like a real host it answers them later, by calling the bound instance's
    UpdateParameterNormalizedValue (ConfirmPending). */
class AutomationDelegate final : public HostUnknown<AAX_IACFAutomationDelegate>
{
public:
    /** One set-value request as the instance posted it. */
    struct Request
    {
        std::string parameterID;
        double value = 0.0;
    };

    explicit AutomationDelegate(std::shared_ptr<CallHook> hook, const std::string& name = "automation",
                                bool numbered = false);

    AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
    AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
    AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) override;
    AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) override;
    AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
    AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
    AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) override;

    /** Ids currently registered. */
    std::set<std::string> Registered() const;

    /** The instance whose requests are confirmed (not retained; null unbinds). */
    void BindInstance(AAX_IACFEffectParameters* instance);

    /** Requests not yet confirmed, oldest first. */
    std::vector<Request> Pending() const;

    /** Confirms the queued requests in order through the bound instance's
        UpdateParameterNormalizedValue (source AAX_eUpdateSource_Parameter), requests made while
        confirming included. Returns how many were confirmed; without a bound instance nothing
        happens and the requests stay queued. */
    size_t ConfirmPending();

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    mutable std::mutex mStateMutex;
    std::set<std::string> mRegistered;
    std::set<std::string> mTouched;
    std::vector<Request> mPending;
    AAX_IACFEffectParameters* mInstance = nullptr;
};
} // namespace aaxhost
