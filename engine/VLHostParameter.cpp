#include "VLHostParameter.h"

#include <cmath>
#include <locale>
#include <sstream>

VLHostParameter::VLHostParameter (const juce::String& parameterID, const juce::String& parameterName,
                                  float normalisedDefault)
    : RangedAudioParameter (juce::ParameterID { parameterID, 1 }, parameterName),
      defaultValue (sanitise (normalisedDefault, 0.0f)), value (defaultValue)
{
}

float VLHostParameter::sanitise (float candidate, float fallback) noexcept
{
    if (! std::isfinite (candidate))
        return fallback;

    // -0 becomes +0, so that equal values save as equal bits.
    return candidate <= 0.0f ? 0.0f : (candidate > 1.0f ? 1.0f : candidate);
}

float VLHostParameter::getValue() const
{
    return get();
}

void VLHostParameter::setValue (float newValue)
{
    value.store (sanitise (newValue, get()), std::memory_order_relaxed);
}

float VLHostParameter::getDefaultValue() const
{
    return defaultValue;
}

juce::String VLHostParameter::getText (float normalisedValue, int maximumStringLength) const
{
    // The text of what the parameter would hold, so that it always reads back within range.
    const juce::String text (sanitise (normalisedValue, get()), 2);
    return maximumStringLength > 0 ? text.substring (0, maximumStringLength) : text;
}

float VLHostParameter::getValueForText (const juce::String& text) const
{
    // Read with the standard library in the classic locale rather than juce::String's own
    // reader, which overflows a signed int (undefined behaviour) on a long exponent such as
    // "7E7777777777". A text that does not start with a number, or whose number does not fit a
    // double, reads as the current value; a number is limited to 0..1 before it is narrowed.
    std::istringstream in (text.toStdString());
    in.imbue (std::locale::classic());
    double parsed = 0.0;
    in >> parsed;

    if (in.fail() || ! std::isfinite (parsed))
        return get();

    return parsed <= 0.0 ? 0.0f : (parsed >= 1.0 ? 1.0f : (float) parsed);
}
