#include "HostServices.h"

#include <cstring>

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
namespace
{
uint32_t Length(const char* text)
{
    return text != nullptr ? uint32_t(std::strlen(text)) : 0u;
}
} // namespace

HostServices::HostServices(std::shared_ptr<CallHook> hook)
    : HostUnknown("services", std::move(hook), false)
{
}

void* HostServices::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXHostServicesV1 || iid == IID_IAAXHostServicesV2)
        return static_cast<AAX_IACFHostServices_V2*>(this);
    return nullptr;
}

AAX_Result HostServices::Assert(const char* file, int32_t line, const char* note)
{
    return Enter("Assert", [&] { return Quote(file) + ", " + Int(line) + ", " + Quote(note); }).value_or(AAX_SUCCESS);
}

AAX_Result HostServices::Trace(int32_t priority, const char* message)
{
    return Enter(
               "Trace", [&] { return Int(priority) + ", " + Quote(message); }, message, Length(message))
        .value_or(AAX_SUCCESS);
}

AAX_Result HostServices::StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message)
{
    const auto args = [&] { return Int(tracePriority) + ", " + Int(stackTracePriority) + ", " + Quote(message); };
    return Enter("StackTrace", args, message, Length(message)).value_or(AAX_SUCCESS);
}
} // namespace aaxhost
