#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

/**
    One of the engine's 23 host parameters: a normalised value from 0 to 1, shown to hosts with
    two decimals ("0.16").

    Every way in checks the value: a host's wrapper hands over whatever the host sent, so
    setValue() keeps the current value for anything that is not a finite number and limits the
    rest to 0..1; texts read the same way (a text that does not start with a finite number reads
    as the current value). The value itself is atomic: any thread may read and set it.
*/
class VLHostParameter : public juce::RangedAudioParameter
{
public:
    /** A parameter with the host id `parameterID` (version hint 1), its display name and its
        normalised default. */
    VLHostParameter (const juce::String& parameterID, const juce::String& parameterName, float normalisedDefault);

    /** The current normalised value. */
    float get() const noexcept { return value.load (std::memory_order_relaxed); }

    /** `candidate` limited to 0..1 (-0 as +0), or `fallback` when it is not a finite number. */
    static float sanitise (float candidate, float fallback) noexcept;

    //==============================================================================
    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    juce::String getText (float normalisedValue, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;
    const juce::NormalisableRange<float>& getNormalisableRange() const override { return range; }

private:
    const juce::NormalisableRange<float> range { 0.0f, 1.0f };
    const float defaultValue;
    std::atomic<float> value;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLHostParameter)
};
