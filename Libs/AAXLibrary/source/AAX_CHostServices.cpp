#include "AAX_CHostServices.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "AAX_VHostServices.h"

namespace
{
std::atomic<AAX_IHostServices*> sHostServices { nullptr };
}

void AAX_CHostServices::Set(IACFUnknown* host)
{
    AAX_IHostServices* const current = sHostServices.load();
    if (host != nullptr && current == nullptr)
    {
        sHostServices.store(new AAX_VHostServices(host));
    }
    else if (host == nullptr && current != nullptr)
    {
        sHostServices.store(nullptr);
        delete current;
    }
}

AAX_IHostServices* AAX_CHostServices::Get()
{
    return sHostServices.load();
}

AAX_Result AAX_CHostServices::Trace(AAX_ETracePriorityHost priority, const char* format, ...)
{
    AAX_IHostServices* const services = sHostServices.load();
    if (services == nullptr)
        return AAX_SUCCESS;
    if (format == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);

    return services->Trace(priority, message);
}
