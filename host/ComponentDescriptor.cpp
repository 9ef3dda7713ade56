#include "ComponentDescriptor.h"

#include "AAX_IACFPropertyMap.h"
#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
namespace
{
std::string Field(AAX_CFieldIndex field)
{
    return Int(field);
}
} // namespace

ComponentDescriptor::ComponentDescriptor(std::shared_ptr<CallHook> hook)
    : HostUnknown("component", std::move(hook))
{
}

void* ComponentDescriptor::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXComponentDescriptorV1 || iid == IID_IAAXComponentDescriptorV2
        || iid == IID_IAAXComponentDescriptorV3)
        return static_cast<AAX_IACFComponentDescriptor_V3*>(this);
    return nullptr;
}

AAX_CSelector ComponentDescriptor::Register(ProcessProc proc, IACFUnknown* properties)
{
    proc.properties = ObjectName(properties);
    proc.id = mNextProcID++;
    mProcessProcs.push_back(proc);
    mHeldMaps.push_back(Hold(properties));
    return proc.id;
}

AAX_Result ComponentDescriptor::AddField(AAX_CFieldIndex index, ContextField::Kind kind, uint32_t size, int64_t option)
{
    ContextField field;
    field.index = index;
    field.kind = kind;
    field.size = size;
    field.option = option;
    mFields.push_back(std::move(field));
    return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::Clear()
{
    if (auto forced = Enter("Clear"))
        return *forced;
    mFields.clear();
    return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::AddReservedField(AAX_CFieldIndex field, uint32_t fieldType)
{
    if (auto forced = Enter("AddReservedField", [&] { return Field(field) + ", " + Int(fieldType); }))
        return *forced;
    return AddField(field, ContextField::Kind::Reserved, 0, fieldType);
}

AAX_Result ComponentDescriptor::AddAudioIn(AAX_CFieldIndex field)
{
    if (auto forced = Enter("AddAudioIn", [&] { return Field(field); }))
        return *forced;
    return AddField(field, ContextField::Kind::AudioIn);
}

AAX_Result ComponentDescriptor::AddAudioOut(AAX_CFieldIndex field)
{
    if (auto forced = Enter("AddAudioOut", [&] { return Field(field); }))
        return *forced;
    return AddField(field, ContextField::Kind::AudioOut);
}

AAX_Result ComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex field)
{
    if (auto forced = Enter("AddAudioBufferLength", [&] { return Field(field); }))
        return *forced;
    return AddField(field, ContextField::Kind::BufferLength);
}

AAX_Result ComponentDescriptor::AddSampleRate(AAX_CFieldIndex field)
{
    if (auto forced = Enter("AddSampleRate", [&] { return Field(field); }))
        return *forced;
    return AddField(field, ContextField::Kind::SampleRate);
}

AAX_Result ComponentDescriptor::AddClock(AAX_CFieldIndex field)
{
    if (auto forced = Enter("AddClock", [&] { return Field(field); }))
        return *forced;
    return AddField(field, ContextField::Kind::Clock);
}

AAX_Result ComponentDescriptor::AddSideChainIn(AAX_CFieldIndex field)
{
    if (auto forced = Enter("AddSideChainIn", [&] { return Field(field); }))
        return *forced;
    return AddField(field, ContextField::Kind::SideChainIn);
}

AAX_Result ComponentDescriptor::AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortType type)
{
    if (auto forced = Enter("AddDataInPort", [&] { return Field(field) + ", " + Int(packetSize) + ", " + Int(type); }))
        return *forced;
    return AddField(field, ContextField::Kind::DataInPort, packetSize, type);
}

AAX_Result ComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name)
{
    if (auto forced = Enter("AddAuxOutputStem",
                            [&] { return Field(field) + ", " + Int(stemFormat) + ", " + Quote(name); }))
        return *forced;
    return AddField(field, ContextField::Kind::AuxOutputStem, 0, stemFormat);
}

AAX_Result ComponentDescriptor::AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options)
{
    if (auto forced = Enter("AddPrivateData",
                            [&] { return Field(field) + ", " + Int(dataSize) + ", " + Int(options); }))
        return *forced;
    return AddField(field, ContextField::Kind::PrivateData, dataSize > 0 ? uint32_t(dataSize) : 0u, options);
}

AAX_Result ComponentDescriptor::AddDmaInstance(AAX_CFieldIndex field, AAX_IDma::EMode mode)
{
    if (auto forced = Enter("AddDmaInstance", [&] { return Field(field) + ", " + Int(mode); }))
        return *forced;
    return AddField(field, ContextField::Kind::Dma, 0, mode);
}

AAX_Result ComponentDescriptor::AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name,
                                            uint32_t channelMask)
{
    if (auto forced = Enter("AddMIDINode", [&] {
            return Field(field) + ", " + Int(type) + ", " + Quote(name) + ", " + Int(channelMask);
        }))
        return *forced;
    return AddField(field, ContextField::Kind::MIDINode, 0, type);
}

AAX_Result ComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                                      AAX_CInstanceInitProc instanceInitProc,
                                                      AAX_CBackgroundProc backgroundProc, AAX_CSelector* outProcID)
{
    if (auto forced = Enter("AddProcessProc_Native", [&] {
            return Ptr(reinterpret_cast<const void*>(processProc)) + ", " + ObjectName(properties) + ", "
                 + Ptr(reinterpret_cast<const void*>(instanceInitProc)) + ", "
                 + Ptr(reinterpret_cast<const void*>(backgroundProc));
        }))
        return *forced;
    if (processProc == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    const AAX_CSelector id = Register(ProcessProc { true, processProc, instanceInitProc, backgroundProc, "", "", "",
                                                    0 },
                                      properties);
    if (outProcID != nullptr)
        *outProcID = id;
    return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::AddProcessProc_TI(const char* dllFileName, const char* processProcName,
                                                  IACFUnknown* properties, const char* instanceInitProcName,
                                                  const char* backgroundProcName, AAX_CSelector* outProcID)
{
    if (auto forced = Enter("AddProcessProc_TI", [&] {
            return Quote(dllFileName) + ", " + Quote(processProcName) + ", " + ObjectName(properties) + ", "
                 + Quote(instanceInitProcName) + ", " + Quote(backgroundProcName);
        }))
        return *forced;
    if (dllFileName == nullptr || processProcName == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    const AAX_CSelector id = Register(ProcessProc { false, nullptr, nullptr, nullptr, dllFileName, processProcName, "",
                                                    0 },
                                      properties);
    if (outProcID != nullptr)
        *outProcID = id;
    return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount)
{
    if (auto forced = Enter("AddMeters", [&] {
            std::string ids;
            for (uint32_t i = 0; meterIDs != nullptr && i < meterCount; ++i)
                ids += (i == 0 ? "" : " ") + Int(meterIDs[i]);
            return Field(field) + ", [" + ids + "], " + Int(meterCount);
        }))
        return *forced;
    AddField(field, ContextField::Kind::Meters);
    if (meterIDs != nullptr)
        mFields.back().meterIDs.assign(meterIDs, meterIDs + meterCount);
    return AAX_SUCCESS;
}

AAX_Result ComponentDescriptor::AddTemporaryData(AAX_CFieldIndex field, uint32_t dataElementSize)
{
    if (auto forced = Enter("AddTemporaryData", [&] { return Field(field) + ", " + Int(dataElementSize); }))
        return *forced;
    return AddField(field, ContextField::Kind::TemporaryData, dataElementSize);
}

AAX_Result ComponentDescriptor::AddProcessProc(IACFUnknown* properties, AAX_CSelector* outProcIDs, int32_t capacity)
{
    if (auto forced = Enter("AddProcessProc", [&] { return ObjectName(properties) + ", " + Int(capacity); }))
        return *forced;

    // The host reads the procedures from the map itself.
    ACFPtr<AAX_IACFPropertyMap_V3> map;
    if (properties == nullptr || map.QueryFrom(properties, IID_IAAXPropertyMapV3) != ACF_OK || !map)
        return AAX_ERROR_NULL_OBJECT;

    std::vector<AAX_CSelector> ids;
    AAX_CPropertyValue value = 0;
    const void* pointer = nullptr;
    if ((map->GetProperty(AAX_eProperty_PlugInID_Native, &value)
         || map->GetProperty(AAX_eProperty_PlugInID_AudioSuite, &value))
        && map->GetPointerProperty(AAX_eProperty_NativeProcessProc, &pointer) && pointer != nullptr)
    {
        const void* init = nullptr;
        const void* background = nullptr;
        map->GetPointerProperty(AAX_eProperty_NativeInstanceInitProc, &init);
        map->GetPointerProperty(AAX_eProperty_NativeBackgroundProc, &background);
        ids.push_back(Register(ProcessProc { true, reinterpret_cast<AAX_CProcessProc>(const_cast<void*>(pointer)),
                                             reinterpret_cast<AAX_CInstanceInitProc>(const_cast<void*>(init)),
                                             reinterpret_cast<AAX_CBackgroundProc>(const_cast<void*>(background)), "",
                                             "", "", 0 },
                               properties));
    }
    const void* dll = nullptr;
    if (map->GetProperty(AAX_eProperty_PlugInID_TI, &value)
        && map->GetPointerProperty(AAX_eProperty_TIDLLFileName, &dll)
        && map->GetPointerProperty(AAX_eProperty_TIProcessProc, &pointer) && dll != nullptr && pointer != nullptr)
    {
        ids.push_back(Register(ProcessProc { false, nullptr, nullptr, nullptr, static_cast<const char*>(dll),
                                             static_cast<const char*>(pointer), "", 0 },
                               properties));
    }

    if (outProcIDs != nullptr)
    {
        if (static_cast<int64_t>(ids.size()) >= capacity)
            return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
        for (size_t i = 0; i < ids.size(); ++i)
            outProcIDs[i] = ids[i];
        outProcIDs[ids.size()] = 0;
    }
    return AAX_SUCCESS;
}
} // namespace aaxhost
