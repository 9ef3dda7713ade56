#pragma once

#include <memory>
#include <set>
#include <vector>

#include "ACF/ACFPtr.h"
#include "AAX_IACFComponentDescriptor.h"
#include "AAX_IComponentDescriptor.h"

class AAX_VPropertyMap;

/** AAX_IComponentDescriptor over the host's component descriptor, created through the host's
    component factory. Owns the property maps it creates. Missing first version: -20004; missing
    second or third version: -20009, except AddProcessProc, which without the third version
    registers the procedures itself. Registration thread only. */
class AAX_VComponentDescriptor : public AAX_IComponentDescriptor
{
public:
    explicit AAX_VComponentDescriptor(IACFUnknown* host);
    ~AAX_VComponentDescriptor() override;

    AAX_VComponentDescriptor(const AAX_VComponentDescriptor&) = delete;
    AAX_VComponentDescriptor& operator=(const AAX_VComponentDescriptor&) = delete;

    using AAX_IComponentDescriptor::AddProcessProc_Native;

    AAX_Result Clear() override;
    AAX_Result AddAudioIn(AAX_CFieldIndex field) override;
    AAX_Result AddAudioOut(AAX_CFieldIndex field) override;
    AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) override;
    AAX_Result AddSampleRate(AAX_CFieldIndex field) override;
    AAX_Result AddClock(AAX_CFieldIndex field) override;
    AAX_Result AddSideChainIn(AAX_CFieldIndex field) override;
    AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize,
                             AAX_EDataInPortType type = AAX_eDataInPortType_Buffered) override;
    AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name) override;
    AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options = 0) override;
    AAX_Result AddTemporaryData(AAX_CFieldIndex field, uint32_t dataElementSize) override;
    AAX_Result AddDmaInstance(AAX_CFieldIndex field, AAX_IDma::EMode mode) override;
    AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
    AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name,
                           uint32_t channelMask) override;
    AAX_Result AddReservedField(AAX_CFieldIndex field, uint32_t fieldType) override;
    AAX_IPropertyMap* NewPropertyMap() const override;
    AAX_IPropertyMap* DuplicatePropertyMap(AAX_IPropertyMap* source) const override;
    AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, AAX_IPropertyMap* properties = nullptr,
                                     AAX_CInstanceInitProc instanceInitProc = nullptr,
                                     AAX_CBackgroundProc backgroundProc = nullptr,
                                     AAX_CSelector* outProcID = nullptr) override;
    AAX_Result AddProcessProc_TI(const char* dllFileName, const char* processProcName, AAX_IPropertyMap* properties,
                                 const char* instanceInitProcName = nullptr, const char* backgroundProcName = nullptr,
                                 AAX_CSelector* outProcID = nullptr) override;

    /** With the host's third version the host registers everything. Without it the native
        procedure (properties 36 to 38) is registered when the map holds a native or AudioSuite
        plug-in id, then the DSP procedure (39 to 42) when it holds a TI plug-in id; a missing
        procedure property is traced and gives -20004 without registering anything null. The ids
        and a 0 terminator must fit `capacity` entries, else -20046 and nothing is written. */
    AAX_Result AddProcessProc(AAX_IPropertyMap* properties, AAX_CSelector* outProcIDs = nullptr,
                              int32_t capacity = 0) override;

    /** The host's component descriptor object (first version), or null. */
    IACFUnknown* GetIUnknown() const;

    /** The pointer properties AddProcessProc reads: {36, ..., 42}. Thread-safe. */
    static const std::set<AAX_EProperty>& PointerPropertiesUsedByAddProcessProc();

private:
    AAX_Result ManuallyAddProcessProcs(AAX_IPropertyMap* properties, AAX_CSelector* outProcIDs, int32_t capacity);

    ACFPtr<IACFUnknown> mUnkHost;
    ACFPtr<AAX_IACFComponentDescriptor> mIACFComponentDescriptor;
    ACFPtr<AAX_IACFComponentDescriptor_V2> mIACFComponentDescriptorV2;
    ACFPtr<AAX_IACFComponentDescriptor_V3> mIACFComponentDescriptorV3;
    mutable std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
