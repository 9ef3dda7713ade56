#include "VLPresetListButton.h"
#include "FontManager.h"

VLPresetListButton::VLPresetListButton (const juce::String& t, int i, VLPresetListButtonDelegate* d)
    : text (t), index (i), delegate (d)
{
}

VLPresetListButton::~VLPresetListButton() = default;

void VLPresetListButton::mouseEnter (const juce::MouseEvent&)
{
    hover = true;

    if (delegate != nullptr)
        delegate->itemMouseOver (index);

    repaint();
}

void VLPresetListButton::mouseExit (const juce::MouseEvent&)
{
    hover = false;

    if (delegate != nullptr)
        delegate->itemMouseOut (index);

    repaint();
}

void VLPresetListButton::mouseDown (const juce::MouseEvent&)
{
    pressed = true;
    repaint();
}

void VLPresetListButton::mouseUp (const juce::MouseEvent& e)
{
    pressed = false;
    repaint();

    const auto pos = e.getPosition();

    if (pos.x >= 0 && pos.y >= 0 && pos.x < getWidth() && pos.y < getHeight() && delegate != nullptr)
    {
        // The report may delete this row (the owner refills the column): nothing of the row may be
        // touched after it, so copy what it needs first and make it the last statement.
        auto* column = delegate;
        const int clickedIndex = index;
        column->buttonClicked (clickedIndex);
    }
}

juce::uint8 VLPresetListButton::getTextAlpha() const noexcept
{
    if (pressed)
        return 242;
    if (selected)
        return (juce::uint8) (0.99f * 255.0f);
    if (hover)
        return (juce::uint8) (0.7f * 255.0f);
    if (bright)
        return (juce::uint8) (0.7f * 255.0f);
    return (juce::uint8) (0.6f * 255.0f);
}

void VLPresetListButton::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour ((juce::uint8) 255, (juce::uint8) 255, (juce::uint8) 255, getTextAlpha()));
    g.setFont (FontManager::uiFont (12.0f));
    g.drawText (text, getLocalBounds(), juce::Justification::centred, true);
}
