#pragma once

#include <memory>
#include <vector>

#include "ACF/ACFPtr.h"
#include "AAX_IACFCollection.h"
#include "AAX_ICollection.h"
#include "AAX_VDescriptionHost.h"

class AAX_VEffectDescriptor;
class AAX_VPropertyMap;

/** AAX_ICollection over the host's collection, created through the host's component factory.
    Lives on the stack of one registration and owns the descriptors and maps it creates; with a
    null host every forwarding operation returns -20004. Registration thread only. */
class AAX_VCollection : public AAX_ICollection
{
public:
    explicit AAX_VCollection(IACFUnknown* host);
    ~AAX_VCollection() override;

    AAX_VCollection(const AAX_VCollection&) = delete;
    AAX_VCollection& operator=(const AAX_VCollection&) = delete;

    /** Never null. */
    AAX_IEffectDescriptor* NewDescriptor() override;

    /** -20004 without the host collection or for a null descriptor or one this library did not
        create. */
    AAX_Result AddEffect(const char* effectID, AAX_IEffectDescriptor* descriptor) override;

    AAX_Result SetManufacturerName(const char* name) override;
    AAX_Result AddPackageName(const char* name) override;
    AAX_Result SetPackageVersion(uint32_t version) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties(AAX_IPropertyMap* properties) override;
    AAX_IDescriptionHost* DescriptionHost() override;
    const AAX_IDescriptionHost* DescriptionHost() const override;
    IACFDefinition* HostDefinition() const override;

    /** The host's collection object (first version), or null. */
    IACFUnknown* GetIUnknown() const;

private:
    ACFPtr<IACFUnknown> mUnkHost;
    ACFPtr<AAX_IACFCollection> mIACFCollection;
    AAX_VDescriptionHost mDescriptionHost;
    std::vector<std::unique_ptr<AAX_VEffectDescriptor>> mEffectDescriptors;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
