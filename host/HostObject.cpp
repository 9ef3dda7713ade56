#include "HostObject.h"

#include "ACF/acfuids.h"
#include "Format.h"

namespace aaxhost
{
std::atomic<uint32_t> HostObject::sLiveCount { 0 };

HostObject::HostObject(const std::string& kind, std::shared_ptr<CallHook> hook, bool numbered)
    : mName(numbered ? hook->NextName(kind) : kind)
    , mHook(std::move(hook))
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

uint32_t HostObject::Retain()
{
    return mRefCount.fetch_add(1) + 1;
}

uint32_t HostObject::Drop()
{
    if (CallObserver* const observer = mHook->Observer())
        observer->Released(*this);
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

    if (auto forced = Enter("QueryInterface", [&] { return UidName(iid); }))
    {
        if (out != nullptr)
            *out = nullptr;
        return *forced;
    }
    if (out == nullptr)
        return ACF_E_INVALIDARG;
    *out = nullptr;

    CallObserver* const observer = mHook->Observer();
    if (observer != nullptr && observer->Withholds(*this, iid))
        return ACF_E_NOINTERFACE;

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
