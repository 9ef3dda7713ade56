#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "AAX_IACFController.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's controller of one instance (all three versions), answering from the public state
    below and keeping what the instance tells it: the declared latency and cycle counts; posted
    packets go on to the packet sink. PostPacket may be called from any thread. */
class Controller final : public HostUnknown<AAX_IACFController_V3>
{
public:
    /** One meter as the host shows it. */
    struct Meter
    {
        float value = 0.0f;
        float peak = 0.0f;
        bool clipped = false;
    };

    /** What the controller reports; tests set it directly before the calls. */
    struct State
    {
        std::string effectID = "com.example.effect";
        AAX_CSampleRate sampleRate = 48000.0f;
        AAX_EStemFormat inputStemFormat = AAX_eStemFormat_Stereo;
        AAX_EStemFormat outputStemFormat = AAX_eStemFormat_Stereo;
        int32_t signalLatency = 0; ///< kept from SetSignalLatency
        int32_t hybridSignalLatency = 0;
        int64_t todLocation = 0;
        AAX_CTimestamp automationTimestamp = 0;
        std::string hostName = "Stand-in Host";
        int32_t targetPlatform = 1;
        AAX_CBoolean isAudioSuite = 0;
        std::map<int32_t, int32_t> cycleCounts;                       ///< by AAX_EProperty, from SetCycleCount
        std::map<AAX_CTypeID, Meter> meters;                          ///< by meter id
        std::deque<std::pair<AAX_CFieldIndex, AAX_CMidiPacket>> midi; ///< handed out by GetNextMIDIPacket
    };

    /** Where posted packets travel on to: the instance's algorithm. */
    class PacketSink
    {
    public:
        virtual ~PacketSink() = default;

        /** False when the packet cannot be delivered (PostPacket then fails with -20021). */
        virtual bool Accept(AAX_CFieldIndex port, const void* data, uint32_t size) = 0;
    };

    explicit Controller(std::shared_ptr<CallHook> hook);

    State state;

    /** Null: packets go nowhere. Set while no packet is being posted. */
    void SetPacketSink(PacketSink* sink) { mPacketSink.store(sink); }

    AAX_Result GetEffectID(AAX_IString* effectID) override;
    AAX_Result GetSampleRate(AAX_CSampleRate* sampleRate) override;
    AAX_Result GetInputStemFormat(AAX_EStemFormat* format) override;
    AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) override;
    AAX_Result GetSignalLatency(int32_t* samples) override;
    AAX_Result GetCycleCount(AAX_EProperty which, int32_t* cycles) override;
    AAX_Result GetTODLocation(int64_t* location) override;
    AAX_Result SetSignalLatency(int32_t samples) override;
    AAX_Result SetCycleCount(AAX_EProperty* which, int32_t* cycles, int32_t count) override;

    /** Hands the bytes to the packet sink; a null pointer with a nonzero size is refused with
        -20044, a packet the sink refuses with -20021. */
    AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) override;

    /** Unknown meter ids give -20003 (AAX_ERROR_INVALID_METER_INDEX). */
    AAX_Result GetCurrentMeterValue(AAX_CTypeID meter, float* value) override;
    AAX_Result GetMeterPeakValue(AAX_CTypeID meter, float* value) override;
    AAX_Result ClearMeterPeakValue(AAX_CTypeID meter) override;
    AAX_Result GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* clipped) override;
    AAX_Result ClearMeterClipped(AAX_CTypeID meter) override;
    AAX_Result GetMeterCount(uint32_t* count) override;

    /** Hands out the oldest queued MIDI packet; -20004 when none is queued. */
    AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* port, AAX_CMidiPacket* packet) override;

    AAX_Result SendNotification(AAX_CTypeID type, const void* data, uint32_t size) override;
    AAX_Result GetHybridSignalLatency(int32_t* samples) override;
    AAX_Result GetCurrentAutomationTimestamp(AAX_CTimestamp* timestamp) override;
    AAX_Result GetHostName(AAX_IString* name) override;
    AAX_Result GetPlugInTargetPlatform(int32_t* platform) override;
    AAX_Result GetIsAudioSuite(AAX_CBoolean* isAudioSuite) override;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    std::atomic<PacketSink*> mPacketSink { nullptr };
};
} // namespace aaxhost
