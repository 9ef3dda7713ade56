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

    struct Owner : PresetListDelegate
    {
        std::vector<std::pair<int, int>> changes;
        int over = 0, out = 0;
        std::function<void (int, int)> onChange;

        void modulePresetChange (int listId, int item) override
        {
            changes.push_back ({ listId, item });
            if (onChange)
                onChange (listId, item);
        }
        void presetListMouseOver (int) override { ++over; }
        void presetListMouseOut (int) override  { ++out; }
    };

    std::vector<int> rowTops (VLPresetList& list)
    {
        std::vector<int> tops;
        for (int i = 0; i < list.getNumRows(); ++i)
            tops.push_back (list.getRow (i)->getY());
        return tops;
    }

    void click (juce::Component& c, float x, float y)
    {
        c.mouseDown (mouseAt (c, x, y));
        c.mouseUp (mouseAt (c, x, y));
    }
}

TEST (VLPresetList, rowsAreCentredAtAnEighteenPixelPitch)
{
    Owner owner;
    VLPresetList list;

    const struct { int rows, height; std::vector<int> tops; } cases[] = {
        { 6, 120, { 6, 24, 42, 60, 78, 96 } },
        { 5, 100, { 5, 23, 41, 59, 77 } },
        { 1, 40, { 11 } },
        { 2, 60, { 12, 30 } },
    };

    for (auto& c : cases)
    {
        list.init (texts (c.rows), c.rows, -1, 1, &owner);
        list.setBounds (0, 0, 150, c.height);
        list.resized();
        EXPECT_EQ (rowTops (list), c.tops) << c.rows << " rows";
        EXPECT_EQ (list.getRow (0)->getHeight(), 18);
        EXPECT_EQ (list.getRow (0)->getWidth(), 150);
    }
}

TEST (VLPresetList, countBeyondTheItemsIsLimited)
{
    Owner owner;
    VLPresetList list;
    list.init (texts (3), 10, 0, 0, &owner);
    EXPECT_EQ (list.getNumRows(), 3);

    list.init (texts (4), 2, 0, 0, &owner);
    EXPECT_EQ (list.getNumRows(), 2) << "a second fill replaces the rows";
    EXPECT_EQ (list.getNumChildComponents(), 2);

    list.updateContent ({}, 0, 0);
    list.setBounds (0, 0, 90, 40);
    EXPECT_EQ (list.getNumRows(), 0) << "an empty list has no rows";
    EXPECT_EQ (list.getNumChildComponents(), 0);
    EXPECT_EQ (list.getRow (0), nullptr);
}

TEST (VLPresetList, clickMarksExactlyTheClickedRowAndReports)
{
    Owner owner;
    VLPresetList list;
    list.init (texts (5), 5, -1, 1, &owner);
    list.setBounds (0, 0, 150, 100);

    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE (list.getRow (i)->selected);

    click (*list.getRow (3), 10, 9);
    ASSERT_EQ (owner.changes, (std::vector<std::pair<int, int>> { { 1, 3 } }));
    EXPECT_EQ (list.getSelected(), 3);

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (list.getRow (i)->selected, i == 3);
}

TEST (VLPresetList, releaseOutsideTheRowReportsNothing)
{
    Owner owner;
    VLPresetList list;
    list.init (texts (2), 2, 0, 0, &owner);
    list.setBounds (0, 0, 90, 60);
    auto* row = list.getRow (1);

    row->mouseDown (mouseAt (*row, 5, 5));
    EXPECT_TRUE (row->pressed);
    row->mouseUp (mouseAt (*row, { 5, 18 }, { 5, 5 }));
    EXPECT_FALSE (row->pressed);
    EXPECT_TRUE (owner.changes.empty());
    EXPECT_TRUE (list.getRow (0)->selected) << "the mark stays";
}

TEST (VLPresetList, ownerMayRefillTheColumnFromInsideARowsReport)
{
    Owner owner;
    VLPresetList list;
    list.init (texts (6), 6, 0, 1, &owner);
    list.setBounds (0, 0, 150, 120);

    owner.onChange = [&] (int, int item) { list.updateContent (texts (5), item, 1); };

    juce::Component::SafePointer<VLPresetListButton> clicked (list.getRow (4));
    click (*clicked, 10, 9);

    EXPECT_EQ (clicked.getComponent(), nullptr) << "the clicked row was replaced";
    ASSERT_EQ (list.getNumRows(), 5);
    EXPECT_EQ (list.getSelected(), 4);

    for (int i = 0; i < 5; ++i)
    {
        auto* row = list.getRow (i);
        EXPECT_EQ (row->text, "Row " + juce::String (i));
        EXPECT_EQ (row->index, i);
        EXPECT_EQ (row->selected, i == 4);
        EXPECT_FALSE (row->pressed);
        EXPECT_EQ (row->getParentComponent(), &list);
    }
    EXPECT_EQ (rowTops (list), (std::vector<int> { 15, 33, 51, 69, 87 })) << "laid out again";
}

TEST (VLPresetListButton, textAlphaFollowsTheFlagsInOrder)
{
    VLPresetListButton row ("x", 0, nullptr);
    EXPECT_EQ (row.getTextAlpha(), 153);
    row.bright = true;
    EXPECT_EQ (row.getTextAlpha(), 178);
    row.bright = false;
    row.hover = true;
    EXPECT_EQ (row.getTextAlpha(), 178);
    row.bright = true;
    EXPECT_EQ (row.getTextAlpha(), 178) << "hovered, bright or not";
    row.selected = true;
    EXPECT_EQ (row.getTextAlpha(), 252) << "selected and hovered";
    row.pressed = true;
    EXPECT_EQ (row.getTextAlpha(), 242) << "pressed wins over everything";
    row.selected = row.hover = row.bright = false;
    EXPECT_EQ (row.getTextAlpha(), 242);
}

TEST (VLPresetListButton, drawsWhiteCentredTextWithoutBackground)
{
    ScopedFonts fonts;
    VLPresetListButton row ("MASTER", 0, nullptr);
    row.setBounds (0, 0, 90, 18);
    row.selected = true;
    auto image = render (row);

    EXPECT_FALSE (painted (image, 1, 1)) << "no background";
    EXPECT_FALSE (painted (image, 88, 9));

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
