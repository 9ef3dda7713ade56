#include "HostServices.h"

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
HostServices::HostServices(std::shared_ptr<CallLog> log)
    : HostUnknown("services", std::move(log), false)
{
}

void* HostServices::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXHostServicesV1 || iid == IID_IAAXHostServicesV2)
        return static_cast<AAX_IACFHostServices_V2*>(this);
    return nullptr;
}

void HostServices::Keep(int32_t priority, const char* message)
{
    std::lock_guard<std::mutex> lock(mTraceMutex);
    mTraces.push_back({ priority, message != nullptr ? message : "" });
}

AAX_Result HostServices::Assert(const char* file, int32_t line, const char* note)
{
    if (auto forced = Enter("Assert", Quote(file) + ", " + Int(line) + ", " + Quote(note)))
        return *forced;
    return AAX_SUCCESS;
}

AAX_Result HostServices::Trace(int32_t priority, const char* message)
{
    if (auto forced = Enter("Trace", Int(priority) + ", " + Quote(message)))
        return *forced;
    Keep(priority, message);
    return AAX_SUCCESS;
}

AAX_Result HostServices::StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message)
{
    if (auto forced = Enter("StackTrace", Int(tracePriority) + ", " + Int(stackTracePriority) + ", " + Quote(message)))
        return *forced;
    Keep(tracePriority, message);
    return AAX_SUCCESS;
}

std::vector<HostServices::TraceRecord> HostServices::Traces() const
{
    std::lock_guard<std::mutex> lock(mTraceMutex);
    return mTraces;
}

void HostServices::ClearTraces()
{
    std::lock_guard<std::mutex> lock(mTraceMutex);
    mTraces.clear();
}
} // namespace aaxhost
