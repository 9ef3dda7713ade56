#include "VLSwitchImage.h"
#include "VLGraphics.h"
#include "VLUICallback.h"

VLSwitchImage::VLSwitchImage() = default;
VLSwitchImage::~VLSwitchImage() = default;

void VLSwitchImage::setValue (float v)
{
    setValue (v, true);
}

void VLSwitchImage::setValue (float v, bool repaintNow)
{
    EComponent::setValue (v, repaintNow);
}

void VLSwitchImage::paint (juce::Graphics& g)
{
    VLGraphics::DrawImageAt (g, getValue() > 0.5f ? onImage : offImage, 0, 0, 1.0f);
}

void VLSwitchImage::resized() {}

void VLSwitchImage::mouseEnter (const juce::MouseEvent&)
{
    if (callback != nullptr)
        callback->paramHooverStart (this, paramId);
}

void VLSwitchImage::mouseExit (const juce::MouseEvent&)
{
    if (callback != nullptr)
        callback->paramHooverEnd (this, paramId);
}

void VLSwitchImage::mouseDown (const juce::MouseEvent&)
{
    if (! isEnabled())
        return;

    if (dimWhenPressed)
        setAlpha (0.5f);

    openGesture();
}

void VLSwitchImage::mouseUp (const juce::MouseEvent& e)
{
    const bool enabled = isEnabled();

    // A switch disabled while pressed still lights up again and closes its gesture, but does not
    // toggle.
    if (! enabled && ! isGestureOpen())
        return;

    setAlpha (1.0f);

    const auto pos = e.getPosition();
    const bool inside = pos.x >= 0 && pos.y >= 0 && pos.x < getWidth() && pos.y < getHeight();

    if (enabled && inside)
    {
        setValue (getValue() > 0.5f ? 0.0f : 1.0f);

        if (callback != nullptr)
            callback->valueChanged (this, paramId, value);
    }

    closeGesture();
}
