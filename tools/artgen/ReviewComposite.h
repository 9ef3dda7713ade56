#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** Pictures of the whole editor for reviewing the art: the panel with every image at its place
    and the knob pointers drawn over it exactly as the widgets draw them. Not part of the
    product's resources. */
namespace ReviewComposite
{
struct EditorState
{
    std::array<float, 23> values {};   ///< normalised parameter values
    float lowMidReduction = 1.0f;      ///< gain of the reduction lamps (1 = none)
    float highMidReduction = 1.0f;
    float meterLeftDb = -100.0f;   ///< levels and held peaks shown by the meter
    float meterRightDb = -100.0f;
    float peakLeftDb = -100.0f;
    float peakRightDb = -100.0f;
    juce::String presetName { "Default" };
};

/** Every parameter at its default, lamps dark, meter silent. */
EditorState defaultState();

/** Renders the editor at 1x or 2x. */
juce::Image render (const EditorState& state, int scale);

/** Writes review composites next to `file`: the defaults at 1x and 2x, and a second state
        with pointers on labelled values, lamps and meter active. */
bool writeReviews (const juce::File& file);
}
