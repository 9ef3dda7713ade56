#pragma once

// Helpers for tests that drive the audio processor: a prepared processor, test signals, block-wise
// processing and level measurement.

#include "FactoryPresets.h"
#include "PluginProcessor.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quillo::test
{

using Channels = std::vector<std::vector<float>>;

constexpr double twoPi = 6.283185307179586;

/** The "Default" preset's float32 bits, parameter by parameter. */
constexpr std::array<uint32_t, 23> defaultBits { 0x3F000000, 0x3F000000, 0x3F800000, 0x3E21AF28, 0x3F800000, 0x00000000,
                                                 0x00000000, 0x3E8590B2, 0x00000000, 0x00000000, 0x3EC71C72, 0x3DE63F9F,
                                                 0x3F000000, 0x3E26B29A, 0x00000000, 0x3D638E39, 0x3F000000, 0x3E26B29A,
                                                 0x00000000, 0x3F800000, 0x3F800000, 0x3F800000, 0x3F800000 };

inline uint32_t bitsOf (float f)
{
    uint32_t bits;
    std::memcpy (&bits, &f, sizeof bits);
    return bits;
}

inline float floatFromBits (uint32_t bits)
{
    float f;
    std::memcpy (&f, &bits, sizeof f);
    return f;
}

//==============================================================================
/** A processor with a mono or stereo layout, prepared for a sample rate. */
inline std::unique_ptr<QuilloAudioProcessor> makeProcessor (double sampleRate = 48000.0, int numChannels = 2,
                                                            int blockSize = 512)
{
    auto p = std::make_unique<QuilloAudioProcessor>();

    if (numChannels == 1)
    {
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add (juce::AudioChannelSet::mono());
        mono.outputBuses.add (juce::AudioChannelSet::mono());
        EXPECT_TRUE (p->setBusesLayout (mono));
    }

    p->setRateAndBufferSizeDetails (sampleRate, blockSize);
    p->prepareToPlay (sampleRate, blockSize);
    return p;
}

/** Sets a parameter's normalised value as the host would, without a gesture. */
inline void setParameter (juce::AudioProcessor& p, int index, float value)
{
    p.getParameters()[index]->setValueNotifyingHost (value);
}

/** Loads a factory preset (0-based category and index) into the processor. */
inline void loadFactoryPreset (juce::AudioProcessor& p, int category, int index)
{
    const auto name = factoryPresetResourceName (category, index);
    int size = 0;
    const char* data = BinaryData::getNamedResource (name.c_str(), size);
    ASSERT_EQ (size, 92) << name;
    p.setStateInformation (data, size);
}

//==============================================================================
inline std::vector<float> sine (double frequency, float amplitude, int numSamples, double sampleRate = 48000.0)
{
    std::vector<float> s ((size_t) numSamples);

    for (int i = 0; i < numSamples; ++i)
        s[(size_t) i] = amplitude * (float) std::sin (twoPi * frequency * i / sampleRate);

    return s;
}

/** Deterministic white noise in [-amplitude, amplitude]. */
inline std::vector<float> noise (float amplitude, int numSamples, uint32_t seed)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> dist (-amplitude, amplitude);
    std::vector<float> s ((size_t) numSamples);

    for (auto& x : s)
        x = dist (random);

    return s;
}

/** Processes one block of numSamples (possibly 0) from the given channels, in place. */
inline void processOneBlock (juce::AudioProcessor& p, Channels& channels, int start, int numSamples,
                             bool bypassed = false)
{
    float* pointers[2] = {};

    for (size_t ch = 0; ch < channels.size(); ++ch)
        pointers[ch] = channels[ch].data() + start;

    juce::AudioBuffer<float> buffer (pointers, (int) channels.size(), numSamples);
    juce::MidiBuffer midi;

    if (bypassed)
        p.processBlockBypassed (buffer, midi);
    else
        p.processBlock (buffer, midi);
}

/** Runs the channels through processBlock in place, in blocks of blockSize samples (the last
    block may be shorter). */
inline void process (juce::AudioProcessor& p, Channels& channels, int blockSize, bool bypassed = false)
{
    const int total = (int) channels[0].size();

    for (int start = 0; start < total; start += blockSize)
        processOneBlock (p, channels, start, std::min (blockSize, total - start), bypassed);
}

/** The gain of the whole processor for a steady sine, in dB: the RMS of about half a second
    (whole periods) after one second of settling. */
inline double sineGainDb (juce::AudioProcessor& p, double frequency, float amplitude, double sampleRate = 48000.0,
                          int channel = 0)
{
    const int settle = (int) sampleRate;
    const int length = (int) std::lround (std::ceil (frequency * 0.5) * sampleRate / frequency);

    Channels c (2, sine (frequency, amplitude, settle + length, sampleRate));
    c.resize ((size_t) p.getTotalNumInputChannels());
    process (p, c, 512);

    double sum = 0.0;

    for (int i = settle; i < settle + length; ++i)
        sum += (double) c[(size_t) channel][(size_t) i] * c[(size_t) channel][(size_t) i];

    return 20.0 * std::log10 (std::sqrt (sum / length) / (amplitude / std::sqrt (2.0)));
}

//==============================================================================
inline std::vector<char> blobOf (const std::vector<float>& values, std::vector<int32_t> trailer = {})
{
    std::vector<char> blob;

    const auto append = [&blob] (uint32_t word)
    {
        for (int b = 0; b < 4; ++b)
            blob.push_back ((char) ((word >> (8 * b)) & 0xff));
    };

    for (float v : values)
        append (bitsOf (v));

    for (int32_t t : trailer)
        append ((uint32_t) t);

    return blob;
}

inline std::vector<float> parameterValues (juce::AudioProcessor& p)
{
    std::vector<float> values;

    for (auto* parameter : p.getParameters())
        values.push_back (parameter->getValue());

    return values;
}

inline std::vector<float> defaultValues()
{
    std::vector<float> values;

    for (uint32_t bits : defaultBits)
        values.push_back (floatFromBits (bits));

    return values;
}

}   // namespace quillo::test
