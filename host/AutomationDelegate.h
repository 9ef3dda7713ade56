#pragma once

#include <map>
#include <set>
#include <string>

#include "AAX_IACFAutomationDelegate.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's automation of one instance: keeps the registered ids and touch states. Confirming
    a requested value is the instance's business (the host calls it back), not this object's. */
class AutomationDelegate final : public HostUnknown<AAX_IACFAutomationDelegate>
{
public:
    explicit AutomationDelegate(std::shared_ptr<CallLog> log);

    AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
    AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
    AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) override;
    AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) override;
    AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
    AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
    AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) override;

    /** Ids currently registered. */
    std::set<std::string> Registered() const;

    /** Last value reported by PostCurrentValue for an id, or -1 when none. */
    double LastReportedValue(const std::string& parameterID) const;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    mutable std::mutex mStateMutex;
    std::set<std::string> mRegistered;
    std::set<std::string> mTouched;
    std::map<std::string, double> mReported;
};
} // namespace aaxhost
