#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFHostServices.h"
#include "AAX_IHostServices.h"

/** AAX_IHostServices over the host's services, in whichever versions the host's factory creates.
    A missing first version answers Assert and Trace with -20004, a missing second version
    StackTrace with -20009. Any thread may call it once constructed. */
class AAX_VHostServices : public AAX_IHostServices
{
public:
    explicit AAX_VHostServices(IACFUnknown* host);
    ~AAX_VHostServices() override;

    AAX_Result Assert(const char* file, int32_t line, const char* note) override;
    AAX_Result Trace(int32_t priority, const char* message) override;
    AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) override;

private:
    ACFPtr<AAX_IACFHostServices> mHostServices;
    ACFPtr<AAX_IACFHostServices_V2> mHostServicesV2;
};
