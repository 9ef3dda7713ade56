#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>

struct VLParameterInfo;

/** Display text of a value in a parameter's real unit, by its VLParameterInfo record:

    - discrete kinds (1 and 2): the value name at the rounded value when the record names it,
      otherwise the rounded value ("3"), no unit;
    - unit "ms": the rounded value followed by " ms";
    - unit "%": the value as a rounded percentage, "50%" for 0.5;
    - any other unit: two decimals below 10 (absolute), one below 100, else a whole number, then a
      space and the unit ("-0.00 dB", "12.0 dB", "500 Hz").

    Rounding goes half away from zero; the thresholds apply to the unrounded value. A record's
    value-name list is read up to its first null entry. A null record gives an empty text.
    Any thread.
*/
std::string VLParameterGetValueStr (const VLParameterInfo* info, float value);

/** The small dark bubble that shows a parameter's value above a knob while it is dragged.

    It draws one line of text, centred, shortened with an ellipsis when it does not fit. It never
    takes mouse clicks, so the control under it stays usable. It starts invisible (alpha 0); the
    owner writes text and repaints, sets or clears shown, and fades alpha toward 1 while shown is
    set and toward 0 otherwise, applying it with setAlpha().

    Message thread only.
*/
class VLChangeView : public juce::Component
{
public:
    VLChangeView();
    ~VLChangeView() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    bool shown = false;
    juce::String text;
    float alpha = 0.0f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLChangeView)
};
