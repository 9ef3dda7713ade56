#include "EditorTestSupport.h"
#include "FactoryPresets.h"
#include "PluginProcessor.h"
#include "VLBanner.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <cstring>

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
        const auto name = factoryPresetResourceName (category, index);
        const char* data = BinaryData::getNamedResource (name.c_str(), size);
        std::vector<float> values;

        if (data == nullptr || size != 92)
            return values;

        for (int i = 0; i < 23; ++i)
        {
            uint8_t b[4];
            std::memcpy (b, data + 4 * i, 4);
            const uint32_t bits = (uint32_t) b[0] | ((uint32_t) b[1] << 8) | ((uint32_t) b[2] << 16) | ((uint32_t) b[3] << 24);
            float f;
            std::memcpy (&f, &bits, 4);
            values.push_back (f);
        }
        return values;
    }

    std::vector<float> parameterValues (QuilloAudioProcessor& p)
    {
        std::vector<float> values;
        for (int i = 0; i < 23; ++i)
            values.push_back (p.getParameter (i));
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

        void clickArrow (VLImageButton& arrow)
        {
            arrow.mouseDown (mouseAt (arrow, 12, 10));
            arrow.mouseUp (mouseAt (arrow, 12, 10));
        }

        void expectLoaded (int category, int index)
        {
            EXPECT_EQ (processor.presetCategory.load(), category);
            EXPECT_EQ (processor.presetIndex.load(), index);
            EXPECT_FALSE (processor.presetModified.load());

            const auto expected = presetValues (category, index);
            ASSERT_EQ (expected.size(), 23u);
            const auto actual = parameterValues (processor);
            for (size_t i = 0; i < 23; ++i)
                EXPECT_FLOAT_EQ (actual[i], expected[i]) << "parameter " << i;
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
            EXPECT_EQ (processor.presetCategory.load(), category);
            EXPECT_EQ (processor.presetIndex.load(), index);
            EXPECT_TRUE (processor.presetModified.load());
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

TEST_F (BannerFixture, startsOnDefaultWithPreviousDimmed)
{
    EXPECT_EQ (banner.popup.nameField.text, "Default");
    EXPECT_TRUE (banner.previousButton.dimmed);
    EXPECT_FALSE (banner.nextButton.dimmed);
}

TEST_F (BannerFixture, previousCrossesBackIntoTheLastPresetOfTheCategoryBefore)
{
    banner.showPreset (1, 0, false);
    clickArrow (banner.previousButton);

    expectLoaded (0, 5);
    EXPECT_EQ (banner.popup.nameField.text, "Small Speaker");
    EXPECT_FALSE (banner.previousButton.dimmed);
    EXPECT_FALSE (banner.nextButton.dimmed);
}

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

TEST_F (BannerFixture, arrowsDimAtTheEnds)
{
    banner.factoryPresetChange (5, 4);
    expectLoaded (5, 4);
    EXPECT_TRUE (banner.nextButton.dimmed);
    EXPECT_FALSE (banner.previousButton.dimmed);

    banner.factoryPresetChange (0, 0);
    expectLoaded (0, 0);
    EXPECT_FALSE (banner.nextButton.dimmed);
    EXPECT_TRUE (banner.previousButton.dimmed);

    banner.showPreset (3, 2, false);
    EXPECT_FALSE (banner.nextButton.dimmed);
    EXPECT_FALSE (banner.previousButton.dimmed);
}

TEST_F (BannerFixture, walkingForwardVisitsAll32PresetsInOrder)
{
    int loads = 0;

    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
        for (int i = 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
        {
            if (c != 0 || i != 0)
            {
                clickArrow (banner.nextButton);
                syncWithProcessor();
                ++loads;
            }
            ASSERT_EQ (processor.presetCategory.load(), c);
            ASSERT_EQ (processor.presetIndex.load(), i);
            EXPECT_EQ (banner.popup.nameField.text, juce::String (FACTORY_PRESET_TITLES[c][i]));
        }

    EXPECT_EQ (loads, 31);
    EXPECT_TRUE (banner.nextButton.dimmed);

    for (int n = 0; n < 31; ++n)
    {
        clickArrow (banner.previousButton);
        syncWithProcessor();
    }
    expectLoaded (0, 0);
    EXPECT_TRUE (banner.previousButton.dimmed);
}

TEST_F (BannerFixture, loadingClearsTheModifiedMark)
{
    banner.showPreset (2, 1, true);
    EXPECT_EQ (banner.popup.nameField.text, "* Mid 2");
    processor.presetModified = true;

    clickArrow (banner.nextButton);
    syncWithProcessor();
    expectLoaded (2, 2);
    EXPECT_EQ (banner.popup.nameField.text, "Taming The Mid");
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

TEST_F (BannerFixture, pairFromTheHostOutsideTheCatalogueKeepsTheShownPreset)
{
    banner.showPreset (4, 2, false);
    banner.showPreset (9, 9, true);
    EXPECT_EQ (banner.popup.getSelectedCategory(), 4);
    EXPECT_EQ (banner.popup.getSelectedIndex(), 2);
    EXPECT_EQ (banner.popup.nameField.text, "* Even More Mid");
}

TEST_F (BannerFixture, clickingAPresetInThePopupLoadsIt)
{
    auto& field = banner.popup.nameField;
    field.mouseDown (mouseAt (field, 50, 10));
    field.mouseUp (mouseAt (field, 50, 10));
    ASSERT_EQ (banner.popup.getParentComponent(), &editor);
    EXPECT_EQ (editor.getIndexOfChildComponent (&banner.popup), editor.getNumChildComponents() - 1)
        << "in front of everything";
    EXPECT_EQ (banner.popup.getCategoryList().getBounds(), juce::Rectangle<int> (256, 20, 90, 120));

    auto* drums = banner.popup.getCategoryList().getRow (5);
    drums->mouseDown (mouseAt (*drums, 10, 9));
    drums->mouseUp (mouseAt (*drums, 10, 9));
    auto* snare = banner.popup.getPresetList().getRow (1);
    snare->mouseDown (mouseAt (*snare, 10, 9));
    snare->mouseUp (mouseAt (*snare, 10, 9));
    syncWithProcessor();

    expectLoaded (5, 1);
    EXPECT_EQ (banner.popup.nameField.text, "Snare");
    EXPECT_EQ (banner.popup.getParentComponent(), &editor) << "stays open after a choice";

    banner.popup.mouseDown (mouseAt (banner.popup, 700, 200));
    EXPECT_EQ (banner.popup.getParentComponent(), nullptr);
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
