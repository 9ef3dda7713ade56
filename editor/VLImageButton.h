#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A clickable image: the preset banner's previous and next arrows.

    The image is drawn centred at its 1x size, at dimmedAlpha while pressed or dimmed. A release
    inside the button reports a click to the delegate, dimmed or not (the owner decides what a
    click on a dimmed button does); a press dragged off the button and released outside does not.

    The owner sets image, delegate and dimmed directly, and repaints after changing dimmed.
    Message thread only.
*/
class VLImageButton : public juce::Component
{
public:
    /** Receives the clicks of a VLImageButton. */
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual void buttonClicked (VLImageButton* button) = 0;
    };

    VLImageButton();
    ~VLImageButton() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    /** The opacity the image is drawn with now: dimmedAlpha while pressed or dimmed, else 1. */
    float getDrawnOpacity() const noexcept;

    juce::Image image;
    Delegate* delegate = nullptr;   ///< not owned
    bool pressed = false;
    bool dimmed = false;
    float dimmedAlpha = 0.5f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLImageButton)
};
