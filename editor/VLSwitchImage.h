#pragma once

#include "EComponent.h"

/** A two-state switch drawn as one of two images: the "Power" switch, the band power switches and
    the "Meter IO" switch.

    The image for the stored value (onImage above 0.5, offImage otherwise) sits at the switch's
    top-left corner at its 1x size; the whole rectangle takes clicks. A click toggles the value
    between 0 and 1 when the button is released inside the switch.

    Reports: hover start/end; ui_beginGesture on press; on release valueChanged with 0 or 1 (only
    when released inside), then ui_endGesture. While pressed the switch is drawn at alpha 0.5
    unless dimWhenPressed is cleared. Disabled, it reports only hover.

    Message thread only.
*/
class VLSwitchImage : public EComponent
{
public:
    VLSwitchImage();
    ~VLSwitchImage() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    void setValue (float v) override;
    void setValue (float v, bool repaintNow) override;

    bool dimWhenPressed = true;
    juce::Image onImage;
    juce::Image offImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLSwitchImage)
};
