#include "AAX_VCollection.h"

#include "AAX_HostComponent.h"
#include "AAX_UIDs.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"

AAX_VCollection::AAX_VCollection(IACFUnknown* host)
    : mDescriptionHost(host)
{
    AAX_HoldHost(host, mUnkHost);
    AAX_CreateHostComponent(host, AAXCompID_AAXCollection, IID_IAAXCollectionV1, mIACFCollection);
}

AAX_VCollection::~AAX_VCollection()
{
    mEffectDescriptors.clear();
    mPropertyMaps.clear();
    mIACFCollection.reset();
    mUnkHost.reset();
}

AAX_IEffectDescriptor* AAX_VCollection::NewDescriptor()
{
    mEffectDescriptors.push_back(std::make_unique<AAX_VEffectDescriptor>(mUnkHost.get()));
    return mEffectDescriptors.back().get();
}

AAX_Result AAX_VCollection::AddEffect(const char* effectID, AAX_IEffectDescriptor* descriptor)
{
    // Only descriptors of this library know their host object.
    auto* const effect = dynamic_cast<AAX_VEffectDescriptor*>(descriptor);
    if (effect == nullptr || !mIACFCollection)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->AddEffect(effectID, effect->GetIUnknown());
}

AAX_Result AAX_VCollection::SetManufacturerName(const char* name)
{
    if (!mIACFCollection)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->SetManufacturerName(name);
}

AAX_Result AAX_VCollection::AddPackageName(const char* name)
{
    if (!mIACFCollection)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->AddPackageName(name);
}

AAX_Result AAX_VCollection::SetPackageVersion(uint32_t version)
{
    if (!mIACFCollection)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->SetPackageVersion(version);
}

AAX_IPropertyMap* AAX_VCollection::NewPropertyMap()
{
    AAX_VPropertyMap* const map = AAX_VPropertyMap::Create(mUnkHost.get());
    if (map != nullptr)
        mPropertyMaps.emplace_back(map);
    return map;
}

AAX_Result AAX_VCollection::SetProperties(AAX_IPropertyMap* properties)
{
    if (!mIACFCollection)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->SetProperties(properties != nullptr ? properties->GetIUnknown() : nullptr);
}

AAX_IDescriptionHost* AAX_VCollection::DescriptionHost()
{
    return mDescriptionHost.DescriptionHost() != nullptr ? &mDescriptionHost : nullptr;
}

const AAX_IDescriptionHost* AAX_VCollection::DescriptionHost() const
{
    return mDescriptionHost.DescriptionHost() != nullptr ? &mDescriptionHost : nullptr;
}

IACFDefinition* AAX_VCollection::HostDefinition() const
{
    return mDescriptionHost.HostDefinition();
}

IACFUnknown* AAX_VCollection::GetIUnknown() const
{
    return mIACFCollection.get();
}
