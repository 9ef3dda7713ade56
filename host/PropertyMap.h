#pragma once

#include <map>
#include <optional>
#include <vector>

#include "AAX_IACFPropertyMap.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's property map (all three versions): integer, pointer and triad-array properties. */
class PropertyMap final : public HostUnknown<AAX_IACFPropertyMap_V3>
{
public:
    explicit PropertyMap(std::shared_ptr<CallHook> hook);

    AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const override;
    AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) override;
    AAX_Result RemoveProperty(AAX_EProperty property) override;
    AAX_Result AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                      uint32_t count) override;
    AAX_CBoolean GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                        uint32_t* count) const override;
    AAX_CBoolean GetPointerProperty(AAX_EProperty property, const void** value) const override;
    AAX_Result AddPointerProperty(AAX_EProperty property, const void* value) override;

    /** Inspection without recording. */
    std::optional<AAX_CPropertyValue> IntValue(AAX_EProperty property) const;
    std::optional<const void*> PointerValue(AAX_EProperty property) const;
    const std::map<AAX_EProperty, AAX_CPropertyValue>& Ints() const { return mInts; }

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    std::map<AAX_EProperty, AAX_CPropertyValue> mInts;
    std::map<AAX_EProperty, const void*> mPointers;
    std::map<AAX_EProperty, std::vector<AAX_SPlugInIdentifierTriad>> mArrays;
};
} // namespace aaxhost
