#pragma once

#include "VLPresetButton.h"
#include "VLPresetList.h"

#include <vector>

/** The factory-preset chooser behind the banner's preset name.

    It owns the name field (shown and laid out by the banner) and a pop-up of two columns: the
    categories on the left and the presets of the browsed category on the right, centred under the
    name field. It keeps which preset is current, shows its title ("* " in front once the state is
    modified), steps to the next preset and turns a click on a preset into a load request to its
    delegate. It loads nothing itself.

    Every (category, index) pair it is given is checked against its titles first: an invalid pair,
    such as one restored from a host's saved state, changes nothing.

    The pop-up spans its parent (the editor) while shown and is transparent outside the columns;
    a press there hides it again. Message thread only.
*/
class VLPopupFactoryList : public juce::Component,
                           public juce::Button::Listener,
                           public PresetListDelegate
{
public:
    /** Receives the chooser's requests (the banner). */
    class Delegate
    {
    public:
        virtual ~Delegate() = default;

        /** Load factory preset (category, index). */
        virtual void factoryPresetChange (int category, int index) = 0;

        /** Show the pop-up. */
        virtual void showFactoryPresetList() = 0;
    };

    VLPopupFactoryList();
    ~VLPopupFactoryList() override;

    /** Fills the chooser: category names, the titles of each category ([category][index]), the
        current preset, the delegate and the widths of the two columns in pixels. */
    void init (std::vector<juce::String> categories, std::vector<std::vector<juce::String>> titles, int index,
               int category, Delegate* delegate, float categoryWidth, float presetWidth);

    /** Shows (category, index) as the current, unmodified preset; loads nothing. An invalid pair
        is ignored. */
    void setSelectedPreset (int category, int index);

    /** Marks the current preset as modified ("* " before its title). */
    void invalidateCurrentPreset();

    /** Steps to the next preset (across categories, not past the last one) and asks the delegate
        to load it. */
    void setNextPreset();

    /** True when (category, index) names one of the chooser's titles. */
    bool isValidPair (int category, int index) const noexcept;

    int getSelectedCategory() const noexcept { return selectedCategory; }
    int getSelectedIndex() const noexcept { return selectedIndex; }
    int getBrowseCategory() const noexcept { return browseCategory; }
    bool isModifiedShown() const noexcept { return modifiedShown; }
    int getNumCategories() const noexcept { return (int) categories.size(); }

    /** Number of presets in a category, 0 for an invalid category. */
    int getNumPresets (int category) const noexcept;

    /** Title of a preset, empty for an invalid pair. */
    juce::String getTitle (int category, int index) const;

    VLPresetList& getCategoryList() noexcept { return categoryList; }
    VLPresetList& getPresetList() noexcept { return presetList; }

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    void modulePresetChange (int listId, int item) override;
    void buttonClicked (juce::Button*) override;

    /** The preset name field; a child of the banner, not of the pop-up. */
    VLPresetButton nameField;

private:
    std::vector<juce::String> titlesOf (int category) const;

    bool modifiedShown = false;
    float categoryWidth = 90.0f;
    float presetWidth = 150.0f;
    Delegate* delegate = nullptr;
    std::vector<std::vector<juce::String>> titles;
    std::vector<juce::String> categories;
    VLPresetList categoryList;
    VLPresetList presetList;
    int browseCategory = 0;
    int selectedIndex = 0;
    int selectedCategory = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLPopupFactoryList)
};
