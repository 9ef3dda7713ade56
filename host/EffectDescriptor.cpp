#include "EffectDescriptor.h"

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
EffectDescriptor::EffectDescriptor(std::shared_ptr<CallHook> hook)
    : HostUnknown("effect", std::move(hook))
{
}

void* EffectDescriptor::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXEffectDescriptorV1 || iid == IID_IAAXEffectDescriptorV2)
        return static_cast<AAX_IACFEffectDescriptor_V2*>(this);
    return nullptr;
}

AAX_Result EffectDescriptor::AddComponent(IACFUnknown* componentDescriptor)
{
    if (auto forced = Enter("AddComponent", [&] { return ObjectName(componentDescriptor); }))
        return *forced;
    if (componentDescriptor == nullptr)
        return AAX_ERROR_NULL_COMPONENT;
    mComponents.push_back(Hold(componentDescriptor));
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddName(const char* name)
{
    if (auto forced = Enter("AddName", [&] { return Quote(name); }))
        return *forced;
    mNames.push_back(name != nullptr ? name : "");
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddCategory(uint32_t category)
{
    if (auto forced = Enter("AddCategory", [&] { return Int(category); }))
        return *forced;
    mCategories.push_back(category);
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID)
{
    if (auto forced = Enter("AddCategoryBypassParameter", [&] { return Int(category) + ", " + Quote(parameterID); }))
        return *forced;
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddProcPtr(void* procedure, AAX_CProcPtrID procID)
{
    if (auto forced = Enter("AddProcPtr", [&] { return Ptr(procedure) + ", " + Int(procID); }))
        return *forced;
    mProcPtrs[procID] = procedure;
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::SetProperties(IACFUnknown* properties)
{
    if (auto forced = Enter("SetProperties", [&] { return ObjectName(properties); }))
        return *forced;
    mHeldMaps.push_back(Hold(properties));
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddResourceInfo(AAX_EResourceType type, const char* info)
{
    if (auto forced = Enter("AddResourceInfo", [&] { return Int(type) + ", " + Quote(info); }))
        return *forced;
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddMeterDescription(AAX_CTypeID meterID, const char* name, IACFUnknown* properties)
{
    if (auto forced = Enter("AddMeterDescription",
                            [&] { return Int(meterID) + ", " + Quote(name) + ", " + ObjectName(properties); }))
        return *forced;
    mMeters.push_back({ meterID, name != nullptr ? name : "" });
    mHeldMaps.push_back(Hold(properties));
    return AAX_SUCCESS;
}

AAX_Result EffectDescriptor::AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType type, const char* name,
                                                uint32_t channelMask)
{
    if (auto forced = Enter("AddControlMIDINode", [&] {
            return Int(nodeID) + ", " + Int(type) + ", " + Quote(name) + ", " + Int(channelMask);
        }))
        return *forced;
    return AAX_SUCCESS;
}

void* EffectDescriptor::ProcPtr(AAX_CProcPtrID procID) const
{
    const auto found = mProcPtrs.find(procID);
    return found != mProcPtrs.end() ? found->second : nullptr;
}
} // namespace aaxhost
