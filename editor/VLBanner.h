#pragma once

#include "VLImageButton.h"
#include "VLPopupFactoryList.h"

#include <vector>

class QuilloAudioProcessor;

/** The 20-pixel strip across the top of the editor: the product logo, the current factory
    preset's name (a click opens the preset pop-up) and previous/next arrows that step through
    the 32 factory presets in catalogue order, without wrapping.

    This is where a factory preset is loaded: the banner writes the processor's preset fields and
    hands the preset's 92 embedded bytes to the processor's state loader. A pair outside the
    catalogue loads nothing.

    The arrows are dimmed at the ends of the catalogue (previous at the first preset, next at the
    last); the owner brings the banner up to date after every state load with showPreset().

    The pop-up becomes a child of the banner's parent (the editor) while shown, covering it.
    Message thread only.
*/
class VLBanner : public juce::Component,
                 public VLImageButton::Delegate,
                 public VLPopupFactoryList::Delegate
{
public:
    /** Gives the banner the processor to load presets into (the editor). */
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual QuilloAudioProcessor* getProcessor() = 0;
    };

    /** The delegate is not owned and must outlive the banner. */
    explicit VLBanner (Delegate* delegate);
    ~VLBanner() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Loads factory preset (category, index) into the delegate's processor: sets its preset
        pair, clears its modified flag and runs its state loader on the preset's bytes. An invalid
        pair, a missing processor or a missing resource loads nothing. */
    void factoryPresetChange (int category, int index) override;

    /** Adds the pop-up to the banner's parent, in front of everything; needs a parent. */
    void showFactoryPresetList() override;

    /** The previous and next arrows. */
    void buttonClicked (VLImageButton* button) override;

    /** After a state load: shows (category, index) as the current preset (ignored when it is not
        a preset of the catalogue), marks it modified when asked, and sets the arrows' dimming. */
    void showPreset (int category, int index, bool modified);

    /** Dims next at the last preset and previous at the first, from the pop-up's current pair. */
    void updateArrows();

    /** The catalogue's category names and the titles of each category, as the pop-up shows them. */
    static std::vector<juce::String> factoryCategoryNames();
    static std::vector<std::vector<juce::String>> factoryTitles();

    Delegate* const delegate;
    VLPopupFactoryList popup;
    juce::Image divider;
    juce::Image logo;
    VLImageButton previousButton;
    VLImageButton nextButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLBanner)
};
