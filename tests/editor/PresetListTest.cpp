#include "EditorTestSupport.h"
#include "VLPresetList.h"

#include <gtest/gtest.h>

#include <functional>

using namespace EditorTest;

namespace
{
    std::vector<juce::String> texts (int n)
    {
        std::vector<juce::String> v;
        for (int i = 0; i < n; ++i)
            v.push_back ("Row " + juce::String (i));
        return v;
    }

    std::vector<int> rowTops (VLPresetList& list)
    {
        std::vector<int> tops;
        for (int i = 0; i < list.getNumRows(); ++i)
            tops.push_back (list.getRow (i)->getY());
        return tops;
    }

    struct PresetListFixture : ::testing::Test, PresetListDelegate
    {
        VLPresetList list;
        std::vector<std::pair<int, int>> changes;
        std::function<void (int, int)> onChange;

        void modulePresetChange (int listId, int item) override
        {
            changes.push_back ({ listId, item });
            if (onChange)
                onChange (listId, item);
        }
        void presetListMouseOver (int) override {}
        void presetListMouseOut (int) override  {}

        void fill (int rows, int count, int selected, int height)
        {
            list.init (texts (rows), count, selected, 1, this);
            list.setBounds (0, 0, 150, height);
            list.resized();
        }
    };
}

TEST_F (PresetListFixture, rowsAreCentredAtAnEighteenPixelPitch)
{
    const struct { int rows, height; std::vector<int> tops; } cases[] = {
        { 6, 120, { 6, 24, 42, 60, 78, 96 } }, { 5, 100, { 5, 23, 41, 59, 77 } },
        { 1, 40, { 11 } },                     { 2, 60, { 12, 30 } },
    };

    for (auto& c : cases)
    {
        fill (c.rows, c.rows, -1, c.height);
        EXPECT_EQ (rowTops (list), c.tops) << c.rows << " rows";
        EXPECT_EQ (list.getRow (0)->getBounds().getHeight(), 18);
        EXPECT_EQ (list.getRow (0)->getWidth(), 150);
    }
}

TEST_F (PresetListFixture, countBeyondTheItemsIsLimitedAndARefillReplacesTheRows)
{
    fill (3, 10, 0, 60);
    EXPECT_EQ (list.getNumRows(), 3);

    fill (4, 2, 0, 60);
    EXPECT_EQ (list.getNumRows(), 2);
    EXPECT_EQ (list.getNumChildComponents(), 2);

    list.updateContent ({}, 0, 0);
    EXPECT_EQ (list.getNumRows(), 0) << "an empty list has no rows";
    EXPECT_EQ (list.getNumChildComponents(), 0);
    EXPECT_EQ (list.getRow (0), nullptr);
}

TEST_F (PresetListFixture, onlyAReleaseInsideTheRowMarksItAndReports)
{
    fill (5, 5, 0, 100);
    auto* row = list.getRow (1);
    row->mouseDown (mouseAt (*row, 5, 5));
    EXPECT_TRUE (row->pressed);
    row->mouseUp (mouseAt (*row, { 5, 18 }, { 5, 5 }));
    EXPECT_FALSE (row->pressed);
    EXPECT_TRUE (changes.empty());
    EXPECT_TRUE (list.getRow (0)->selected) << "the mark stays";

    clickAt (*list.getRow (3), 10, 9);
    ASSERT_EQ (changes, (std::vector<std::pair<int, int>> { { 1, 3 } }));
    EXPECT_EQ (list.getSelected(), 3);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (list.getRow (i)->selected, i == 3);
}

TEST_F (PresetListFixture, ownerMayRefillTheColumnFromInsideARowsReport)
{
    fill (6, 6, 0, 120);
    onChange = [&] (int, int item) { list.updateContent (texts (5), item, 1); };

    juce::Component::SafePointer<VLPresetListButton> clicked (list.getRow (4));
    clickAt (*clicked, 10, 9);

    EXPECT_EQ (clicked.getComponent(), nullptr) << "the clicked row was replaced";
    ASSERT_EQ (list.getNumRows(), 5);
    EXPECT_EQ (list.getSelected(), 4);

    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (list.getRow (i)->text, "Row " + juce::String (i));
        EXPECT_EQ (list.getRow (i)->index, i);
        EXPECT_EQ (list.getRow (i)->selected, i == 4);
        EXPECT_FALSE (list.getRow (i)->pressed);
    }
    EXPECT_EQ (rowTops (list), (std::vector<int> { 15, 33, 51, 69, 87 })) << "laid out again";
}

TEST (VLPresetListButton, textAlphaFollowsTheFlagsInOrder)
{
    // Pressed wins over everything, then selected and hovered.
    const struct { bool bright, hover, selected, pressed; int alpha; } cases[] = {
        { false, false, false, false, 153 }, { true, false, false, false, 178 }, { false, true, false, false, 178 },
        { true, true, false, false, 178 },   { true, true, true, false, 252 },   { true, true, true, true, 242 },
        { false, false, false, true, 242 },
    };

    for (const auto& c : cases)
    {
        VLPresetListButton row ("x", 0, nullptr);
        row.bright = c.bright;
        row.hover = c.hover;
        row.selected = c.selected;
        row.pressed = c.pressed;
        EXPECT_EQ (row.getTextAlpha(), c.alpha) << c.bright << c.hover << c.selected << c.pressed;
    }
}

TEST (VLPresetListButton, drawsWhiteCentredTextWithoutBackground)
{
    ScopedFonts fonts;
    VLPresetListButton row ("MASTER", 0, nullptr);
    row.setBounds (0, 0, 90, 18);
    row.selected = true;
    auto image = render (row);
    EXPECT_FALSE (painted (image, 1, 1)) << "no background";

    int maxAlpha = 0, firstX = 90, lastX = -1;
    for (int x = 0; x < 90; ++x)
        for (int y = 0; y < 18; ++y)
            if (painted (image, x, y))
            {
                maxAlpha = std::max (maxAlpha, (int) image.getPixelAt (x, y).getAlpha());
                firstX = std::min (firstX, x);
                lastX = std::max (lastX, x);
                EXPECT_GT (image.getPixelAt (x, y).getBrightness(), 0.9f);
            }

    EXPECT_GT (maxAlpha, 200);
    EXPECT_LE (maxAlpha, 252);
    EXPECT_NEAR ((firstX + lastX) / 2.0, 45.0, 2.0) << "centred";
}
