#include "AutomationDelegate.h"

#include <algorithm>

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
AutomationDelegate::AutomationDelegate(std::shared_ptr<CallHook> hook, const std::string& name, bool numbered)
    : HostUnknown(name, std::move(hook), numbered)
{
}

void* AutomationDelegate::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXAutomationDelegateV1)
        return static_cast<AAX_IACFAutomationDelegate*>(this);
    return nullptr;
}

AAX_Result AutomationDelegate::RegisterParameter(AAX_CParamID parameterID)
{
    if (auto forced = Enter("RegisterParameter", [&] { return Quote(parameterID); }))
        return *forced;
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    std::lock_guard<std::mutex> lock(mStateMutex);
    mRegistered.insert(parameterID);
    return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::UnregisterParameter(AAX_CParamID parameterID)
{
    if (auto forced = Enter("UnregisterParameter", [&] { return Quote(parameterID); }))
        return *forced;
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    std::lock_guard<std::mutex> lock(mStateMutex);
    return mRegistered.erase(parameterID) != 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AutomationDelegate::PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue)
{
    if (auto forced = Enter("PostSetValueRequest", [&] { return Quote(parameterID) + ", " + Real(normalizedValue); }))
        return *forced;
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    std::lock_guard<std::mutex> lock(mStateMutex);
    mPending.erase(std::remove_if(mPending.begin(), mPending.end(),
                                  [&](const Request& queued) { return queued.parameterID == parameterID; }),
                   mPending.end());
    mPending.push_back({ parameterID, normalizedValue });
    return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostCurrentValue(AAX_CParamID parameterID, double normalizedValue)
{
    if (auto forced = Enter("PostCurrentValue", [&] { return Quote(parameterID) + ", " + Real(normalizedValue); }))
        return *forced;
    return parameterID == nullptr ? AAX_ERROR_NULL_ARGUMENT : AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostTouchRequest(AAX_CParamID parameterID)
{
    if (auto forced = Enter("PostTouchRequest", [&] { return Quote(parameterID); }))
        return *forced;
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    std::lock_guard<std::mutex> lock(mStateMutex);
    mTouched.insert(parameterID);
    return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostReleaseRequest(AAX_CParamID parameterID)
{
    if (auto forced = Enter("PostReleaseRequest", [&] { return Quote(parameterID); }))
        return *forced;
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    std::lock_guard<std::mutex> lock(mStateMutex);
    mTouched.erase(parameterID);
    return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched)
{
    if (auto forced = Enter("GetTouchState", [&] { return Quote(parameterID); }))
        return *forced;
    if (parameterID == nullptr || touched == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    std::lock_guard<std::mutex> lock(mStateMutex);
    *touched = mTouched.count(parameterID) != 0 ? 1 : 0;
    return AAX_SUCCESS;
}

std::set<std::string> AutomationDelegate::Registered() const
{
    std::lock_guard<std::mutex> lock(mStateMutex);
    return mRegistered;
}

void AutomationDelegate::BindInstance(AAX_IACFEffectParameters* instance)
{
    std::lock_guard<std::mutex> lock(mStateMutex);
    mInstance = instance;
}

std::vector<AutomationDelegate::Request> AutomationDelegate::Pending() const
{
    std::lock_guard<std::mutex> lock(mStateMutex);
    return mPending;
}

size_t AutomationDelegate::ConfirmPending()
{
    // Confirming may make the instance post further requests: they join the queue and are
    // confirmed in turn, without the state lock held across the call back.
    size_t confirmed = 0;
    for (;;)
    {
        Request request;
        AAX_IACFEffectParameters* instance = nullptr;
        {
            std::lock_guard<std::mutex> lock(mStateMutex);
            if (mInstance == nullptr || mPending.empty())
                return confirmed;
            instance = mInstance;
            request = mPending.front();
            mPending.erase(mPending.begin());
        }
        instance->UpdateParameterNormalizedValue(request.parameterID.c_str(), request.value,
                                                 AAX_eUpdateSource_Parameter);
        ++confirmed;
    }
}
} // namespace aaxhost
