#pragma once

#include <string>
#include <vector>

#include "AAX_IACFHostServices.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's diagnostics services (both versions): keeps every trace, assertion and stack trace
    it receives. One per host; the factory hands out this object for AAXCompID_HostServices. */
class HostServices final : public HostUnknown<AAX_IACFHostServices_V2>
{
public:
    struct TraceRecord
    {
        int32_t priority;
        std::string message;
    };

    explicit HostServices(std::shared_ptr<CallLog> log);

    AAX_Result Assert(const char* file, int32_t line, const char* note) override;
    AAX_Result Trace(int32_t priority, const char* message) override;
    AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) override;

    /** Traces received so far (stack traces included), in order. Thread-safe. */
    std::vector<TraceRecord> Traces() const;
    void ClearTraces();

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    void Keep(int32_t priority, const char* message);

    mutable std::mutex mTraceMutex;
    std::vector<TraceRecord> mTraces;
};
} // namespace aaxhost
