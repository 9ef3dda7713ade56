#include "Transport.h"

#include <cmath>

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
Transport::Transport(std::shared_ptr<CallHook> hook, const std::string& name, bool numbered)
    : HostUnknown(name, std::move(hook), numbered)
{
}

void* Transport::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXTransportV1 || iid == IID_IAAXTransportV2)
        return static_cast<AAX_IACFTransport_V2*>(this);
    return nullptr;
}

int64_t Transport::TicksAt(int64_t sampleLocation) const
{
    if (state.sampleRate <= 0.0)
        return 0;
    const double quarters = double(sampleLocation) / state.sampleRate * state.tempo / 60.0;
    return int64_t(std::llround(quarters * double(kTicksPerQuarter)));
}

AAX_Result Transport::GetCurrentTempo(double* tempo)
{
    return Answer("GetCurrentTempo", tempo, state.tempo);
}

AAX_Result Transport::GetCurrentMeter(int32_t* numerator, int32_t* denominator)
{
    if (auto forced = Enter("GetCurrentMeter"))
        return *forced;
    if (numerator == nullptr || denominator == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *numerator = state.meterNumerator;
    *denominator = state.meterDenominator;
    return AAX_SUCCESS;
}

AAX_Result Transport::IsTransportPlaying(bool* playing)
{
    return Answer("IsTransportPlaying", playing, state.playing);
}

AAX_Result Transport::GetCurrentTickPosition(int64_t* ticks)
{
    return Answer("GetCurrentTickPosition", ticks, state.tickPosition);
}

AAX_Result Transport::GetCurrentLoopPosition(bool* looping, int64_t* loopStartTick, int64_t* loopEndTick)
{
    if (auto forced = Enter("GetCurrentLoopPosition"))
        return *forced;
    if (looping == nullptr || loopStartTick == nullptr || loopEndTick == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *looping = state.looping;
    *loopStartTick = state.loopStartTick;
    *loopEndTick = state.loopEndTick;
    return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentNativeSampleLocation(int64_t* sampleLocation)
{
    return Answer("GetCurrentNativeSampleLocation", sampleLocation, state.sampleLocation);
}

AAX_Result Transport::GetCustomTickPosition(int64_t* ticks, int64_t sampleLocation)
{
    if (auto forced = Enter("GetCustomTickPosition", [&] { return Int(sampleLocation); }))
        return *forced;
    if (ticks == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *ticks = TicksAt(sampleLocation);
    return AAX_SUCCESS;
}

AAX_Result Transport::GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* displayTicks, int64_t sampleLocation)
{
    if (auto forced = Enter("GetBarBeatPosition", [&] { return Int(sampleLocation); }))
        return *forced;
    if (bars == nullptr || beats == nullptr || displayTicks == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (state.meterNumerator <= 0 || state.meterDenominator <= 0)
        return AAX_ERROR_INVALID_ARGUMENT;

    // Bars and beats count from 1; a beat is a 1/denominator note.
    const int64_t ticksPerBeat = kTicksPerQuarter * 4 / state.meterDenominator;
    const int64_t ticks = TicksAt(sampleLocation);
    const int64_t beatIndex = ticks / ticksPerBeat;
    *bars = int32_t(beatIndex / state.meterNumerator + 1);
    *beats = int32_t(beatIndex % state.meterNumerator + 1);
    *displayTicks = ticks % ticksPerBeat;
    return AAX_SUCCESS;
}

AAX_Result Transport::GetTicksPerQuarter(uint32_t* ticks)
{
    return Answer("GetTicksPerQuarter", ticks, uint32_t(kTicksPerQuarter));
}

AAX_Result Transport::GetCurrentTicksPerBeat(uint32_t* ticks)
{
    if (auto forced = Enter("GetCurrentTicksPerBeat"))
        return *forced;
    if (ticks == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (state.meterDenominator <= 0)
        return AAX_ERROR_INVALID_ARGUMENT;
    *ticks = uint32_t(kTicksPerQuarter * 4 / state.meterDenominator);
    return AAX_SUCCESS;
}

AAX_Result Transport::GetTimelineSelectionStartPosition(int64_t* sampleLocation)
{
    return Answer("GetTimelineSelectionStartPosition", sampleLocation, state.selectionStart);
}

AAX_Result Transport::GetTimeCodeInfo(AAX_EFrameRate* frameRate, int32_t* offset)
{
    if (auto forced = Enter("GetTimeCodeInfo"))
        return *forced;
    if (frameRate == nullptr || offset == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *frameRate = state.frameRate;
    *offset = state.timeCodeOffset;
    return AAX_SUCCESS;
}

AAX_Result Transport::GetFeetFramesInfo(AAX_EFeetFramesRate* feetFramesRate, int64_t* offset)
{
    if (auto forced = Enter("GetFeetFramesInfo"))
        return *forced;
    if (feetFramesRate == nullptr || offset == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *feetFramesRate = state.feetFramesRate;
    *offset = state.feetFramesOffset;
    return AAX_SUCCESS;
}

AAX_Result Transport::IsMetronomeEnabled(int32_t* enabled)
{
    return Answer("IsMetronomeEnabled", enabled, state.metronome);
}
} // namespace aaxhost
