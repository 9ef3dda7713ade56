#include "AAX_VHostServices.h"

#include "AAX_UIDs.h"

AAX_VHostServices::AAX_VHostServices(IACFUnknown* host)
{
    if (host == nullptr)
        return;

    ACFPtr<IACFComponentFactory> factory;
    if (factory.QueryFrom(host, IID_IACFComponentFactory) == ACF_OK)
    {
        mHostServices.CreateFrom(factory.get(), AAXCompID_HostServices, IID_IAAXHostServicesV1);
        mHostServicesV2.CreateFrom(factory.get(), AAXCompID_HostServices, IID_IAAXHostServicesV2);
    }
}

AAX_VHostServices::~AAX_VHostServices()
{
    mHostServicesV2.reset();
    mHostServices.reset();
}

AAX_Result AAX_VHostServices::Assert(const char* file, int32_t line, const char* note)
{
    if (!mHostServices)
        return AAX_ERROR_NULL_OBJECT;
    return mHostServices->Assert(file, line, note);
}

AAX_Result AAX_VHostServices::Trace(int32_t priority, const char* message)
{
    if (!mHostServices)
        return AAX_ERROR_NULL_OBJECT;
    return mHostServices->Trace(priority, message);
}

AAX_Result AAX_VHostServices::StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message)
{
    if (!mHostServicesV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mHostServicesV2->StackTrace(tracePriority, stackTracePriority, message);
}
