#pragma once

#include <string>
#include <vector>

#include "AAX_IACFComponentDescriptor.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's description of one algorithm component (all three versions). Registered process
    procedures get ids 1, 2, 3, ... in the order registered. */
class ComponentDescriptor final : public HostUnknown<AAX_IACFComponentDescriptor_V3>
{
public:
    /** One registered process procedure. */
    struct ProcessProc
    {
        bool native;                            ///< native, else DSP (named procedures)
        AAX_CProcessProc processProc;           ///< native only
        AAX_CInstanceInitProc instanceInitProc; ///< native only
        AAX_CBackgroundProc backgroundProc;     ///< native only
        std::string dllFileName;                ///< DSP only
        std::string processProcName;            ///< DSP only
        std::string properties;                 ///< name of the property map
        AAX_CSelector id;
    };

    /** One field of the algorithm's context block, as described (Clear forgets them). */
    struct ContextField
    {
        enum class Kind
        {
            Reserved,
            AudioIn,
            AudioOut,
            BufferLength,
            SampleRate,
            Clock,
            SideChainIn,
            DataInPort,
            AuxOutputStem,
            PrivateData,
            TemporaryData,
            Dma,
            Meters,
            MIDINode
        };

        AAX_CFieldIndex index = -1;
        Kind kind = Kind::Reserved;
        uint32_t size = 0;                 ///< bytes: data-in packet, private or temporary data
        int64_t option = 0;                ///< port type, private-data options, stem format, mode, node type
        std::vector<AAX_CTypeID> meterIDs; ///< Meters only
    };

    explicit ComponentDescriptor(std::shared_ptr<CallHook> hook);

    AAX_Result Clear() override;
    AAX_Result AddReservedField(AAX_CFieldIndex field, uint32_t fieldType) override;
    AAX_Result AddAudioIn(AAX_CFieldIndex field) override;
    AAX_Result AddAudioOut(AAX_CFieldIndex field) override;
    AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) override;
    AAX_Result AddSampleRate(AAX_CFieldIndex field) override;
    AAX_Result AddClock(AAX_CFieldIndex field) override;
    AAX_Result AddSideChainIn(AAX_CFieldIndex field) override;
    AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortType type) override;
    AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name) override;
    AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options) override;
    AAX_Result AddDmaInstance(AAX_CFieldIndex field, AAX_IDma::EMode mode) override;
    AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType type, const char* name,
                           uint32_t channelMask) override;
    AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                     AAX_CInstanceInitProc instanceInitProc, AAX_CBackgroundProc backgroundProc,
                                     AAX_CSelector* outProcID) override;
    AAX_Result AddProcessProc_TI(const char* dllFileName, const char* processProcName, IACFUnknown* properties,
                                 const char* instanceInitProcName, const char* backgroundProcName,
                                 AAX_CSelector* outProcID) override;
    AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
    AAX_Result AddTemporaryData(AAX_CFieldIndex field, uint32_t dataElementSize) override;
    AAX_Result AddProcessProc(IACFUnknown* properties, AAX_CSelector* outProcIDs, int32_t capacity) override;

    const std::vector<ProcessProc>& ProcessProcs() const { return mProcessProcs; }

    /** The context fields in the order described. */
    const std::vector<ContextField>& Fields() const { return mFields; }

    /** The property maps handed over with the procedures, in order. */
    const std::vector<ACFPtr<IACFUnknown>>& ProcessProcMaps() const { return mHeldMaps; }

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    AAX_CSelector Register(ProcessProc proc, IACFUnknown* properties);
    AAX_Result AddField(AAX_CFieldIndex index, ContextField::Kind kind, uint32_t size = 0, int64_t option = 0);

    std::vector<ContextField> mFields;

    std::vector<ProcessProc> mProcessProcs;
    std::vector<ACFPtr<IACFUnknown>> mHeldMaps;
    AAX_CSelector mNextProcID = 1;
};
} // namespace aaxhost
