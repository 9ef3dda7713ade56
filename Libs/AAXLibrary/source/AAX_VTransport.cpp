#include "AAX_VTransport.h"

#include "AAX_UIDs.h"

AAX_VTransport::AAX_VTransport(IACFUnknown* context)
{
    if (context == nullptr)
        return;

    mITransport.QueryFrom(context, IID_IAAXTransportV1);
    mITransportV2.QueryFrom(context, IID_IAAXTransportV2);
}

AAX_VTransport::~AAX_VTransport() = default;

AAX_Result AAX_VTransport::GetCurrentTempo(double* tempo) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCurrentTempo(tempo);
}

AAX_Result AAX_VTransport::GetCurrentMeter(int32_t* numerator, int32_t* denominator) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCurrentMeter(numerator, denominator);
}

AAX_Result AAX_VTransport::IsTransportPlaying(bool* playing) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->IsTransportPlaying(playing);
}

AAX_Result AAX_VTransport::GetCurrentTickPosition(int64_t* ticks) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCurrentTickPosition(ticks);
}

AAX_Result AAX_VTransport::GetCurrentLoopPosition(bool* looping, int64_t* loopStartTick, int64_t* loopEndTick) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCurrentLoopPosition(looping, loopStartTick, loopEndTick);
}

AAX_Result AAX_VTransport::GetCurrentNativeSampleLocation(int64_t* sampleLocation) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCurrentNativeSampleLocation(sampleLocation);
}

AAX_Result AAX_VTransport::GetCustomTickPosition(int64_t* ticks, int64_t sampleLocation) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCustomTickPosition(ticks, sampleLocation);
}

AAX_Result AAX_VTransport::GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* displayTicks,
                                              int64_t sampleLocation) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetBarBeatPosition(bars, beats, displayTicks, sampleLocation);
}

AAX_Result AAX_VTransport::GetTicksPerQuarter(uint32_t* ticks) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetTicksPerQuarter(ticks);
}

AAX_Result AAX_VTransport::GetCurrentTicksPerBeat(uint32_t* ticks) const
{
    if (!mITransport)
        return AAX_ERROR_NULL_OBJECT;
    return mITransport->GetCurrentTicksPerBeat(ticks);
}

AAX_Result AAX_VTransport::GetTimelineSelectionStartPosition(int64_t* sampleLocation) const
{
    if (!mITransportV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mITransportV2->GetTimelineSelectionStartPosition(sampleLocation);
}

AAX_Result AAX_VTransport::GetTimeCodeInfo(AAX_EFrameRate* frameRate, int32_t* offset) const
{
    if (!mITransportV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mITransportV2->GetTimeCodeInfo(frameRate, offset);
}

AAX_Result AAX_VTransport::GetFeetFramesInfo(AAX_EFeetFramesRate* feetFramesRate, int64_t* offset) const
{
    if (!mITransportV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mITransportV2->GetFeetFramesInfo(feetFramesRate, offset);
}

AAX_Result AAX_VTransport::IsMetronomeEnabled(int32_t* enabled) const
{
    if (!mITransportV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mITransportV2->IsMetronomeEnabled(enabled);
}
