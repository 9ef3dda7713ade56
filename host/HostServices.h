#pragma once

#include "AAX_IACFHostServices.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's diagnostics services (both versions): accepts traces, assertions and stack traces
    and keeps none (an observer sees them). One per host; the factory hands out this object for
    AAXCompID_HostServices. */
class HostServices final : public HostUnknown<AAX_IACFHostServices_V2>
{
public:
    explicit HostServices(std::shared_ptr<CallHook> hook);

    AAX_Result Assert(const char* file, int32_t line, const char* note) override;
    AAX_Result Trace(int32_t priority, const char* message) override;
    AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) override;

protected:
    void* FindInterface(const acfIID& iid) override;
};
} // namespace aaxhost
