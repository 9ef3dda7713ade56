#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's transport: tempo, meter and positions. Ticks count 960000 per quarter note. */
class AAX_IACFTransport : public IACFUnknown
{
public:
    virtual AAX_Result GetCurrentTempo(double* tempo) = 0;
    virtual AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) = 0;
    virtual AAX_Result IsTransportPlaying(bool* playing) = 0;
    virtual AAX_Result GetCurrentTickPosition(int64_t* ticks) = 0;
    virtual AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* loopStartTick, int64_t* loopEndTick) = 0;
    virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* sampleLocation) = 0;
    virtual AAX_Result GetCustomTickPosition(int64_t* ticks, int64_t sampleLocation) = 0;
    virtual AAX_Result GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* displayTicks,
                                          int64_t sampleLocation) = 0;
    virtual AAX_Result GetTicksPerQuarter(uint32_t* ticks) = 0;
    virtual AAX_Result GetCurrentTicksPerBeat(uint32_t* ticks) = 0;
};

/** Second version: selection, time code, feet and frames, metronome. */
class AAX_IACFTransport_V2 : public AAX_IACFTransport
{
public:
    virtual AAX_Result GetTimelineSelectionStartPosition(int64_t* sampleLocation) = 0;
    virtual AAX_Result GetTimeCodeInfo(AAX_EFrameRate* frameRate, int32_t* offset) = 0;
    virtual AAX_Result GetFeetFramesInfo(AAX_EFeetFramesRate* feetFramesRate, int64_t* offset) = 0;
    virtual AAX_Result IsMetronomeEnabled(int32_t* enabled) = 0;
};
