#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The editor's stereo level meter: two thin bars with peak-hold ticks over a dB scale printed in
    the background artwork, green up to 0 dB and red above.

    The owner feeds it one pair of peak levels in dB per call of setValuesInDb(), once per tick of
    its 60 Hz timer; all time constants are counted in calls: the bars rise at once and fall
    0.3 dB per call, a new peak is held for 30 calls and then falls 2 dB per call. Input above
    +6 dB counts as +6 dB; nothing goes below the -100 dB floor.

    The scale puts the marks -60, -46, -32, -18, -12, -9, -6, -3, 0, 3, 6, 9 dB nine pixels apart
    from the bottom edge up (0 dB at 72 pixels).

    Message thread only.
*/
class Meters : public juce::Component
{
public:
    Meters();
    ~Meters() override;

    /** One metering step with new peak levels in dB; repaints. A NaN counts as silence. */
    void setValuesInDb (float left, float right);

    /** Back to the initial state: no hold, every level and peak at -100 dB. */
    void reset();

    /** Height in pixels above the meter's bottom edge of a level in dB. Below -60 dB the first
        segment continues downward (-100 dB lies below the edge). */
    static float positionForDb (float db) noexcept;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Centre line of the left bar, in pixels from the meter's left edge. */
    static constexpr float leftBarCentre = 2.0f;

    /** Centre line of the right bar, in pixels from the meter's left edge, for a meter `width`
        pixels wide. The background art centres its bar channels on these lines. */
    static constexpr float rightBarCentre (float width) noexcept { return width - 3.0f; }

    /** Width of each bar, in pixels. */
    static constexpr float barWidth = 2.0f;

    /** The scale marks in dB, bottom to top. */
    static const float dbValues[12];

    int holdLeft = 0;
    int holdRight = 0;
    float levelLeft = -100.0f;
    float levelRight = -100.0f;
    float peakLeft = -100.0f;
    float peakRight = -100.0f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Meters)
};
