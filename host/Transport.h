#pragma once

#include "AAX_IACFTransport.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's transport (both versions), answering from the public state below. Positions in
    samples; ticks at 960000 per quarter note. */
class Transport final : public HostUnknown<AAX_IACFTransport_V2>
{
public:
    /** What the transport reports; tests set it directly before the calls. */
    struct State
    {
        double tempo = 120.0;
        int32_t meterNumerator = 4;
        int32_t meterDenominator = 4;
        bool playing = false;
        int64_t tickPosition = 0;
        bool looping = false;
        int64_t loopStartTick = 0;
        int64_t loopEndTick = 0;
        int64_t sampleLocation = 0;
        int64_t selectionStart = 0;
        AAX_EFrameRate frameRate = AAX_eFrameRate_25Frame;
        int32_t timeCodeOffset = 0;
        AAX_EFeetFramesRate feetFramesRate = AAX_eFeetFramesRate_24;
        int64_t feetFramesOffset = 0;
        int32_t metronome = 0;
        double sampleRate = 48000.0; ///< for converting sample locations to ticks
    };

    explicit Transport(std::shared_ptr<CallHook> hook, const std::string& name = "transport", bool numbered = false);

    State state;

    AAX_Result GetCurrentTempo(double* tempo) override;
    AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) override;
    AAX_Result IsTransportPlaying(bool* playing) override;
    AAX_Result GetCurrentTickPosition(int64_t* ticks) override;
    AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* loopStartTick, int64_t* loopEndTick) override;
    AAX_Result GetCurrentNativeSampleLocation(int64_t* sampleLocation) override;
    AAX_Result GetCustomTickPosition(int64_t* ticks, int64_t sampleLocation) override;
    AAX_Result GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* displayTicks,
                                  int64_t sampleLocation) override;
    AAX_Result GetTicksPerQuarter(uint32_t* ticks) override;
    AAX_Result GetCurrentTicksPerBeat(uint32_t* ticks) override;
    AAX_Result GetTimelineSelectionStartPosition(int64_t* sampleLocation) override;
    AAX_Result GetTimeCodeInfo(AAX_EFrameRate* frameRate, int32_t* offset) override;
    AAX_Result GetFeetFramesInfo(AAX_EFeetFramesRate* feetFramesRate, int64_t* offset) override;
    AAX_Result IsMetronomeEnabled(int32_t* enabled) override;

    static constexpr int64_t kTicksPerQuarter = 960000;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    int64_t TicksAt(int64_t sampleLocation) const;
};
} // namespace aaxhost
