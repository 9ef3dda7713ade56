#include "EditorTestSupport.h"
#include "FactoryPresets.h"
#include "VLPopupFactoryList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

using namespace EditorTest;

namespace
{
    std::vector<juce::String> categoryNames()
    {
        std::vector<juce::String> names;
        for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
            names.push_back (FACTORY_PRESET_CATEGORIES[c]);
        return names;
    }

    std::vector<std::vector<juce::String>> titleLists()
    {
        std::vector<std::vector<juce::String>> titles (FACTORY_PRESET_NUM_CATEGORIES);
        for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
            for (int i = 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
                titles[(size_t) c].push_back (FACTORY_PRESET_TITLES[c][i]);
        return titles;
    }

    std::vector<juce::String> rowTexts (VLPresetList& list)
    {
        std::vector<juce::String> v;
        for (int i = 0; i < list.getNumRows(); ++i)
            v.push_back (list.getRow (i)->text);
        return v;
    }

    /** The marked row, -1 for none, -2 for more than one. */
    int markedRow (VLPresetList& list)
    {
        int marked = -1;
        for (int i = 0; i < list.getNumRows(); ++i)
            if (list.getRow (i)->selected)
                marked = marked == -1 ? i : -2;
        return marked;
    }

    void clickRow (juce::Component& c)   { clickAt (c, 5, 5); }

    struct Requests : VLPopupFactoryList::Delegate
    {
        std::vector<std::pair<int, int>> loads;
        int shows = 0;
        std::function<void (int, int)> onLoad;

        void factoryPresetChange (int c, int i) override
        {
            loads.push_back ({ c, i });
            if (onLoad)
                onLoad (c, i);
        }
        void showFactoryPresetList() override { ++shows; }
    };

    struct PopupFixture : ::testing::Test
    {
        ScopedFonts fonts;
        Requests requests;
        juce::Component editor, banner;
        VLPopupFactoryList popup;

        void SetUp() override
        {
            popup.init (categoryNames(), titleLists(), 0, 0, &requests, 90.0f, 150.0f);

            // As the banner lays it out in an 800 x 250 editor.
            editor.setBounds (0, 0, 800, 250);
            banner.setBounds (0, 0, 800, 20);
            editor.addAndMakeVisible (banner);
            banner.addAndMakeVisible (popup.nameField);
            popup.nameField.setBounds (100, 0, 552, 20);
            popup.setBounds (editor.getLocalBounds());
            popup.resized();
        }
    };
}

TEST_F (PopupFixture, startsOnDefaultInMasterWithColumnsUnderTheNameField)
{
    EXPECT_EQ (popup.nameField.text, "Default");
    EXPECT_EQ (std::make_pair (popup.getSelectedCategory(), popup.getSelectedIndex()), std::make_pair (0, 0));

    auto& categories = popup.getCategoryList();
    EXPECT_EQ (rowTexts (categories), categoryNames());
    EXPECT_EQ (markedRow (categories), 0);
    EXPECT_TRUE (categories.getRow (5)->bright);

    auto& presets = popup.getPresetList();
    EXPECT_EQ (rowTexts (presets), titleLists()[0]);
    EXPECT_EQ (markedRow (presets), 0);
    EXPECT_FALSE (presets.getRow (1)->bright);

    EXPECT_EQ (popup.getParentComponent(), nullptr) << "hidden until asked for";

    // The columns sit centred under the name field.
    EXPECT_EQ (popup.getCategoryList().getBounds(), juce::Rectangle<int> (256, 20, 90, 120));
    EXPECT_EQ (popup.getPresetList().getBounds(), juce::Rectangle<int> (346, 20, 150, 120));
}

TEST_F (PopupFixture, browsingACategoryLoadsNothing)
{
    clickRow (*popup.getCategoryList().getRow (3));   // "KEYS"

    auto& presets = popup.getPresetList();
    EXPECT_EQ (rowTexts (presets), titleLists()[3]);
    EXPECT_EQ (markedRow (presets), -1) << "the current preset is not in KEYS";
    EXPECT_EQ (presets.getHeight(), 100);
    EXPECT_EQ (popup.getBrowseCategory(), 3);
    EXPECT_EQ (popup.nameField.text, "Default");
    EXPECT_TRUE (requests.loads.empty());
    EXPECT_EQ (markedRow (popup.getCategoryList()), 3);

    clickRow (*popup.getCategoryList().getRow (0));
    EXPECT_EQ (markedRow (popup.getPresetList()), 0) << "back in MASTER, Default is marked again";
    EXPECT_EQ (popup.getPresetList().getHeight(), 120);
}

TEST_F (PopupFixture, clickingAPresetRequestsItsLoadAndClearsTheMarkEvenWhenTheLoadRefillsTheColumn)
{
    popup.invalidateCurrentPreset();
    popup.invalidateCurrentPreset();
    EXPECT_EQ (popup.nameField.text, "* Default") << "the mark is shown once";
    EXPECT_TRUE (popup.isModifiedShown());

    // The editor answers every load by showing the loaded pair, which rebuilds the preset column
    // while the clicked row is still reporting.
    requests.onLoad = [&] (int c, int i) { popup.setSelectedPreset (c, i); };
    clickRow (*popup.getCategoryList().getRow (4));   // "BASS"
    juce::Component::SafePointer<VLPresetListButton> row (popup.getPresetList().getRow (4));
    clickRow (*row);                                  // "Subwoofer"

    EXPECT_EQ (requests.loads, (std::vector<std::pair<int, int>> { { 4, 4 } }));
    EXPECT_EQ (std::make_pair (popup.getSelectedCategory(), popup.getSelectedIndex()), std::make_pair (4, 4));
    EXPECT_EQ (popup.nameField.text, "Subwoofer");
    EXPECT_FALSE (popup.isModifiedShown());
    EXPECT_EQ (row.getComponent(), nullptr);
    EXPECT_EQ (markedRow (popup.getPresetList()), 4);
    EXPECT_EQ (popup.getPresetList().getNumRows(), 5);
}

TEST_F (PopupFixture, nextPresetCrossesCategoriesButNotTheEnd)
{
    popup.setSelectedPreset (0, 5);
    popup.setNextPreset();
    EXPECT_EQ (requests.loads, (std::vector<std::pair<int, int>> { { 1, 0 } }));
    EXPECT_EQ (popup.nameField.text, "Good Start");
    EXPECT_EQ (popup.getSelectedCategory(), 1);

    popup.setNextPreset();
    EXPECT_EQ (requests.loads.back(), std::make_pair (1, 1));

    requests.loads.clear();
    popup.setSelectedPreset (5, 4);
    popup.setNextPreset();
    EXPECT_TRUE (requests.loads.empty()) << "no wrap after the last preset";
    EXPECT_EQ (popup.nameField.text, "Mid Fest");
}

TEST_F (PopupFixture, invalidPairsChangeNothing)
{
    popup.setSelectedPreset (2, 3);
    popup.invalidateCurrentPreset();

    const std::pair<int, int> invalid[] = { { 6, 0 }, { 1, 5 }, { -1, 0 }, { 0, -1 }, { 0, 6 },
                                            { INT32_MIN, INT32_MAX } };
    for (auto& p : invalid)
        popup.setSelectedPreset (p.first, p.second);

    EXPECT_EQ (std::make_pair (popup.getSelectedCategory(), popup.getSelectedIndex()), std::make_pair (2, 3));
    EXPECT_EQ (popup.nameField.text, "* Unleach The Mid");

    popup.modulePresetChange (1, 17);
    popup.modulePresetChange (0, 6);
    popup.modulePresetChange (0, -1);
    EXPECT_TRUE (requests.loads.empty());
    EXPECT_EQ (popup.getBrowseCategory(), 2);
}

TEST_F (PopupFixture, nameFieldOpensThePopupOnlyOnAReleaseInsideAndAPressOutsideHidesIt)
{
    auto& field = popup.nameField;
    field.mouseDown (mouseAt (field, 10, 10));
    EXPECT_TRUE (field.pressed);
    field.mouseUp (mouseAt (field, { 10, 30 }, { 10, 10 }));
    EXPECT_FALSE (field.pressed);
    EXPECT_EQ (requests.shows, 0) << "released outside: only repaints";

    clickAt (field, 10, 10);
    EXPECT_EQ (requests.shows, 1);

    // Shown, a press outside the columns hides it again without resetting it.
    editor.addAndMakeVisible (popup);
    popup.mouseDown (mouseAt (popup, 700, 200));
    EXPECT_EQ (popup.getParentComponent(), nullptr);
    EXPECT_EQ (popup.getSelectedCategory(), 0);
}
