#include "HPFilterKnob.h"
#include "KnobGeometry.h"
#include "VLUICallback.h"

HPFilterKnob::HPFilterKnob() = default;
HPFilterKnob::~HPFilterKnob() = default;

void HPFilterKnob::updateGeometry()
{
    centre = { KnobGeometry::knobCentreX (getWidth()), KnobGeometry::knobCentreY (getHeight()) };
    radius = KnobGeometry::knobRadius (getWidth());
}

void HPFilterKnob::resized()
{
    updateGeometry();
}

bool HPFilterKnob::hitTest (int x, int y)
{
    return KnobGeometry::withinReach (centre.x, centre.y, radius, x, y);
}

float HPFilterKnob::getPointerAngle() const
{
    return KnobGeometry::highPassPointerAngle (value);
}

void HPFilterKnob::paint (juce::Graphics& g)
{
    updateGeometry();

    const auto line = KnobGeometry::pointerLine (centre.x, centre.y, radius, getPointerAngle());
    g.setColour (pointerColour);
    g.drawLine (line.x1, line.y1, line.x2, line.y2, KnobGeometry::highPassPointerThickness);
}

void HPFilterKnob::sendValue (float newValue)
{
    value = clampToUnit (newValue);

    if (callback != nullptr)
        callback->valueChanged (this, paramId, value);

    repaint();
}

void HPFilterKnob::mouseEnter (const juce::MouseEvent&)
{
    if (callback != nullptr)
        callback->paramHooverStart (this, paramId);

    repaint();
}

void HPFilterKnob::mouseExit (const juce::MouseEvent&)
{
    if (callback != nullptr)
        callback->paramHooverEnd (this, paramId);

    repaint();
}

void HPFilterKnob::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    lastMousePosition = e.getMouseDownPosition();
    openGesture();
}

void HPFilterKnob::mouseDrag (const juce::MouseEvent& e)
{
    const float height = (float) getHeight();

    if (! isEnabled() || height <= 0.0f)
        return;

    const auto pos = e.getPosition();
    const float dy = KnobGeometry::dragTravel (pos.y - lastMousePosition.y, e.mods.isAltDown());
    lastMousePosition = pos;
    sendValue (value - dy / height);
}

void HPFilterKnob::mouseUp (const juce::MouseEvent&)
{
    // Closed even when the selector was disabled in the middle of the gesture.
    closeGesture();
}

void HPFilterKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    if (! isEnabled() || callback == nullptr)
        return;

    sendValue (callback->defaultValueForParamId (paramId));
}

void HPFilterKnob::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (! isEnabled())
        return;

    const double step = e.mods.isAltDown() ? 0.02 : 0.2;
    sendValue ((float) ((double) value + (double) wheel.deltaY * step));
}
