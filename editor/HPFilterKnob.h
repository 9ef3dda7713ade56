#pragma once

#include "EComponent.h"

/** The editor's selector for the high-pass filter ("High Pass", parameter 3).

    The engine reads the normalised value in quarters (off, 20, 40, 80 Hz); the selector draws its
    pointer at one of four fixed angles over the marks printed in the artwork, while the value it
    sends stays continuous: dragging (a 45-pixel selector takes 100 pixels for the whole range,
    ten times that with Alt), the wheel and a double-click move it, and the pointer jumps when the
    value crosses a quarter boundary. Each boundary belongs to the upper quarter.

    Reports: hover start/end; ui_beginGesture on press and ui_endGesture on release (no
    paramStartChange: the editor shows no value bubble for it); valueChanged on every drag step,
    on the wheel and on a double-click. Disabled, it reports only hover.

    Message thread only.
*/
class HPFilterKnob : public EComponent
{
public:
    HPFilterKnob();
    ~HPFilterKnob() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

    /** True within radius + 10 pixels of the centre (strictly). */
    bool hitTest (int x, int y) override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Colour of the pointer line. */
    juce::Colour pointerColour { juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, 0.95f) };

    juce::Point<float> getCentre() const noexcept { return centre; }
    float getRadius() const noexcept { return radius; }

    /** The pointer's angle in radians for the stored value (one of four). */
    float getPointerAngle() const;

private:
    void updateGeometry();
    void sendValue (float newValue);

    juce::Point<int> lastMousePosition;
    juce::Point<float> centre;
    float radius = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HPFilterKnob)
};
