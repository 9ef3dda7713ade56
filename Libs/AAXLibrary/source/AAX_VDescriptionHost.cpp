#include "AAX_VDescriptionHost.h"

#include "AAX_UIDs.h"
#include "AAX_VFeatureInfo.h"

AAX_VDescriptionHost::AAX_VDescriptionHost(IACFUnknown* host)
{
    if (host == nullptr)
        return;

    mDescriptionHost.QueryFrom(host, IID_IAAXDescriptionHostV1);
    mHostInformation.QueryFrom(host, IID_IACFDefinition);
}

AAX_VDescriptionHost::~AAX_VDescriptionHost() = default;

AAX_IFeatureInfo* AAX_VDescriptionHost::AcquireFeatureProperties(const AAX_Feature_UID& feature) const
{
    if (!mDescriptionHost)
        return nullptr;

    IACFUnknown* raw = nullptr;
    const AAX_Result result = mDescriptionHost->AcquireFeatureProperties(feature, &raw);

    // The host hands the record over with a reference of its own; the wrapper takes another, so
    // this one is dropped whatever happens.
    ACFPtr<IACFUnknown> object;
    object.attach(raw);
    if (result != AAX_SUCCESS || !object)
        return nullptr;

    return new AAX_VFeatureInfo(object.get(), feature);
}
