#pragma once

#include "AAX.h"
#include "AAX_IDma.h"

class AAX_IPropertyMap;

/** The description of one algorithm component: the fields of its context block, its properties
    and its process procedures. The first argument of each field operation is the field's index in
    the context block (see AAX_FIELD_INDEX). Owned by the effect descriptor that created it.
    Registration thread only. */
class AAX_IComponentDescriptor
{
public:
    virtual ~AAX_IComponentDescriptor() = default;

    virtual AAX_Result Clear() = 0;
    virtual AAX_Result AddAudioIn(AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioOut(AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddSampleRate(AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddClock(AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddSideChainIn(AAX_CFieldIndex field) = 0;

    /** A port that receives packets of `packetSize` bytes. */
    virtual AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize,
                                     AAX_EDataInPortType type = AAX_eDataInPortType_Buffered) = 0;

    virtual AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name) = 0;

    /** A block of `dataSize` bytes private to each instance, set up by ResetFieldData. */
    virtual AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options = 0) = 0;

    virtual AAX_Result AddTemporaryData(AAX_CFieldIndex field, uint32_t dataElementSize) = 0;
    virtual AAX_Result AddDmaInstance(AAX_CFieldIndex field, AAX_IDma::EMode mode) = 0;
    virtual AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) = 0;
    virtual AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name,
                                   uint32_t channelMask) = 0;
    virtual AAX_Result AddReservedField(AAX_CFieldIndex field, uint32_t fieldType) = 0;

    /** A new property map owned by this descriptor; null when the host gives none. */
    virtual AAX_IPropertyMap* NewPropertyMap() const = 0;

    /** A new property map owned by this descriptor holding the integer and pointer properties of
        `source` whose ids run from AAX_eProperty_MinProp to AAX_eProperty_MaxProp. */
    virtual AAX_IPropertyMap* DuplicatePropertyMap(AAX_IPropertyMap* source) const = 0;

    /** Registers a native process procedure with its optional instance-init and background
        procedures; writes the procedure's id to *outProcID when it is not null. */
    virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, AAX_IPropertyMap* properties = nullptr,
                                             AAX_CInstanceInitProc instanceInitProc = nullptr,
                                             AAX_CBackgroundProc backgroundProc = nullptr,
                                             AAX_CSelector* outProcID = nullptr) = 0;

    /** Registers a DSP process procedure by file and procedure names. */
    virtual AAX_Result AddProcessProc_TI(const char* dllFileName, const char* processProcName,
                                         AAX_IPropertyMap* properties, const char* instanceInitProcName = nullptr,
                                         const char* backgroundProcName = nullptr,
                                         AAX_CSelector* outProcID = nullptr) = 0;

    /** Registers every procedure `properties` names (native and DSP ids, procedure pointers and
        names); writes their ids followed by a 0 to outProcIDs, which holds `capacity` entries. */
    virtual AAX_Result AddProcessProc(AAX_IPropertyMap* properties, AAX_CSelector* outProcIDs = nullptr,
                                      int32_t capacity = 0) = 0;

    /** AddProcessProc_Native for a procedure over a typed context block `C`: the host passes the
        instances' context blocks, which the procedure reads as `C`. */
    template <class C>
    AAX_Result
    AddProcessProc_Native(void(AAX_CALLBACK* processProc)(C* const begin[], const void* end),
                          AAX_IPropertyMap* properties = nullptr,
                          int32_t(AAX_CALLBACK* instanceInitProc)(const C*, AAX_EComponentInstanceInitAction) = nullptr,
                          int32_t(AAX_CALLBACK* backgroundProc)() = nullptr, AAX_CSelector* outProcID = nullptr)
    {
        return AddProcessProc_Native(reinterpret_cast<AAX_CProcessProc>(processProc), properties,
                                     reinterpret_cast<AAX_CInstanceInitProc>(instanceInitProc), backgroundProc,
                                     outProcID);
    }
};
