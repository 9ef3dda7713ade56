#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "AAX_IACFEffectDescriptor.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's description of one effect (both versions). */
class EffectDescriptor final : public HostUnknown<AAX_IACFEffectDescriptor_V2>
{
public:
    explicit EffectDescriptor(std::shared_ptr<CallHook> hook);

    AAX_Result AddComponent(IACFUnknown* componentDescriptor) override;
    AAX_Result AddName(const char* name) override;
    AAX_Result AddCategory(uint32_t category) override;
    AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID) override;
    AAX_Result AddProcPtr(void* procedure, AAX_CProcPtrID procID) override;
    AAX_Result SetProperties(IACFUnknown* properties) override;
    AAX_Result AddResourceInfo(AAX_EResourceType type, const char* info) override;
    AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, IACFUnknown* properties) override;
    AAX_Result AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType type, const char* name,
                                  uint32_t channelMask) override;

    /** A meter the plug-in described. */
    struct Meter
    {
        AAX_CTypeID id;
        std::string name;
    };

    /** What the plug-in described. */
    const std::vector<std::string>& Names() const { return mNames; }
    const std::vector<uint32_t>& Categories() const { return mCategories; }
    const std::vector<Meter>& Meters() const { return mMeters; }
    const std::vector<ACFPtr<IACFUnknown>>& Components() const { return mComponents; }

    /** The procedure registered under `procID`, or null. */
    void* ProcPtr(AAX_CProcPtrID procID) const;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    std::vector<std::string> mNames;
    std::vector<uint32_t> mCategories;
    std::vector<Meter> mMeters;
    std::map<AAX_CProcPtrID, void*> mProcPtrs;
    std::vector<ACFPtr<IACFUnknown>> mComponents;
    std::vector<ACFPtr<IACFUnknown>> mHeldMaps;
};
} // namespace aaxhost
