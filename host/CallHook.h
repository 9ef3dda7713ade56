#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "ACF/IACFUnknown.h"
#include "AAX.h"

namespace aaxhost
{
class HostObject;

/** Watches the calls a host's objects receive, for tests: may record them, force a result,
    throw, or hide interface versions. The host itself attaches none. Called on whichever thread
    made the call. */
class CallObserver
{
public:
    virtual ~CallObserver() = default;

    /** `object` received `method`. `args` builds the arguments' text; `data` and `size` are the
        bytes the call hands over (packets, notifications, trace messages), else null and 0.
        A result returned is what the call returns, without doing anything; an exception thrown
        leaves the call. */
    virtual std::optional<AAX_Result> Called(const HostObject& object, const char* method,
                                             const std::function<std::string()>& args, const void* data,
                                             uint32_t size) = 0;

    /** True when `object` answers no query for `iid` (as if the host lacked that version). */
    virtual bool Withholds(const HostObject& object, const acfIID& iid) = 0;

    /** `object` is losing one reference (its Release), told before the count drops. */
    virtual void Released(const HostObject&) {}
};

/** What the host objects of one host share: their names ("map#1", "map#2", ...) and the
    observer of their calls, if any. Thread-safe. */
class CallHook
{
public:
    explicit CallHook(CallObserver* observer = nullptr)
        : mObserver(observer)
    {
    }

    /** Null unless a test attached one. */
    CallObserver* Observer() const { return mObserver; }

    /** A new name for an object of `kind`: kind#1, kind#2, ... */
    std::string NextName(const std::string& kind)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return kind + "#" + std::to_string(++mCounters[kind]);
    }

private:
    CallObserver* const mObserver;
    std::mutex mMutex;
    std::map<std::string, uint32_t> mCounters;
};
} // namespace aaxhost
