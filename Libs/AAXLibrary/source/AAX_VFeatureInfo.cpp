#include "AAX_VFeatureInfo.h"

#include "AAX_UIDs.h"
#include "AAX_VPropertyMap.h"

AAX_VFeatureInfo::AAX_VFeatureInfo(IACFUnknown* object, const AAX_Feature_UID& feature)
    : mFeatureID(feature)
{
    if (object != nullptr)
        mIFeature.QueryFrom(object, IID_IAAXFeatureInfoV1);
}

AAX_VFeatureInfo::~AAX_VFeatureInfo() = default;

AAX_Result AAX_VFeatureInfo::SupportLevel(AAX_ESupportLevel& level) const
{
    if (!mIFeature)
        return AAX_ERROR_NULL_OBJECT;
    return mIFeature->SupportLevel(&level);
}

const AAX_IPropertyMap* AAX_VFeatureInfo::AcquireProperties() const
{
    if (!mIFeature)
        return nullptr;

    IACFUnknown* raw = nullptr;
    const AAX_Result result = mIFeature->AcquireProperties(&raw);

    // As for feature records: the map wrapper takes its own reference, the host's one is dropped.
    ACFPtr<IACFUnknown> object;
    object.attach(raw);
    if (result != AAX_SUCCESS || !object)
        return nullptr;

    return AAX_VPropertyMap::Acquire(object.get());
}
