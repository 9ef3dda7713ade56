#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "ACF/ACFPtr.h"
#include "ACF/IACFUnknown.h"
#include "AAX_Errors.h"
#include "AAX_IString.h"
#include "CallHook.h"

namespace aaxhost
{
/** Id under which every host object answers with its HostObject, so that the host can recognise
    its own objects when the plug-in hands them back. Never reported to an observer. */
inline constexpr acfIID IID_HostObject = {
    0x0B57AA01, 0x7C11, 0x4A2E, { 0x91, 0x3D, 0x48, 0x6F, 0x73, 0x74, 0x4F, 0x62 }
};

/** Common part of every host-side object: a name, an atomic reference count, and the hook
    through which a test's observer sees each call (and may make the host misbehave).

    Objects start with one reference, owned by whoever created them; the last Release deletes the
    object. The number of live host objects is counted process-wide, to find leaks.
*/
class HostObject
{
public:
    HostObject(const std::string& kind, std::shared_ptr<CallHook> hook, bool numbered = true);
    virtual ~HostObject();

    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    const std::string& Name() const { return mName; }
    uint32_t RefCount() const { return mRefCount.load(); }
    const std::shared_ptr<CallHook>& Hook() const { return mHook; }

    /** Adds and drops one reference, for owners that hold a HostObject pointer. */
    uint32_t Retain();
    uint32_t Drop();

    /** QueryInterface on whichever interface the object has: tells the observer, then answers
        through AcquireInterface. */
    ACFRESULT QueryInterfaceImpl(const acfIID& iid, void** out);

    /** The host object behind `unknown`, or null for null or a foreign object. No reference is
        added. */
    static HostObject* FromUnknown(IACFUnknown* unknown);

    /** Host objects alive in this process. */
    static uint32_t LiveCount();

protected:
    /** The interface pointer this object gives for `iid` (IID_IACFUnknown included), or null. */
    virtual void* FindInterface(const acfIID& iid) = 0;

    /** The interface for `iid` with one reference added for the caller, or null. By default
        FindInterface's answer with a reference on this object. */
    virtual void* AcquireInterface(const acfIID& iid);

    /** Tells the observer, if any, of the call: a result it forces is returned, what it throws
        is thrown; otherwise nothing (the caller goes on). `args` (a callable giving the
        arguments' text) runs only for an observer, so that an unobserved call costs no text. */
    template <class Args>
    std::optional<AAX_Result> Enter(const char* method, const Args& args, const void* data = nullptr, uint32_t size = 0)
    {
        CallObserver* const observer = mHook->Observer();
        if (observer == nullptr)
            return std::nullopt;
        return observer->Called(*this, method, args, data, size);
    }

    std::optional<AAX_Result> Enter(const char* method)
    {
        return Enter(method, [] { return std::string(); });
    }

    /** The usual answer to a query for one value: Enter, then a null out-pointer is refused and
        otherwise `value` is written. */
    template <typename T, typename V>
    AAX_Result Answer(const char* method, T* out, const V& value)
    {
        if (auto forced = Enter(method))
            return *forced;
        if (out == nullptr)
            return AAX_ERROR_NULL_ARGUMENT;
        *out = static_cast<T>(value);
        return AAX_SUCCESS;
    }

    /** As Answer, for a text. */
    AAX_Result AnswerText(const char* method, AAX_IString* out, const std::string& value);

private:
    std::string mName;
    std::shared_ptr<CallHook> mHook;
    std::atomic<uint32_t> mRefCount { 1 };

    static std::atomic<uint32_t> sLiveCount;
};

/** A counted reference of one's own to `unknown` (empty for null). */
inline ACFPtr<IACFUnknown> Hold(IACFUnknown* unknown)
{
    ACFPtr<IACFUnknown> held;
    if (unknown != nullptr)
        unknown->AddRef();
    held.attach(unknown);
    return held;
}

/** Joins one or more host interfaces (each an IACFUnknown) to HostObject: the unknown trio of
    every interface is answered by the HostObject. */
template <class... Interfaces>
class HostUnknown : public Interfaces..., public HostObject
{
public:
    using HostObject::HostObject;

    ACFRESULT QueryInterface(const acfIID& iid, void** out) override { return QueryInterfaceImpl(iid, out); }
    uint32_t AddRef() override { return Retain(); }
    uint32_t Release() override { return Drop(); }
};
} // namespace aaxhost
