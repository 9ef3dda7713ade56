#include "VLKnob.h"
#include "KnobGeometry.h"
#include "VLUICallback.h"

#include <cmath>

VLKnob::VLKnob() = default;
VLKnob::~VLKnob() = default;

float VLKnob::usableSkew() const noexcept
{
    // A zero, negative or NaN skew would turn every position into NaN or infinity.
    return skew > 0.0f && std::isfinite (skew) ? skew : 1.0f;
}

float VLKnob::storedValueFor (float v) const
{
    return KnobGeometry::positionForValue (clampToUnit (v), usableSkew());
}

float VLKnob::getParameterValue() const
{
    return KnobGeometry::valueForPosition (value, usableSkew());
}

float VLKnob::getPointerAngle() const
{
    return KnobGeometry::pointerAngle (value);
}

void VLKnob::setValue (float v)
{
    setValue (v, true);
}

void VLKnob::setValue (float v, bool repaintNow)
{
    value = storedValueFor (v);

    if (repaintNow)
        repaint();
}

void VLKnob::updateGeometry()
{
    centre = { KnobGeometry::knobCentreX (getWidth()), KnobGeometry::knobCentreY (getHeight()) };
    radius = KnobGeometry::knobRadius (getWidth());
}

void VLKnob::resized()
{
    // Hit-testing needs the geometry before the first paint.
    updateGeometry();
}

bool VLKnob::hitTest (int x, int y)
{
    return KnobGeometry::withinReach (centre.x, centre.y, radius, x, y);
}

void VLKnob::paint (juce::Graphics& g)
{
    updateGeometry();

    const auto line = KnobGeometry::pointerLine (centre.x, centre.y, radius, KnobGeometry::pointerAngle (value));
    g.setColour (pointerColour);
    g.drawLine (line.x1, line.y1, line.x2, line.y2, KnobGeometry::knobPointerThickness);
}

void VLKnob::setPosition (float newPosition)
{
    value = clampToUnit (newPosition);

    if (callback != nullptr)
        callback->valueChanged (this, paramId, getParameterValue());

    repaint();
}

void VLKnob::mouseEnter (const juce::MouseEvent&)
{
    if (callback != nullptr)
        callback->paramHooverStart (this, paramId);

    repaint();
}

void VLKnob::mouseExit (const juce::MouseEvent&)
{
    if (callback != nullptr)
        callback->paramHooverEnd (this, paramId);

    repaint();
}

void VLKnob::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    lastMousePosition = e.getMouseDownPosition();

    if (! isGestureOpen() && openGesture())
        callback->paramStartChange (this, paramId, centre);
}

void VLKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    const auto pos = e.getPosition();
    const float dy = KnobGeometry::dragTravel (pos.y - lastMousePosition.y, e.mods.isAltDown());
    lastMousePosition = pos;
    setPosition (value + dy / -70.0f);
}

void VLKnob::mouseUp (const juce::MouseEvent&)
{
    // A gesture opened before the knob was disabled still has to be closed.
    if (! isGestureOpen())
        return;

    if (callback != nullptr)
        callback->paramEndChange (this, paramId);

    closeGesture();
}

void VLKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    if (! isEnabled() || callback == nullptr)
        return;

    const float d = clampToUnit (callback->defaultValueForParamId (paramId));
    value = storedValueFor (d);
    callback->valueChanged (this, paramId, d);
    repaint();
}

void VLKnob::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (! isEnabled())
        return;

    const double step = e.mods.isAltDown() ? 0.02 : 0.2;
    setPosition ((float) ((double) value + (double) wheel.deltaY * step));
}
