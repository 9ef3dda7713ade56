#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

class AAX_IString;

/** The host's per-instance controller as the host lays it out: sample rate, stem formats,
    latency, cycle counts, packet posting to the algorithm, meters and MIDI. Every operation
    returns the host's result. Which thread may call what is the host's rule; packets are posted
    from the thread that generates coefficients. */
class AAX_IACFController : public IACFUnknown
{
public:
    /** The effect id text of the instance's effect. */
    virtual AAX_Result GetEffectID(AAX_IString* effectID) = 0;

    /** Samples per second. */
    virtual AAX_Result GetSampleRate(AAX_CSampleRate* sampleRate) = 0;
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* format) = 0;
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) = 0;

    /** The latency the instance declared, in samples. */
    virtual AAX_Result GetSignalLatency(int32_t* samples) = 0;
    virtual AAX_Result GetCycleCount(AAX_EProperty which, int32_t* cycles) = 0;

    /** The current time-of-day sample location. */
    virtual AAX_Result GetTODLocation(int64_t* location) = 0;

    /** Declares the instance's processing delay, in samples. */
    virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
    virtual AAX_Result SetCycleCount(AAX_EProperty* which, int32_t* cycles, int32_t count) = 0;

    /** Delivers `size` bytes at `data` to the algorithm's field `port`; the bytes are copied. */
    virtual AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) = 0;

    virtual AAX_Result GetCurrentMeterValue(AAX_CTypeID meter, float* value) = 0;
    virtual AAX_Result GetMeterPeakValue(AAX_CTypeID meter, float* value) = 0;
    virtual AAX_Result ClearMeterPeakValue(AAX_CTypeID meter) = 0;
    virtual AAX_Result GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* clipped) = 0;
    virtual AAX_Result ClearMeterClipped(AAX_CTypeID meter) = 0;
    virtual AAX_Result GetMeterCount(uint32_t* count) = 0;

    /** The next queued MIDI packet and the field index of its node. */
    virtual AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* port, AAX_CMidiPacket* packet) = 0;
};

/** Second version: notifications to the host, hybrid latency, automation time and host name. */
class AAX_IACFController_V2 : public AAX_IACFController
{
public:
    virtual AAX_Result SendNotification(AAX_CTypeID type, const void* data, uint32_t size) = 0;
    virtual AAX_Result GetHybridSignalLatency(int32_t* samples) = 0;
    virtual AAX_Result GetCurrentAutomationTimestamp(AAX_CTimestamp* timestamp) = 0;
    virtual AAX_Result GetHostName(AAX_IString* name) = 0;
};

/** Third version: target platform and offline (AudioSuite) processing. */
class AAX_IACFController_V3 : public AAX_IACFController_V2
{
public:
    virtual AAX_Result GetPlugInTargetPlatform(int32_t* platform) = 0;
    virtual AAX_Result GetIsAudioSuite(AAX_CBoolean* isAudioSuite) = 0;
};
