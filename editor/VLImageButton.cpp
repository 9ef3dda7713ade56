#include "VLImageButton.h"
#include "VLGraphics.h"

VLImageButton::VLImageButton() = default;
VLImageButton::~VLImageButton() = default;

void VLImageButton::mouseDown (const juce::MouseEvent&)
{
    pressed = true;
    repaint();
}

void VLImageButton::mouseUp (const juce::MouseEvent& e)
{
    pressed = false;
    repaint();

    // Reported last: the delegate may do anything, even delete this button.
    if (getLocalBounds().contains (e.getPosition()) && delegate != nullptr)
        delegate->buttonClicked (this);
}

float VLImageButton::getDrawnOpacity() const noexcept
{
    return (pressed || dimmed) ? dimmedAlpha : 1.0f;
}

void VLImageButton::paint (juce::Graphics& g)
{
    VLGraphics::DrawImageCenteredAt (g, image, (float) getWidth() * 0.5f, (float) getHeight() * 0.5f, getDrawnOpacity(),
                                     1.0f, 0.0f);
}

void VLImageButton::resized() {}
