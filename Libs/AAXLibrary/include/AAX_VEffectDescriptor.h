#pragma once

#include <memory>
#include <vector>

#include "ACF/ACFPtr.h"
#include "AAX_IACFEffectDescriptor.h"
#include "AAX_IEffectDescriptor.h"

class AAX_VComponentDescriptor;
class AAX_VPropertyMap;

/** AAX_IEffectDescriptor over the host's effect descriptor, created through the host's component
    factory. Owns the component descriptors and maps it creates. Missing first version: -20004;
    missing second version: -20009. Registration thread only. */
class AAX_VEffectDescriptor : public AAX_IEffectDescriptor
{
public:
    explicit AAX_VEffectDescriptor(IACFUnknown* host);
    ~AAX_VEffectDescriptor() override;

    AAX_VEffectDescriptor(const AAX_VEffectDescriptor&) = delete;
    AAX_VEffectDescriptor& operator=(const AAX_VEffectDescriptor&) = delete;

    /** Never null. */
    AAX_IComponentDescriptor* NewComponentDescriptor() override;

    /** A null component reaches the host as null; one this library did not create gives -20004. */
    AAX_Result AddComponent(AAX_IComponentDescriptor* component) override;

    AAX_Result AddName(const char* name) override;
    AAX_Result AddCategory(uint32_t category) override;
    AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID) override;
    AAX_Result AddProcPtr(void* procedure, AAX_CProcPtrID procID) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties(AAX_IPropertyMap* properties) override;
    AAX_Result AddResourceInfo(AAX_EResourceType type, const char* info) override;
    AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, AAX_IPropertyMap* properties) override;
    AAX_Result AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType type, const char* name,
                                  uint32_t channelMask) override;

    /** The host's effect descriptor object (first version), or null. */
    IACFUnknown* GetIUnknown() const;

private:
    ACFPtr<IACFUnknown> mUnkHost;
    ACFPtr<AAX_IACFEffectDescriptor> mIACFEffectDescriptor;
    ACFPtr<AAX_IACFEffectDescriptor_V2> mIACFEffectDescriptorV2;
    std::vector<std::unique_ptr<AAX_VComponentDescriptor>> mComponentDescriptors;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
