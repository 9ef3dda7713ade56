#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "ACF/ACFPtr.h"
#include "ACF/IACFUnknown.h"
#include "AAX_Errors.h"
#include "AAX_IString.h"
#include "CallLog.h"

namespace aaxhost
{
/** Id under which every host object answers with its HostObject, so that the host can recognise
    its own objects when the plug-in hands them back. Never recorded. */
inline constexpr acfIID IID_HostObject = { 0x0B57AA01, 0x7C11, 0x4A2E, { 0x91, 0x3D, 0x48, 0x6F, 0x73, 0x74, 0x4F, 0x62 } };

/** Common part of every host-side object: a name, an atomic reference count, the shared call log
    and the switches with which a test makes the host misbehave.

    Objects start with one reference, owned by whoever created them; the last Release deletes the
    object. The number of live host objects is counted process-wide, to find leaks.
*/
class HostObject
{
public:
    HostObject(const std::string& kind, std::shared_ptr<CallLog> log, bool numbered = true);
    virtual ~HostObject();

    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    const std::string& Name() const { return mName; }
    uint32_t RefCount() const { return mRefCount.load(); }
    CallLog& Log() const { return *mLog; }
    const std::shared_ptr<CallLog>& SharedLog() const { return mLog; }

    /** QueryInterface for `iid` fails from now on (as if the host lacked that version). */
    void Withhold(const acfIID& iid);

    /** Undoes Withhold. */
    void Offer(const acfIID& iid);

    /** `method` is recorded and then returns `result` without doing anything. */
    void FailCall(const std::string& method, AAX_Result result);

    /** `method` is recorded and then throws std::runtime_error (a misbehaving host). */
    void ThrowOnCall(const std::string& method);

    /** Clears every switch. */
    void ResetSwitches();

    /** Adds and drops one reference, for owners that hold a HostObject pointer. */
    uint32_t Retain();
    uint32_t Drop();

    /** QueryInterface on whichever interface the object has: records the call, applies the
        switches, and answers through AcquireInterface. */
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

    /** Records the call, then applies the switches: a forced result is returned, a throw is
        thrown; otherwise nothing (the caller goes on). */
    std::optional<AAX_Result> Enter(const char* method, const std::string& args = std::string());

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
    std::shared_ptr<CallLog> mLog;
    std::atomic<uint32_t> mRefCount { 1 };
    mutable std::mutex mSwitchMutex;
    std::set<acfIID> mWithheld;
    std::map<std::string, AAX_Result> mFailures;
    std::set<std::string> mThrowing;

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
