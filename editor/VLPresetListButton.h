#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** How a row of a preset list column reports to its column. */
class VLPresetListButtonDelegate
{
public:
    virtual ~VLPresetListButtonDelegate() = default;
    virtual void buttonClicked (int index) = 0;
    virtual void itemMouseOver (int index) = 0;
    virtual void itemMouseOut (int index) = 0;
};

/** One text row of a preset list column: white text without a background, brighter when selected,
    hovered, pressed or marked bright.

    A release inside the row reports the click to the column as the row's very last action: the
    column's owner may refill the column in answer, which deletes this row.

    Message thread only.
*/
class VLPresetListButton : public juce::Component
{
public:
    VLPresetListButton (const juce::String& text, int index, VLPresetListButtonDelegate* delegate);
    ~VLPresetListButton() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    /** Alpha byte of the text for the current flags: 242 pressed, 252 selected, 178 hovered or
        bright, 153 otherwise. */
    juce::uint8 getTextAlpha() const noexcept;

    bool hover = false;
    bool bright = false;
    bool selected = false;
    bool pressed = false;
    juce::String text;
    int index = 0;
    VLPresetListButtonDelegate* delegate = nullptr;   ///< the column; not owned

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLPresetListButton)
};
