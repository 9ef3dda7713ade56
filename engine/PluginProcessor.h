#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "VLHostParameter.h"
#include "VLParameterInfo.h"
#include "dsp/Corvanite.h"
#include "dsp/DynamicFilter.h"
#include "dsp/HPFilter.h"
#include "dsp/LevelFollower.h"
#include "dsp/RampedValue.h"
#include "dsp/ShelvingEQ.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

/**
    The equaliser engine: input gain, a switchable high-pass, low and high shelves, two dynamic
    mid bands and output gain, for one (mono) or two (stereo) channels.

    Threads:
    - the host's audio thread runs processBlock() and processBlockBypassed() under the
      processor's callback lock, which the host wrapper holds;
    - host threads and the message thread may prepare the processor and save or load its state;
      preparation and state loads take the callback lock around everything processBlock uses;
    - the message thread (the editor) polls getPeak(), getLowMidReduction(),
      getHighMidReduction() and writes the preset fields. These are lock-free.

    The state is 23 normalised parameters (0..1) plus the selected factory preset; see
    getStateInformation() for its byte form.
*/
class QuilloAudioProcessor : public juce::AudioProcessor,
                             private juce::AsyncUpdater
{
public:
    /** Builds the chain and its 23 parameters and loads the "Default" factory preset. */
    QuilloAudioProcessor();
    ~QuilloAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override;

    /** Prepares every stage for the sample rate (Hz) and reports the chain's delay as latency.
        A rate that is not a positive finite number is ignored. The block size is not used. */
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;

    /** Mono in to mono out, or stereo in to stereo out. */
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** Audio thread. Allocates nothing and takes no lock. Non-finite input samples are taken as
        silence; the output is always finite. MIDI is ignored. */
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;

    /** Audio thread. The input delayed by the reported latency, so that switching bypass
        neither moves the audio in time nor leaves a gap. The chain keeps running on a copy of
        the input (the read-outs follow it), so that switching back does not jump either.
        Allocates nothing and takes no lock. */
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;

    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    //==============================================================================
    /** Appends the state to destData: the 23 normalised parameter values as little-endian
        float32 in index order (92 bytes), then, unless skipPresetInfo, presetCategory,
        presetIndex and presetModified (0 or 1) as little-endian int32 (104 bytes in all). */
    void getStateInformation (juce::MemoryBlock& destData, bool skipPresetInfo);

    /** The host form of the state (104 bytes), appended to destData. */
    void getStateInformation (juce::MemoryBlock& destData) override;

    /** Loads a state of 92 or more bytes (see getStateInformation). A null, short or negative
        sized blob changes nothing. Values are limited to 0..1 and a value that is not a finite
        number takes its parameter's default; a preset pair outside the factory catalogue
        becomes (0, 0), marked as modified. The new values apply from the next sample on, and
        the editor is told on the message thread. Any thread but the audio thread. */
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    /** Message thread. The peak levels in dB since the last call, as (input channel 0, input
        channel 1, output channel 0, output channel 1); the floor is -100 dB. When no block has
        been processed since the last call it returns -100 in every lane and leaves numChannels
        alone; otherwise numChannels becomes the number of output channels. */
    Corvanite::v4f getPeak (int& numChannels) noexcept;

    /** Message thread. The low-mid band's gain reduction as a linear factor (1 = none): the
        deepest since the last call, which then releases by 0.01 towards 1. */
    float getLowMidReduction() noexcept;

    /** Message thread. As getLowMidReduction(), for the high-mid band. */
    float getHighMidReduction() noexcept;

    /** Sets both reduction read-outs to 1 (no reduction). */
    void resetAllMeters() noexcept;

    //==============================================================================
    /** Parameter i's normalised value (0 for an index outside 0..22). Any thread. */
    float getParameter (int parameterIndex) override;

    /** Sets parameter i to a normalised value and tells the host. Not for the audio thread. */
    void setParameterNotifyingHost (int parameterIndex, float newValue);

    //==============================================================================
    /** The factory preset the editor shows as selected, and whether the state was edited
        since it was loaded. Written by the editor and by state loads; any thread. */
    std::atomic<int32_t> presetCategory { 0 };
    std::atomic<int32_t> presetIndex { 0 };
    std::atomic<bool> presetModified { false };

protected:
    /** Message thread: a state load happened. Brings the editor's preset banner up to date. */
    void handleAsyncUpdate() override;

private:
    //==============================================================================
    /** Reads the 23 parameters and sets the targets of every ramp for a block of numSamples
        (0 makes every ramp but the high-pass mix jump to its target). Audio thread, or any
        thread holding the callback lock. */
    void syncParameters (int numSamples) noexcept;

    /** Parameter i's value as the engine uses it: a value that is not a number is the default. */
    float normalisedValue (int index) const noexcept;

    void loadState (const void* data, int sizeInBytes, bool notifyEditor);

    /** The opening of both processing paths: clears the output channels that have no input
        and returns the number of channels the chain runs (0 to 2). */
    int clearOutputsWithoutInput (juce::AudioBuffer<float>& buffer) const noexcept;

    /** Runs one block through the chain: in place when replaceAudio, else on a copy whose
        result is dropped (the chain's state still advances). Then publishes the read-outs. */
    void runChain (juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, bool replaceAudio) noexcept;

    void processChunk (float* left, float* right, int numChannels, int numFrames) noexcept;
    void resetNonFiniteStages() noexcept;
    void captureDryInput (const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples) noexcept;
    static float takeReduction (std::atomic<float>& reduction) noexcept;

    // Frames processed stage by stage at a time (their working copy lives on the stack).
    static constexpr int framesPerChunk = 256;

    std::array<VLHostParameter*, VL_NUM_PARAMS> parameters {};

    std::atomic<bool> meterFresh { false };

    RampedValue highPassMix;   // share of the high-pass output: 0 dry, 1 filtered
    ShelvingEQ shelving;
    DynamicFilter lowMidBand;
    DynamicFilter highMidBand;
    HPFilter highPass;
    LevelFollower inputMeter;
    LevelFollower outputMeter;
    RampedValue inputGainDb;
    RampedValue outputGainDb;
    RampedValue power;

    // Gain factors and the ramp values they were computed from: unchanged values reuse them.
    float inputFactor = 1.0f, inputFactorPower = 0.0f, inputFactorGain = 0.0f;
    float outputFactor = 1.0f, outputFactorPower = 0.0f, outputFactorGain = 0.0f;
    bool factorsValid = false;

    // Bypass: each channel's input, delayed by the latency. Fed by both processing paths so
    // that it is current whenever bypass is switched on.
    std::vector<float> bypassLine[2];
    int bypassLength = 0;
    int bypassWritePosition = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuilloAudioProcessor)
};
