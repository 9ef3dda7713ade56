#pragma once

#include "AAX.h"

/** The host's transport as a plug-in instance sees it: tempo (beats per minute), meter, play
    state and positions (samples, or ticks at 960000 per quarter note). Every operation writes its
    outputs and returns the host's result; any thread the host allows. */
class AAX_ITransport
{
public:
    virtual ~AAX_ITransport() = default;

    virtual AAX_Result GetCurrentTempo(double* tempo) const = 0;
    virtual AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) const = 0;
    virtual AAX_Result IsTransportPlaying(bool* playing) const = 0;
    virtual AAX_Result GetCurrentTickPosition(int64_t* ticks) const = 0;
    virtual AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* loopStartTick, int64_t* loopEndTick) const = 0;
    virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* sampleLocation) const = 0;

    /** The tick position of `sampleLocation`. */
    virtual AAX_Result GetCustomTickPosition(int64_t* ticks, int64_t sampleLocation) const = 0;

    /** Bars, beats and ticks within the beat at `sampleLocation`. */
    virtual AAX_Result GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* displayTicks,
                                          int64_t sampleLocation) const = 0;

    virtual AAX_Result GetTicksPerQuarter(uint32_t* ticks) const = 0;
    virtual AAX_Result GetCurrentTicksPerBeat(uint32_t* ticks) const = 0;
    virtual AAX_Result GetTimelineSelectionStartPosition(int64_t* sampleLocation) const = 0;
    virtual AAX_Result GetTimeCodeInfo(AAX_EFrameRate* frameRate, int32_t* offset) const = 0;
    virtual AAX_Result GetFeetFramesInfo(AAX_EFeetFramesRate* feetFramesRate, int64_t* offset) const = 0;
    virtual AAX_Result IsMetronomeEnabled(int32_t* enabled) const = 0;
};
