#include "AAX_VComponentDescriptor.h"


#include "AAX_CHostServices.h"
#include "AAX_HostComponent.h"
#include "AAX_UIDs.h"
#include "AAX_VPropertyMap.h"

namespace
{
template <class Procedure>
Procedure ProcedureFromPointer(const void* pointer)
{
    return reinterpret_cast<Procedure>(const_cast<void*>(pointer));
}
} // namespace

AAX_VComponentDescriptor::AAX_VComponentDescriptor(IACFUnknown* host)
{
    AAX_HoldHost(host, mUnkHost);
    AAX_CreateHostComponent(host, AAXCompID_AAXComponentDescriptor, IID_IAAXComponentDescriptorV1,
                            mIACFComponentDescriptor);
    if (mIACFComponentDescriptor)
    {
        mIACFComponentDescriptorV2.QueryFrom(mIACFComponentDescriptor.get(), IID_IAAXComponentDescriptorV2);
        mIACFComponentDescriptorV3.QueryFrom(mIACFComponentDescriptor.get(), IID_IAAXComponentDescriptorV3);
    }
}

AAX_VComponentDescriptor::~AAX_VComponentDescriptor()
{
    mPropertyMaps.clear();
    mIACFComponentDescriptorV3.reset();
    mIACFComponentDescriptorV2.reset();
    mIACFComponentDescriptor.reset();
    mUnkHost.reset();
}

const std::set<AAX_EProperty>& AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc()
{
    static const std::set<AAX_EProperty> properties {
        AAX_eProperty_NativeProcessProc, AAX_eProperty_NativeInstanceInitProc, AAX_eProperty_NativeBackgroundProc,
        AAX_eProperty_TIDLLFileName,     AAX_eProperty_TIProcessProc,          AAX_eProperty_TIInstanceInitProc,
        AAX_eProperty_TIBackgroundProc,
    };
    return properties;
}

IACFUnknown* AAX_VComponentDescriptor::GetIUnknown() const
{
    return mIACFComponentDescriptor.get();
}

AAX_Result AAX_VComponentDescriptor::Clear()
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->Clear();
}

AAX_Result AAX_VComponentDescriptor::AddReservedField(AAX_CFieldIndex field, uint32_t fieldType)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddReservedField(field, fieldType);
}

AAX_Result AAX_VComponentDescriptor::AddAudioIn(AAX_CFieldIndex field)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddAudioIn(field);
}

AAX_Result AAX_VComponentDescriptor::AddAudioOut(AAX_CFieldIndex field)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddAudioOut(field);
}

AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex field)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddAudioBufferLength(field);
}

AAX_Result AAX_VComponentDescriptor::AddSampleRate(AAX_CFieldIndex field)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddSampleRate(field);
}

AAX_Result AAX_VComponentDescriptor::AddClock(AAX_CFieldIndex field)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddClock(field);
}

AAX_Result AAX_VComponentDescriptor::AddSideChainIn(AAX_CFieldIndex field)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddSideChainIn(field);
}

AAX_Result AAX_VComponentDescriptor::AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortType type)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddDataInPort(field, packetSize, type);
}

AAX_Result AAX_VComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddAuxOutputStem(field, stemFormat, name);
}

AAX_Result AAX_VComponentDescriptor::AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddPrivateData(field, dataSize, options);
}

AAX_Result AAX_VComponentDescriptor::AddTemporaryData(AAX_CFieldIndex field, uint32_t dataElementSize)
{
    if (!mIACFComponentDescriptorV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFComponentDescriptorV2->AddTemporaryData(field, dataElementSize);
}

AAX_Result AAX_VComponentDescriptor::AddDmaInstance(AAX_CFieldIndex field, AAX_IDma::EMode mode)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddDmaInstance(field, mode);
}

AAX_Result AAX_VComponentDescriptor::AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddMeters(field, meterIDs, meterCount);
}

AAX_Result AAX_VComponentDescriptor::AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name,
                                                 uint32_t channelMask)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddMIDINode(field, type, name, channelMask);
}

AAX_IPropertyMap* AAX_VComponentDescriptor::NewPropertyMap() const
{
    AAX_VPropertyMap* const map = AAX_VPropertyMap::Create(mUnkHost.get());
    if (map != nullptr)
        mPropertyMaps.emplace_back(map);
    return map;
}

AAX_IPropertyMap* AAX_VComponentDescriptor::DuplicatePropertyMap(AAX_IPropertyMap* source) const
{
    AAX_IPropertyMap* const copy = NewPropertyMap();
    if (copy == nullptr || source == nullptr)
        return copy;

    for (int32_t id = AAX_eProperty_MinProp; id <= AAX_eProperty_MaxProp; ++id)
    {
        const auto property = static_cast<AAX_EProperty>(id);
        AAX_CPropertyValue value = 0;
        const void* pointer = nullptr;
        if (source->GetProperty(property, &value))
            copy->AddProperty(property, value);
        else if (source->GetPointerProperty(property, &pointer))
            copy->AddPointerProperty(property, pointer);
    }
    return copy;
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc processProc, AAX_IPropertyMap* properties,
                                                           AAX_CInstanceInitProc instanceInitProc,
                                                           AAX_CBackgroundProc backgroundProc, AAX_CSelector* outProcID)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddProcessProc_Native(processProc,
                                                           properties != nullptr ? properties->GetIUnknown() : nullptr,
                                                           instanceInitProc, backgroundProc, outProcID);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_TI(const char* dllFileName, const char* processProcName,
                                                       AAX_IPropertyMap* properties, const char* instanceInitProcName,
                                                       const char* backgroundProcName, AAX_CSelector* outProcID)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddProcessProc_TI(dllFileName, processProcName,
                                                       properties != nullptr ? properties->GetIUnknown() : nullptr,
                                                       instanceInitProcName, backgroundProcName, outProcID);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc(AAX_IPropertyMap* properties, AAX_CSelector* outProcIDs,
                                                    int32_t capacity)
{
    if (mIACFComponentDescriptorV3)
        return mIACFComponentDescriptorV3->AddProcessProc(properties != nullptr ? properties->GetIUnknown() : nullptr,
                                                          outProcIDs, capacity);

    if (properties == nullptr || !mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;

    return ManuallyAddProcessProcs(properties, outProcIDs, capacity);
}

AAX_Result AAX_VComponentDescriptor::ManuallyAddProcessProcs(AAX_IPropertyMap* properties, AAX_CSelector* outProcIDs,
                                                             int32_t capacity)
{
    AAX_CPropertyValue value = 0;
    const bool hasNativeID = properties->GetProperty(AAX_eProperty_PlugInID_Native, &value);
    const bool hasAudioSuiteID = properties->GetProperty(AAX_eProperty_PlugInID_AudioSuite, &value);
    const bool hasTIID = properties->GetProperty(AAX_eProperty_PlugInID_TI, &value);

    std::vector<AAX_CSelector> procIDs;
    AAX_Result result = AAX_SUCCESS;

    if (hasNativeID || hasAudioSuiteID)
    {
        const void* processProc = nullptr;
        const void* instanceInitProc = nullptr;
        const void* backgroundProc = nullptr;
        const bool hasProcessProc = properties->GetPointerProperty(AAX_eProperty_NativeProcessProc, &processProc);
        properties->GetPointerProperty(AAX_eProperty_NativeInstanceInitProc, &instanceInitProc);
        properties->GetPointerProperty(AAX_eProperty_NativeBackgroundProc, &backgroundProc);

        if (!hasProcessProc || processProc == nullptr)
        {
            AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                     "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for "
                                     "AAX_eProperty_NativeProcessProc");
            // The host would call a null procedure on its real-time thread.
            result = AAX_ERROR_NULL_OBJECT;
        }
        else
        {
            // A TI-only property must not reach the native registration; it goes on a copy.
            AAX_IPropertyMap* chosen = properties;
            if (properties->GetProperty(AAX_eProperty_TIOnly, &value))
            {
                AAX_IPropertyMap* const copy = DuplicatePropertyMap(properties);
                if (copy != nullptr && copy->GetIUnknown() != nullptr
                    && copy->GetProperty(AAX_eProperty_TIOnly, &value))
                {
                    copy->RemoveProperty(AAX_eProperty_TIOnly);
                    chosen = copy;
                }
            }

            AAX_CSelector procID = 0;
            result = AddProcessProc_Native(ProcedureFromPointer<AAX_CProcessProc>(processProc), chosen,
                                           ProcedureFromPointer<AAX_CInstanceInitProc>(instanceInitProc),
                                           ProcedureFromPointer<AAX_CBackgroundProc>(backgroundProc), &procID);
            if (result == AAX_SUCCESS)
                procIDs.push_back(procID);
        }
    }

    if (hasTIID && result == AAX_SUCCESS)
    {
        const void* dllFileName = nullptr;
        const void* processProcName = nullptr;
        const void* instanceInitProcName = nullptr;
        const void* backgroundProcName = nullptr;
        const bool hasDLL = properties->GetPointerProperty(AAX_eProperty_TIDLLFileName, &dllFileName)
                         && dllFileName != nullptr;
        const bool hasProcess = properties->GetPointerProperty(AAX_eProperty_TIProcessProc, &processProcName)
                             && processProcName != nullptr;
        properties->GetPointerProperty(AAX_eProperty_TIInstanceInitProc, &instanceInitProcName);
        properties->GetPointerProperty(AAX_eProperty_TIBackgroundProc, &backgroundProcName);

        if (!hasDLL)
            AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                     "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for "
                                     "AAX_eProperty_TIDLLFileName");
        if (!hasProcess)
            AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                     "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for "
                                     "AAX_eProperty_TIProcessProc");

        if (!hasDLL || !hasProcess)
        {
            result = AAX_ERROR_NULL_OBJECT;
        }
        else
        {
            AAX_CSelector procID = 0;
            result = AddProcessProc_TI(static_cast<const char*>(dllFileName), static_cast<const char*>(processProcName),
                                       properties, static_cast<const char*>(instanceInitProcName),
                                       static_cast<const char*>(backgroundProcName), &procID);
            if (result == AAX_SUCCESS)
                procIDs.push_back(procID);
        }
    }

    if (outProcIDs != nullptr && result == AAX_SUCCESS)
    {
        const size_t count = procIDs.size();
        if (count > 0x7FFFFFFEu || static_cast<int64_t>(count) >= static_cast<int64_t>(capacity))
            return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;

        for (size_t i = 0; i < count; ++i)
            outProcIDs[i] = procIDs[i];
        outProcIDs[count] = 0;
    }
    return result;
}
