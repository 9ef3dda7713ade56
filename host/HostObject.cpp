#include "HostObject.h"

#include <stdexcept>

#include "ACF/acfuids.h"
#include "Format.h"

namespace aaxhost
{
std::atomic<uint32_t> HostObject::sLiveCount { 0 };

HostObject::HostObject(const std::string& kind, std::shared_ptr<CallLog> log, bool numbered)
    : mName(numbered ? log->NextName(kind) : kind), mLog(std::move(log))
{
    sLiveCount.fetch_add(1);
}

HostObject::~HostObject()
{
    sLiveCount.fetch_sub(1);
}

uint32_t HostObject::LiveCount()
{
    return sLiveCount.load();
}

void HostObject::Withhold(const acfIID& iid)
{
    std::lock_guard<std::mutex> lock(mSwitchMutex);
    mWithheld.insert(iid);
}

void HostObject::Offer(const acfIID& iid)
{
    std::lock_guard<std::mutex> lock(mSwitchMutex);
    mWithheld.erase(iid);
}

void HostObject::FailCall(const std::string& method, AAX_Result result)
{
    std::lock_guard<std::mutex> lock(mSwitchMutex);
    mFailures[method] = result;
}

void HostObject::ThrowOnCall(const std::string& method)
{
    std::lock_guard<std::mutex> lock(mSwitchMutex);
    mThrowing.insert(method);
}

void HostObject::ResetSwitches()
{
    std::lock_guard<std::mutex> lock(mSwitchMutex);
    mWithheld.clear();
    mFailures.clear();
    mThrowing.clear();
}

uint32_t HostObject::Retain()
{
    return mRefCount.fetch_add(1) + 1;
}

uint32_t HostObject::Drop()
{
    uint32_t current = mRefCount.load();
    do
    {
        if (current == 0)
            return 0;
    } while (!mRefCount.compare_exchange_weak(current, current - 1));

    if (current == 1)
        delete this;
    return current - 1;
}

HostObject* HostObject::FromUnknown(IACFUnknown* unknown)
{
    if (unknown == nullptr)
        return nullptr;
    void* found = nullptr;
    if (unknown->QueryInterface(IID_HostObject, &found) != ACF_OK || found == nullptr)
        return nullptr;
    // The private id adds no reference.
    return static_cast<HostObject*>(found);
}

ACFRESULT HostObject::QueryInterfaceImpl(const acfIID& iid, void** out)
{
    if (iid == IID_HostObject)
    {
        if (out != nullptr)
            *out = this;
        return ACF_OK;
    }

    if (auto forced = Enter("QueryInterface", UidName(iid)))
    {
        if (out != nullptr)
            *out = nullptr;
        return *forced;
    }
    if (out == nullptr)
        return ACF_E_INVALIDARG;
    *out = nullptr;

    {
        std::lock_guard<std::mutex> lock(mSwitchMutex);
        if (mWithheld.count(iid) != 0)
            return ACF_E_NOINTERFACE;
    }

    void* const found = AcquireInterface(iid);
    if (found == nullptr)
        return ACF_E_NOINTERFACE;
    *out = found;
    return ACF_OK;
}

void* HostObject::AcquireInterface(const acfIID& iid)
{
    void* const found = FindInterface(iid);
    if (found != nullptr)
        Retain();
    return found;
}

std::optional<AAX_Result> HostObject::Enter(const char* method, const std::string& args)
{
    mLog->Add(CallRecord { mName, method, args });

    std::lock_guard<std::mutex> lock(mSwitchMutex);
    if (mThrowing.count(method) != 0)
        throw std::runtime_error("host failure in " + mName + "." + method);
    const auto failure = mFailures.find(method);
    if (failure != mFailures.end())
        return failure->second;
    return std::nullopt;
}

AAX_Result HostObject::AnswerText(const char* method, AAX_IString* out, const std::string& value)
{
    if (auto forced = Enter(method))
        return *forced;
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    out->Set(value.c_str());
    return AAX_SUCCESS;
}
} // namespace aaxhost
