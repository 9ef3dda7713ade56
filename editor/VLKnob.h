#pragma once

#include "EComponent.h"

/** The editor's rotary control for a continuous parameter.

    The knob's body and scale belong to the background artwork; the widget draws only the pointer
    line over it. Dragging up raises the value (about 156 pixels for the whole travel, ten times
    that with Alt held), the wheel moves it in steps of 0.2 (0.02 with Alt), and a double-click
    returns it to the parameter's default.

    The stored value is the pointer position p (0..1), not the parameter value v: p = v^(1/skew),
    and the knob always reports v = p^skew. A skew above 1 gives the low part of the range more
    of the travel (2.0 puts the value 0.25 at mid-travel).

    Reports to the owner: hover start/end; on press ui_beginGesture then paramStartChange; on every
    drag step valueChanged; on release paramEndChange then ui_endGesture; on wheel and double-click
    valueChanged outside any gesture. A disabled knob still reports hover but ignores everything
    else; a gesture opened before it was disabled is still closed by the release.

    Message thread only.
*/
class VLKnob : public EComponent
{
public:
    VLKnob();
    ~VLKnob() override;

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

    /** Stores the pointer position for the normalised parameter value v (limited to 0..1). */
    void setValue (float v) override;
    void setValue (float v, bool repaintNow) override;

    /** Colour of the pointer line; the owner may replace it after construction. */
    juce::Colour pointerColour { juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, 0.65f) };

    /** Skew exponent (> 0); set by the owner before the first setValue(). */
    float skew = 1.0f;

    /** Centre and radius of the current bounds, in the knob's own coordinates. */
    juce::Point<float> getCentre() const noexcept { return centre; }
    float getRadius() const noexcept { return radius; }

    /** The normalised parameter value the pointer stands for. */
    float getParameterValue() const;

    /** The pointer's angle in radians (screen coordinates, clockwise from pointing right). */
    float getPointerAngle() const;

protected:
    float storedValueFor (float v) const override;

private:
    float usableSkew() const noexcept;
    void updateGeometry();
    void setPosition (float newPosition);

    juce::Point<int> lastMousePosition;
    juce::Point<float> centre;
    float radius = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLKnob)
};
