#include "AAX_VPropertyMap.h"

#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"

AAX_VPropertyMap* AAX_VPropertyMap::Create(IACFUnknown* host)
{
    if (host == nullptr)
        return nullptr;

    ACFPtr<IACFComponentFactory> factory;
    if (factory.QueryFrom(host, IID_IACFComponentFactory) != ACF_OK)
        return nullptr;

    AAX_VPropertyMap* const map = new AAX_VPropertyMap;
    map->InitWithFactory(factory.get(), host);
    return map;
}

AAX_VPropertyMap* AAX_VPropertyMap::Acquire(IACFUnknown* hostMap)
{
    AAX_VPropertyMap* const map = new AAX_VPropertyMap;
    map->InitWithPropertyMap(hostMap, hostMap);
    return map;
}

AAX_VPropertyMap::~AAX_VPropertyMap()
{
    mLocalPointerProperties.clear();
}

void AAX_VPropertyMap::InitWithFactory(IACFComponentFactory* factory, IACFUnknown* owner)
{
    if (factory == nullptr)
        return;

    mIACFPropertyMap.CreateFrom(factory, AAXCompID_AAXPropertyMap, IID_IAAXPropertyMapV1);
    if (mIACFPropertyMap)
    {
        mIACFPropertyMapV2.QueryFrom(mIACFPropertyMap.get(), IID_IAAXPropertyMapV2);
        mIACFPropertyMapV3.QueryFrom(mIACFPropertyMap.get(), IID_IAAXPropertyMapV3);
    }

    IACFUnknown* const candidates[] = { owner, factory, mIACFPropertyMapV2.get(), mIACFPropertyMapV3.get(),
                                        mIACFPropertyMap.get() };
    for (IACFUnknown* candidate : candidates)
    {
        if (candidate == nullptr)
            continue;
        mIACFDescriptionHost.QueryFrom(candidate, IID_IAAXDescriptionHostV1);
        if (mIACFDescriptionHost)
            break;
    }
}

void AAX_VPropertyMap::InitWithPropertyMap(IACFUnknown* map, IACFUnknown* owner)
{
    if (map == nullptr)
        return;

    mIACFPropertyMap.QueryFrom(map, IID_IAAXPropertyMapV1);
    mIACFPropertyMapV2.QueryFrom(map, IID_IAAXPropertyMapV2);
    mIACFPropertyMapV3.QueryFrom(map, IID_IAAXPropertyMapV3);

    if (owner != nullptr)
        mIACFDescriptionHost.QueryFrom(owner, IID_IAAXDescriptionHostV1);
    if (!mIACFDescriptionHost)
        mIACFDescriptionHost.QueryFrom(map, IID_IAAXDescriptionHostV1);
}

bool AAX_VPropertyMap::IsValidStemFormat(AAX_CPropertyValue value)
{
    const int16_t index = AAX_STEM_FORMAT_INDEX(value);
    return (index >= 0 && index <= 12) || value == AAX_eStemFormat_Any || value == AAX_eStemFormat_None;
}

bool AAX_VPropertyMap::GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const
{
    if (!mIACFPropertyMap)
        return false;
    return mIACFPropertyMap->GetProperty(property, value) != 0;
}

AAX_Result AAX_VPropertyMap::AddProperty(AAX_EProperty property, AAX_CPropertyValue value)
{
    if (!mIACFPropertyMap)
        return AAX_ERROR_NULL_OBJECT;

    // A host that describes itself vouches for its own stem formats; otherwise only the layouts
    // every host understands may pass.
    const bool isStemFormat = property == AAX_eProperty_InputStemFormat || property == AAX_eProperty_OutputStemFormat;
    if (isStemFormat && !mIACFDescriptionHost && !IsValidStemFormat(value))
        return AAX_ERROR_PROPERTY_UNDEFINED;

    return mIACFPropertyMap->AddProperty(property, value);
}

AAX_Result AAX_VPropertyMap::RemoveProperty(AAX_EProperty property)
{
    if (!mIACFPropertyMap)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFPropertyMap->RemoveProperty(property);
}

AAX_Result AAX_VPropertyMap::AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                                    uint32_t count)
{
    if (!mIACFPropertyMapV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFPropertyMapV2->AddPropertyWithIDArray(property, ids, count);
}

bool AAX_VPropertyMap::GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                              uint32_t* count) const
{
    if (!mIACFPropertyMapV2)
        return false;
    return mIACFPropertyMapV2->GetPropertyWithIDArray(property, ids, count) != 0;
}

bool AAX_VPropertyMap::GetPointerProperty(AAX_EProperty property, const void** value) const
{
    if (mIACFPropertyMapV3)
        return mIACFPropertyMapV3->GetPointerProperty(property, value) != 0;

    if (value == nullptr)
        return false;
    const auto found = mLocalPointerProperties.find(property);
    if (found == mLocalPointerProperties.end())
        return false;
    *value = found->second;
    return true;
}

AAX_Result AAX_VPropertyMap::AddPointerProperty(AAX_EProperty property, const void* value)
{
    if (mIACFPropertyMapV3)
        return mIACFPropertyMapV3->AddPointerProperty(property, value);

    // Without the host's pointer properties only the process-procedure properties are kept, for
    // the component descriptor to register the procedures itself.
    if (AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc().count(property) == 0)
        return AAX_ERROR_UNIMPLEMENTED;

    mLocalPointerProperties[property] = value;
    return AAX_SUCCESS;
}

AAX_Result AAX_VPropertyMap::AddPointerProperty(AAX_EProperty property, const char* text)
{
    return AddPointerProperty(property, static_cast<const void*>(text));
}

IACFUnknown* AAX_VPropertyMap::GetIUnknown() const
{
    if (mIACFPropertyMapV3)
        return mIACFPropertyMapV3.get();
    if (mIACFPropertyMapV2)
        return mIACFPropertyMapV2.get();
    return mIACFPropertyMap.get();
}
