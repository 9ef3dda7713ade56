#include "AAX_VEffectDescriptor.h"

#include "AAX_HostComponent.h"
#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VPropertyMap.h"

AAX_VEffectDescriptor::AAX_VEffectDescriptor(IACFUnknown* host)
{
    AAX_HoldHost(host, mUnkHost);
    AAX_CreateHostComponent(host, AAXCompID_AAXEffectDescriptor, IID_IAAXEffectDescriptorV1, mIACFEffectDescriptor);
    if (mIACFEffectDescriptor)
        mIACFEffectDescriptorV2.QueryFrom(mIACFEffectDescriptor.get(), IID_IAAXEffectDescriptorV2);
}

AAX_VEffectDescriptor::~AAX_VEffectDescriptor()
{
    mComponentDescriptors.clear();
    mPropertyMaps.clear();
    mIACFEffectDescriptorV2.reset();
    mIACFEffectDescriptor.reset();
    mUnkHost.reset();
}

AAX_IComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor()
{
    mComponentDescriptors.push_back(std::make_unique<AAX_VComponentDescriptor>(mUnkHost.get()));
    return mComponentDescriptors.back().get();
}

AAX_Result AAX_VEffectDescriptor::AddComponent(AAX_IComponentDescriptor* component)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;

    IACFUnknown* unknown = nullptr;
    if (component != nullptr)
    {
        // Only descriptors of this library know their host object.
        auto* const ours = dynamic_cast<AAX_VComponentDescriptor*>(component);
        if (ours == nullptr)
            return AAX_ERROR_NULL_OBJECT;
        unknown = ours->GetIUnknown();
    }
    return mIACFEffectDescriptor->AddComponent(unknown);
}

AAX_Result AAX_VEffectDescriptor::AddName(const char* name)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddName(name);
}

AAX_Result AAX_VEffectDescriptor::AddCategory(uint32_t category)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddCategory(category);
}

AAX_Result AAX_VEffectDescriptor::AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddCategoryBypassParameter(category, parameterID);
}

AAX_Result AAX_VEffectDescriptor::AddProcPtr(void* procedure, AAX_CProcPtrID procID)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddProcPtr(procedure, procID);
}

AAX_IPropertyMap* AAX_VEffectDescriptor::NewPropertyMap()
{
    AAX_VPropertyMap* const map = AAX_VPropertyMap::Create(mUnkHost.get());
    if (map != nullptr)
        mPropertyMaps.emplace_back(map);
    return map;
}

AAX_Result AAX_VEffectDescriptor::SetProperties(AAX_IPropertyMap* properties)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->SetProperties(properties != nullptr ? properties->GetIUnknown() : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddResourceInfo(AAX_EResourceType type, const char* info)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddResourceInfo(type, info);
}

AAX_Result AAX_VEffectDescriptor::AddMeterDescription(AAX_CTypeID meterID, const char* name,
                                                      AAX_IPropertyMap* properties)
{
    if (!mIACFEffectDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFEffectDescriptor->AddMeterDescription(meterID, name,
                                                      properties != nullptr ? properties->GetIUnknown() : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType type, const char* name,
                                                     uint32_t channelMask)
{
    if (!mIACFEffectDescriptorV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFEffectDescriptorV2->AddControlMIDINode(nodeID, type, name, channelMask);
}

IACFUnknown* AAX_VEffectDescriptor::GetIUnknown() const
{
    return mIACFEffectDescriptor.get();
}
