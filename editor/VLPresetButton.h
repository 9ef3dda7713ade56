#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The preset name field of the banner: the current preset's title, centred, followed by a small
    down arrow; a click on it opens the preset pop-up.

    A release inside the field after a press on it tells the listener, with a null button. The
    text is drawn at alpha 0.5 while pressed, 0.9 otherwise.

    Message thread only.
*/
class VLPresetButton : public juce::Component
{
public:
    VLPresetButton();
    ~VLPresetButton() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    /** x of the arrow for the current text and width. */
    int getArrowX() const;

    bool pressed = false;
    juce::Image arrow;
    juce::String text;
    juce::Button::Listener* listener = nullptr;   ///< not owned

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLPresetButton)
};
