#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFTransport.h"
#include "AAX_ITransport.h"

/** AAX_ITransport over the host's transport. A missing first version gives -20004, a missing
    second version -20009; outputs are then left unchanged. */
class AAX_VTransport : public AAX_ITransport
{
public:
    explicit AAX_VTransport(IACFUnknown* context);
    ~AAX_VTransport() override;

    AAX_Result GetCurrentTempo(double* tempo) const override;
    AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) const override;
    AAX_Result IsTransportPlaying(bool* playing) const override;
    AAX_Result GetCurrentTickPosition(int64_t* ticks) const override;
    AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* loopStartTick, int64_t* loopEndTick) const override;
    AAX_Result GetCurrentNativeSampleLocation(int64_t* sampleLocation) const override;
    AAX_Result GetCustomTickPosition(int64_t* ticks, int64_t sampleLocation) const override;
    AAX_Result GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* displayTicks,
                                  int64_t sampleLocation) const override;
    AAX_Result GetTicksPerQuarter(uint32_t* ticks) const override;
    AAX_Result GetCurrentTicksPerBeat(uint32_t* ticks) const override;
    AAX_Result GetTimelineSelectionStartPosition(int64_t* sampleLocation) const override;
    AAX_Result GetTimeCodeInfo(AAX_EFrameRate* frameRate, int32_t* offset) const override;
    AAX_Result GetFeetFramesInfo(AAX_EFeetFramesRate* feetFramesRate, int64_t* offset) const override;
    AAX_Result IsMetronomeEnabled(int32_t* enabled) const override;

private:
    ACFPtr<AAX_IACFTransport> mITransport;
    ACFPtr<AAX_IACFTransport_V2> mITransportV2;
};
