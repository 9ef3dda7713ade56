#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The gain-reduction lamp of a dynamic mid band.

    It draws the unlit lamp, cross-fades the lit lamp over it as the band's gain falls from 1 to 0.5
    (about 6 dB of reduction), and below 0.5 glows red, fully red at gain 0.

    The owner writes latestReduction and displayedReduction (linear gains, 1 = no reduction) and
    repaints; the lamp only draws displayedReduction. Message thread only.
*/
class VLReductionIndicator : public juce::Component
{
public:
    VLReductionIndicator();
    ~VLReductionIndicator() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Opacity of the lit image for a reduction value: 0 at gain 1, 1 at gain 0.5 and below. */
    static float activeOpacityFor (float reduction) noexcept;

    /** Alpha of the red disc for a reduction value: 0 down to gain 0.5, 1 at gain 0. */
    static float redAlphaFor (float reduction) noexcept;

    float latestReduction = 1.0f;      ///< the value last read from the engine; not drawn
    float displayedReduction = 1.0f;   ///< the value drawn
    juce::Image inactiveImage;
    juce::Image activeImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLReductionIndicator)
};
