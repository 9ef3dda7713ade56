#include "PluginProcessor.h"

#include "FactoryPresets.h"
#include "PluginEditor.h"

#include <BinaryData.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int stateValuesSize = VL_NUM_PARAMS * 4;   // the preset form: 92 bytes
constexpr int highPassMixSteps = 256;

// Enough for the latency at 192 kHz, so that preparing for the usual rates never allocates.
constexpr int initialBypassCapacity = 1024;

constexpr float silenceDb = -100.0f;

void setRamp (RampedValue& ramp, int numSteps, float target) noexcept
{
    ramp.setStepsToTarget (numSteps);
    ramp.setTarget (target);
}

void setMixRamp (RampedValue& mix, float value) noexcept
{
    mix.current = value;
    mix.target = value;
    mix.step = 0.0f;
    mix.countdown = 0;
    mix.stepsToTarget = highPassMixSteps;
}

// Lanes that are infinite or NaN become 0.
Corvanite::v4f zeroNonFinite (Corvanite::v4f x) noexcept
{
    using namespace Corvanite;
    const v4f finite = (x * v4f (0.0f)) == v4f (0.0f);
    return x & finite;
}

inline float finiteOrZero (float x) noexcept
{
    return std::isfinite (x) ? x : 0.0f;
}

int latencyFor (float sampleRate) noexcept
{
    // Two bands in series, each delaying by its compressor's look-ahead line.
    return 2 * DynamicFilter::latencySamples (sampleRate);
}
}   // namespace

//==============================================================================
QuilloAudioProcessor::QuilloAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    setMixRamp (highPassMix, 1.0f);

    for (int i = 0; i < VL_NUM_PARAMS; ++i)
    {
        const auto& info = VL_PARAMS[i];

        // No snapping: values such as 0.15789473 must survive exactly.
        auto parameter = std::make_unique<VLHostParameter> (juce::String (i) + info.name, info.name,
                                                            info.normalisedDefault());

        parameters[(size_t) i] = parameter.get();
        addParameter (parameter.release());
    }

    for (auto& line : bypassLine)
        line.reserve (initialBypassCapacity);

    // No editor exists yet, so nobody is told about this load.
    loadState (BinaryData::_01_01_Default_wmb, BinaryData::_01_01_Default_wmbSize, false);
}

QuilloAudioProcessor::~QuilloAudioProcessor()
{
    cancelPendingUpdate();
}

const juce::String QuilloAudioProcessor::getName() const
{
    return "Quillo";
}

//==============================================================================
void QuilloAudioProcessor::prepareToPlay (double sampleRate, int /*maximumExpectedSamplesPerBlock*/)
{
    if (! (sampleRate > 0.0 && std::isfinite (sampleRate)))
        return;

    const auto sr = (float) sampleRate;
    const int latency = latencyFor (sr);

    {
        const juce::ScopedLock lock (getCallbackLock());

        shelving.setSampleRate (sr);
        lowMidBand.setSampleRate (sr);
        highMidBand.setSampleRate (sr);
        highPass.setSampleRate ((double) sr);

        // The mix starts where the current parameters put it, without a ramp. Power is only
        // consulted when the high-pass is switched on.
        const bool highPassOn = normalisedValue (kHighPass) >= 0.25f && normalisedValue (kPower) >= 0.5f;
        setMixRamp (highPassMix, highPassOn ? 1.0f : 0.0f);

        inputGainDb.snap();
        outputGainDb.snap();
        power.snap();
        factorsValid = false;

        for (auto& line : bypassLine)
            line.assign ((size_t) latency, 0.0f);

        bypassLength = latency;
        bypassWritePosition = 0;
    }

    setLatencySamples (latency);
}

void QuilloAudioProcessor::releaseResources() {}

bool QuilloAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto in = layouts.getMainInputChannelSet();
    const auto out = layouts.getMainOutputChannelSet();

    return in == out && (out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo());
}

//==============================================================================
void QuilloAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const juce::ScopedNoDenormals noDenormals;
    const int numSamples = buffer.getNumSamples();
    const int numChannels = clearOutputsWithoutInput (buffer);

    captureDryInput (buffer, numChannels, numSamples);
    runChain (buffer, numChannels, numSamples, true);
}

int QuilloAudioProcessor::clearOutputsWithoutInput (juce::AudioBuffer<float>& buffer) const noexcept
{
    const int numOutputs = std::min (getTotalNumOutputChannels(), buffer.getNumChannels());
    const int numChannels = std::min ({ getTotalNumInputChannels(), numOutputs, 2 });

    for (int ch = numChannels; ch < numOutputs; ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());

    return numChannels;
}

void QuilloAudioProcessor::runChain (juce::AudioBuffer<float>& buffer, int numChannels, int numSamples,
                                     bool replaceAudio) noexcept
{
    syncParameters (numSamples);

    if (numChannels > 0)
    {
        // A mono instance runs its one channel through both lanes, so that the second lane
        // (which the meters and the reduction read-outs see) carries the real signal.
        if (replaceAudio)
        {
            float* const left = buffer.getWritePointer (0);
            float* const right = numChannels > 1 ? buffer.getWritePointer (1) : left;

            for (int start = 0; start < numSamples; start += framesPerChunk)
                processChunk (left + start, right + start, numChannels, std::min (framesPerChunk, numSamples - start));
        }
        else
        {
            const float* const left = buffer.getReadPointer (0);
            const float* const right = numChannels > 1 ? buffer.getReadPointer (1) : left;
            alignas (16) float copyL[framesPerChunk], copyR[framesPerChunk];

            for (int start = 0; start < numSamples; start += framesPerChunk)
            {
                const int n = std::min (framesPerChunk, numSamples - start);
                std::copy_n (left + start, n, copyL);
                std::copy_n (right + start, n, copyR);
                processChunk (copyL, numChannels > 1 ? copyR : copyL, numChannels, n);
            }
        }
    }

    // A finished mix ramp rests exactly on its target, never a hair (or a denormal) away.
    if (highPassMix.countdown <= 0)
        highPassMix.current = highPassMix.target;

    resetNonFiniteStages();

    inputMeter.publish();
    outputMeter.publish();
    meterFresh.store (true, std::memory_order_release);
}

void QuilloAudioProcessor::processChunk (float* left, float* right, int numChannels, int numFrames) noexcept
{
    using namespace Corvanite;

    // The chain runs stage by stage over the chunk rather than frame by frame. Each stage sees
    // the same frames in the same order and owns its ramps and state, so the result is the
    // same bits, while each stage can work on several frames at once.
    alignas (16) float chainL[framesPerChunk], chainR[framesPerChunk];         // lanes 0 and 1
    alignas (16) float filteredL[framesPerChunk], filteredR[framesPerChunk];   // the high-pass copy
    float outputFactors[framesPerChunk];

    // The chunk's peaks are gathered here and handed to the meters once: a maximum taken in
    // parts is the same maximum.
    v4f inputPeak (LevelFollower::floorLevel), outputPeak (LevelFollower::floorLevel);

    for (int i = 0; i < numFrames; ++i)
    {
        const float p = power.next();
        const float gainIn = inputGainDb.next();
        const float gainOut = outputGainDb.next();

        // expf of the same arguments gives the same bits, so unchanged ramps reuse it.
        if (! (factorsValid && p == inputFactorPower && gainIn == inputFactorGain))
        {
            inputFactor = std::exp (gainIn * p * decibelsToNepers);
            inputFactorPower = p;
            inputFactorGain = gainIn;
        }

        if (! (factorsValid && p == outputFactorPower && gainOut == outputFactorGain))
        {
            outputFactor = std::exp (p * gainOut * decibelsToNepers);
            outputFactorPower = p;
            outputFactorGain = gainOut;
        }

        factorsValid = true;
        outputFactors[i] = outputFactor;

        // The gained input; anything that is not a finite number enters the chain as 0.
        const v4f in = zeroNonFinite (v4f (left[i] * inputFactor, right[i] * inputFactor, 0.0f, 0.0f));

        inputPeak = max (s4f_abs (in), inputPeak);

        chainL[i] = filteredL[i] = in[0];
        chainR[i] = filteredR[i] = in[1];
    }

    highPass.processBlock (filteredL, filteredR, numFrames);

    for (int i = 0; i < numFrames; ++i)
    {
        float m = highPassMix.next();

        if (highPassMix.countdown <= 0)
            m = highPassMix.target;   // the last step lands exactly on the target

        const float dry = 1.0f - m;
        chainL[i] = chainL[i] * dry + filteredL[i] * m;
        chainR[i] = chainR[i] * dry + filteredR[i] * m;
    }

    shelving.processBlock (chainL, chainR, numFrames);
    DynamicFilter::processSeries (lowMidBand, highMidBand, chainL, chainR, numFrames);

    for (int i = 0; i < numFrames; ++i)
    {
        const v4f out = zeroNonFinite (v4f (chainL[i] * outputFactors[i], chainR[i] * outputFactors[i], 0.0f, 0.0f));

        left[i] = out[0];

        if (numChannels > 1)
            right[i] = out[1];

        outputPeak = max (s4f_abs (out), outputPeak);
    }

    inputMeter.push (inputPeak);
    outputMeter.push (outputPeak);
}

void QuilloAudioProcessor::resetNonFiniteStages() noexcept
{
    // Inputs are finite, but a huge gain can still overflow inside the chain; a stage whose
    // state is no longer a number would otherwise stay silent (or NaN) for ever.
    if (! highPass.isFinite())
        highPass.reset();

    if (! shelving.isFinite())
        shelving.reset();

    if (! lowMidBand.isFinite())
        lowMidBand.reset();

    if (! highMidBand.isFinite())
        highMidBand.reset();
}

void QuilloAudioProcessor::captureDryInput (const juce::AudioBuffer<float>& buffer, int numChannels,
                                            int numSamples) noexcept
{
    if (bypassLength <= 0 || numSamples <= 0)
        return;

    // Only the last bypassLength samples can still come out of the line.
    const int skipped = std::max (0, numSamples - bypassLength);
    const int start = (int) ((bypassWritePosition + (int64_t) skipped) % bypassLength);

    for (int ch = 0; ch < numChannels; ++ch)
    {
        const float* in = buffer.getReadPointer (ch) + skipped;
        float* line = bypassLine[ch].data();
        int position = start;

        for (int remaining = numSamples - skipped; remaining > 0;)
        {
            const int run = std::min (remaining, bypassLength - position);

            for (int i = 0; i < run; ++i)
                line[position + i] = finiteOrZero (in[i]);

            in += run;
            remaining -= run;
            position = position + run == bypassLength ? 0 : position + run;
        }
    }

    bypassWritePosition = (int) ((bypassWritePosition + (int64_t) numSamples) % bypassLength);
}

void QuilloAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const juce::ScopedNoDenormals noDenormals;
    const int numSamples = buffer.getNumSamples();
    const int numChannels = clearOutputsWithoutInput (buffer);

    if (bypassLength <= 0)
    {
        // Not prepared yet: no latency is reported, so the input passes as it is.
        for (int ch = 0; ch < numChannels; ++ch)
        {
            float* data = buffer.getWritePointer (ch);

            for (int i = 0; i < numSamples; ++i)
                data[i] = finiteOrZero (data[i]);
        }

        return;
    }

    // The chain goes on working on a copy whose result is dropped: its filters, look-ahead lines,
    // compressors and ramps stay where they would be without bypass, so that switching back
    // continues the processed signal instead of replaying what the chain held when bypass began.
    runChain (buffer, numChannels, numSamples, false);

    int position = bypassWritePosition;

    for (int ch = 0; ch < numChannels; ++ch)
    {
        float* data = buffer.getWritePointer (ch);
        float* line = bypassLine[ch].data();
        position = bypassWritePosition;

        for (int i = 0; i < numSamples; ++i)
        {
            const float in = finiteOrZero (data[i]);
            data[i] = line[position];
            line[position] = in;

            if (++position == bypassLength)
                position = 0;
        }
    }

    if (numChannels == 0)
        position = (int) ((bypassWritePosition + (int64_t) numSamples) % bypassLength);

    bypassWritePosition = position;
}

//==============================================================================
void QuilloAudioProcessor::syncParameters (int numSamples) noexcept
{
    float p[VL_NUM_PARAMS];

    for (int i = 0; i < VL_NUM_PARAMS; ++i)
        p[i] = normalisedValue (i);

    const int n = numSamples;

    setRamp (inputGainDb, n, p[kInputGain] * 48.0f - 24.0f);
    setRamp (outputGainDb, n, p[kOutputGain] * 48.0f - 24.0f);
    setRamp (power, n, p[kPower]);

    // Power is a master factor on every band.
    const float lowShelfScale = p[kLowShelfPower] * p[kPower];
    const float highShelfScale = p[kHighShelfPower] * p[kPower];
    const float lowMidScale = p[kLowMidPower] * p[kPower];
    const float highMidScale = p[kHighMidPower] * p[kPower];

    // High pass in quarters: off, 20, 40 and 80 Hz; it also goes off below half Power.
    const float p3 = p[kHighPass];
    const bool highPassSelected = p3 >= 0.25f;
    const float cutoff = (! highPassSelected || p3 < 0.5f) ? 20.0f : (p3 < 0.75f ? 40.0f : 80.0f);

    // The mix keeps its own 256-sample ramp. Its target is only set when it changes, so that
    // switching off runs one full ramp down to 0 whatever the block size.
    highPassMix.setTarget (highPassSelected && p[kPower] >= 0.5f ? 1.0f : 0.0f);
    setRamp (highPass.cutoff, n, cutoff);

    setRamp (shelving.lowBoost, n, p[kLowShelfBoost] * 12.0f * lowShelfScale);
    setRamp (shelving.lowAttenuate, n, p[kLowShelfAttenuate] * 12.0f * lowShelfScale);
    setRamp (shelving.lowFrequency, n, p[kLowShelfFrequency] * 230.0f + 20.0f);
    setRamp (shelving.highBoost, n, p[kHighShelfBoost] * 12.0f * highShelfScale);
    setRamp (shelving.highAttenuate, n, p[kHighShelfAttenuate] * 12.0f * highShelfScale);
    setRamp (shelving.highFrequency, n, p[kHighShelfFrequency] * 9000.0f + 3500.0f);

    setRamp (lowMidBand.frequency, n, p[kLowMidFreq] * 3380.0f + 120.0f);
    setRamp (lowMidBand.gain, n, (p[kLowMidGain] * 48.0f - 24.0f) * lowMidScale);
    setRamp (lowMidBand.q, n, p[kLowMidQ] * 4.3f + 0.7f);
    const float lowAmount = p[kLowDynAttenuation] * lowMidScale;
    lowMidBand.setRatio (4.0f * lowAmount + 1.0f);
    lowMidBand.setThreshold (-60.0f * lowAmount);

    // The high-mid compressor never switches fully off: at zero it works at ratio 3, 0 dB.
    setRamp (highMidBand.frequency, n, p[kHighMidFreq] * 7200.0f + 800.0f);
    setRamp (highMidBand.gain, n, (p[kHighMidGain] * 48.0f - 24.0f) * highMidScale);
    setRamp (highMidBand.q, n, p[kHighMidQ] * 4.3f + 0.7f);
    const float highAmount = p[kHighDynAttenuation] * highMidScale;
    highMidBand.setRatio ((1.0f + highAmount) * 3.0f);
    highMidBand.setThreshold (-70.0f * highAmount);
}

float QuilloAudioProcessor::normalisedValue (int index) const noexcept
{
    const float value = parameters[(size_t) index]->get();

    // A host may hand over anything; a value that is not a number means "the default".
    return std::isfinite (value) ? value : VL_PARAMS[index].normalisedDefault();
}

//==============================================================================
float QuilloAudioProcessor::getParameter (int parameterIndex)
{
    if (parameterIndex < 0 || parameterIndex >= VL_NUM_PARAMS)
        return 0.0f;

    return parameters[(size_t) parameterIndex]->get();
}

void QuilloAudioProcessor::setParameterNotifyingHost (int parameterIndex, float newValue)
{
    if (parameterIndex >= 0 && parameterIndex < VL_NUM_PARAMS)
        parameters[(size_t) parameterIndex]->setValueNotifyingHost (newValue);
}

//==============================================================================
void QuilloAudioProcessor::getStateInformation (juce::MemoryBlock& destData, bool skipPresetInfo)
{
    juce::MemoryOutputStream out (destData, true);

    for (int i = 0; i < VL_NUM_PARAMS; ++i)
        out.writeFloat (getParameter (i));

    if (! skipPresetInfo)
    {
        out.writeInt (presetCategory.load());
        out.writeInt (presetIndex.load());
        out.writeInt (presetModified.load() ? 1 : 0);
    }
}

void QuilloAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    getStateInformation (destData, false);
}

void QuilloAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    loadState (data, sizeInBytes, true);
}

void QuilloAudioProcessor::loadState (const void* data, int sizeInBytes, bool notifyEditor)
{
    // A truncated or missing blob would zero the parameters it does not reach: keep the
    // current state instead.
    if (data == nullptr || sizeInBytes < stateValuesSize)
        return;

    juce::MemoryInputStream in (data, (size_t) sizeInBytes, false);

    for (int i = 0; i < VL_NUM_PARAMS; ++i)
    {
        const float value = in.readFloat();
        setParameterNotifyingHost (i, std::isfinite (value) ? juce::jlimit (0.0f, 1.0f, value)
                                                            : VL_PARAMS[i].normalisedDefault());
    }

    if (! in.isExhausted())
    {
        int32_t category = in.readInt();
        int32_t index = in.readInt();
        bool modified = in.readInt() != 0;

        // The editor indexes its preset tables with this pair.
        if (! isValidFactoryPreset (category, index))
        {
            category = 0;
            index = 0;
            modified = true;
        }

        presetCategory = category;
        presetIndex = index;
        presetModified = modified;
    }

    {
        // Apply the new values from the next sample on, never in the middle of a block.
        const juce::ScopedLock lock (getCallbackLock());

        syncParameters (1);

        shelving.snapRamps();
        lowMidBand.snapRamps();
        highMidBand.snapRamps();
        highPass.cutoff.snap();
        inputGainDb.snap();
        outputGainDb.snap();
        power.snap();
    }

    if (notifyEditor)
        triggerAsyncUpdate();
}

void QuilloAudioProcessor::handleAsyncUpdate()
{
    // The editor's preset banner is refreshed here, on the message thread, where the editor is
    // also created and destroyed: a load can never reach an editor half-way through either.
    if (auto* editor = dynamic_cast<QuilloAudioProcessorEditor*> (getActiveEditor()))
        editor->stateWasChanged();
}

//==============================================================================
juce::AudioProcessorEditor* QuilloAudioProcessor::createEditor()
{
    return new QuilloAudioProcessorEditor (*this);
}

bool QuilloAudioProcessor::hasEditor() const
{
    return true;
}

//==============================================================================
Corvanite::v4f QuilloAudioProcessor::getPeak (int& numChannels) noexcept
{
    if (! meterFresh.exchange (false, std::memory_order_acq_rel))
        return Corvanite::v4f (silenceDb);

    numChannels = getTotalNumOutputChannels();

    inputMeter.takePeak();
    outputMeter.takePeak();

    const auto in = inputMeter.getHeldPeak();
    const auto out = outputMeter.getHeldPeak();

    return Corvanite::s4f_gainToDecibels (Corvanite::v4f (in[0], in[1], out[0], out[1]));
}

float QuilloAudioProcessor::takeReduction (std::atomic<float>& reduction) noexcept
{
    const float value = reduction.load (std::memory_order_relaxed);
    const auto raised = (float) std::min (1.0, (double) value + 0.01);

    // If the audio thread has meanwhile reduced further, its value wins.
    float expected = value;
    reduction.compare_exchange_strong (expected, raised, std::memory_order_relaxed);

    return value;
}

float QuilloAudioProcessor::getLowMidReduction() noexcept
{
    return takeReduction (lowMidBand.reduction);
}

float QuilloAudioProcessor::getHighMidReduction() noexcept
{
    return takeReduction (highMidBand.reduction);
}

void QuilloAudioProcessor::resetAllMeters() noexcept
{
    lowMidBand.reduction.store (1.0f, std::memory_order_relaxed);
    highMidBand.reduction.store (1.0f, std::memory_order_relaxed);
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new QuilloAudioProcessor();
}
