#include "EditorTestSupport.h"
#include "FactoryPresets.h"
#include "PluginProcessor.h"
#include "VLBanner.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <tuple>

using namespace EditorTest;

namespace
{
    struct Host : VLBanner::Delegate
    {
        QuilloAudioProcessor* processor = nullptr;
        int asked = 0;
        QuilloAudioProcessor* getProcessor() override { ++asked; return processor; }
    };

    /** The preset's 23 values as stored in the catalogue. */
    std::vector<float> presetValues (int category, int index)
    {
        int size = 0;
        const char* data = BinaryData::getNamedResource (factoryPresetResourceName (category, index).c_str(), size);
        std::vector<float> values;
        if (data == nullptr || size != 92)
            return values;
        juce::MemoryInputStream in (data, (size_t) size, false);
        for (int i = 0; i < 23; ++i)
            values.push_back (in.readFloat());
        return values;
    }

    struct BannerFixture : ::testing::Test
    {
        ScopedFonts fonts;
        QuilloAudioProcessor processor;
        Host host;
        juce::Component editor;
        VLBanner banner { &host };

        void SetUp() override
        {
            host.processor = &processor;
            editor.setBounds (0, 0, 800, 250);
            editor.addAndMakeVisible (banner);
            banner.setBounds (0, 0, 800, 20);
            syncWithProcessor();
        }

        /** What the editor does after every state load. */
        void syncWithProcessor()
        {
            banner.showPreset (processor.presetCategory, processor.presetIndex, processor.presetModified);
        }

        void clickArrow (VLImageButton& arrow)   { clickAt (arrow, 12, 10); }

        std::tuple<int, int, bool> presetState()
        {
            return { processor.presetCategory.load(), processor.presetIndex.load(), processor.presetModified.load() };
        }

        void expectLoaded (int category, int index)
        {
            EXPECT_EQ (presetState(), std::make_tuple (category, index, false));
            const auto expected = presetValues (category, index);
            ASSERT_EQ (expected.size(), 23u);
            for (int i = 0; i < 23; ++i)
                EXPECT_FLOAT_EQ (processor.getParameter (i), expected[(size_t) i]) << "parameter " << i;
        }

        /** Puts the processor into a recognisable state that no load has touched. */
        void markProcessor (int category, int index)
        {
            processor.presetCategory = category;
            processor.presetIndex = index;
            processor.presetModified = true;
            processor.setParameterNotifyingHost (kInputGain, 0.123f);
        }

        void expectUntouched (int category, int index)
        {
            EXPECT_EQ (presetState(), std::make_tuple (category, index, true));
            EXPECT_FLOAT_EQ (processor.getParameter (kInputGain), 0.123f);
        }
    };
}

TEST_F (BannerFixture, layoutFollowsTheWidth)
{
    EXPECT_TRUE (banner.isOpaque());
    EXPECT_EQ (banner.previousButton.getBounds(), juce::Rectangle<int> (652, 0, 24, 20));
    EXPECT_EQ (banner.nextButton.getBounds(), juce::Rectangle<int> (676, 0, 24, 20));
    EXPECT_EQ (banner.popup.nameField.getBounds(), juce::Rectangle<int> (100, 0, 552, 20));
    EXPECT_EQ (banner.popup.nameField.getParentComponent(), &banner);
    EXPECT_EQ (banner.popup.getBounds(), editor.getLocalBounds());

    editor.setSize (1000, 300);
    banner.setBounds (0, 0, 1000, 20);
    EXPECT_EQ (banner.previousButton.getX(), 852);
    EXPECT_EQ (banner.popup.nameField.getWidth(), 752);
    EXPECT_EQ (banner.popup.getBounds(), editor.getLocalBounds());
}

TEST_F (BannerFixture, previousCrossesBackIntoTheLastPresetOfTheCategoryBeforeAndClearsTheMark)
{
    banner.showPreset (1, 0, true);
    processor.presetModified = true;
    EXPECT_EQ (banner.popup.nameField.text, "* Good Start");
    clickArrow (banner.previousButton);

    expectLoaded (0, 5);
    EXPECT_EQ (banner.popup.nameField.text, "Small Speaker");
    EXPECT_FALSE (banner.previousButton.dimmed);
    EXPECT_FALSE (banner.nextButton.dimmed);
}

// The dimming at the ends is checked by the walk below.
TEST_F (BannerFixture, arrowsStopAtTheEndsOfTheCatalogue)
{
    banner.showPreset (5, 4, false);
    markProcessor (5, 4);
    clickArrow (banner.nextButton);
    expectUntouched (5, 4);

    banner.showPreset (0, 0, false);
    markProcessor (0, 0);
    clickArrow (banner.previousButton);
    expectUntouched (0, 0);
}

TEST_F (BannerFixture, walkingForwardVisitsAll32PresetsInOrderAndBackDimmingTheArrowsAtTheEnds)
{
    EXPECT_TRUE (banner.previousButton.dimmed);
    EXPECT_FALSE (banner.nextButton.dimmed);

    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
        for (int i = c == 0 ? 1 : 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
        {
            clickArrow (banner.nextButton);
            syncWithProcessor();
            ASSERT_EQ (presetState(), std::make_tuple (c, i, false));
            EXPECT_EQ (banner.popup.nameField.text, juce::String (FACTORY_PRESET_TITLES[c][i]));
        }

    EXPECT_TRUE (banner.nextButton.dimmed);
    EXPECT_FALSE (banner.previousButton.dimmed);

    for (int n = 0; n < 31; ++n)
    {
        clickArrow (banner.previousButton);
        syncWithProcessor();
    }
    expectLoaded (0, 0);
    EXPECT_TRUE (banner.previousButton.dimmed);
    EXPECT_FALSE (banner.nextButton.dimmed);
}

TEST_F (BannerFixture, invalidPairsLoadNothing)
{
    markProcessor (3, 3);

    for (auto p : { std::make_pair (6, 0), std::make_pair (1, 5), std::make_pair (-1, 0),
                    std::make_pair (0, -1), std::make_pair (4, 5) })
        banner.factoryPresetChange (p.first, p.second);

    expectUntouched (3, 3);
    EXPECT_EQ (host.asked, 0) << "refused before the processor is asked for";
}

TEST_F (BannerFixture, destroyingTheBannerTakesAShownPopupAlong)
{
    auto other = std::make_unique<VLBanner> (&host);
    editor.addAndMakeVisible (*other);
    other->setBounds (0, 0, 800, 20);
    other->showFactoryPresetList();
    ASSERT_EQ (other->popup.getParentComponent(), &editor);
    const int children = editor.getNumChildComponents();

    other.reset();
    EXPECT_EQ (editor.getNumChildComponents(), children - 2);
}

TEST_F (BannerFixture, paintsItsStripAndDividers)
{
    auto image = render (banner);
    const auto grey = juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f);
    EXPECT_EQ (image.getPixelAt (80, 1), grey);
    EXPECT_EQ (image.getPixelAt (780, 18), grey);

    // Needs the committed artwork: a divider is a 1-pixel line from y = 4 to 15.
    for (int x : { 100, 652, 676, 700 })
        EXPECT_NE (image.getPixelAt (x, 10), grey) << "divider at " << x;
    EXPECT_EQ (image.getPixelAt (101, 10), grey);
}
