#include "VLPresetButton.h"
#include "FontManager.h"
#include "VLGraphics.h"

VLPresetButton::VLPresetButton() : arrow (VLGraphics::GetImage ("arrow_down")) {}

VLPresetButton::~VLPresetButton() = default;

void VLPresetButton::mouseEnter (const juce::MouseEvent&) {}
void VLPresetButton::mouseExit (const juce::MouseEvent&) {}

void VLPresetButton::mouseDown (const juce::MouseEvent&)
{
    pressed = true;
    repaint();
}

void VLPresetButton::mouseUp (const juce::MouseEvent& e)
{
    if (! pressed)
        return;

    pressed = false;
    repaint();

    if (getLocalBounds().contains (e.getPosition()) && listener != nullptr)
        listener->buttonClicked (nullptr);
}

int VLPresetButton::getArrowX() const
{
    const float textWidth = FontManager::uiFont (12.0f).getStringWidthFloat (text);
    return (int) ((double) getWidth() * 0.5 + (double) textWidth * 0.5 + 6.0);
}

void VLPresetButton::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::white.withAlpha (pressed ? 0.5f : 0.9f));

    const auto font = FontManager::uiFont (12.0f);
    g.setFont (font);
    g.drawText (text, juce::Rectangle<int> (0, 0, getWidth(), 19), juce::Justification::centred, true);

    VLGraphics::DrawImageAt (g, arrow, getArrowX(), 9, 1.0f);
}
