#include "EditorTestSupport.h"
#include "VLReductionIndicator.h"
#include "VLSwitchImage.h"

#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{
    struct SwitchFixture : ::testing::Test
    {
        RecordingCallback owner;
        VLSwitchImage power;

        void SetUp() override
        {
            power.setParamId (19);
            power.setCallback (&owner);
            power.onImage = solidImage (6, 6, juce::Colours::red);
            power.offImage = solidImage (6, 6, juce::Colours::blue);
            power.setBounds (0, 0, 60, 15);
            power.setValue (1.0f);
        }

        void click (float x, float y, float releaseX, float releaseY)
        {
            power.mouseDown (mouseAt (power, x, y));
            power.mouseUp (mouseAt (power, { releaseX, releaseY }, { x, y }));
        }
    };
}

TEST_F (SwitchFixture, drawsTheImageOfItsStateAtTheTopLeftCorner)
{
    EXPECT_FALSE (painted (render (power), 10, 10)) << "the image keeps its own size";

    for (auto [value, colour] : { std::pair (1.0f, juce::Colours::red), { 0.5f, juce::Colours::blue }, { 0.51f, juce::Colours::red } })
    {
        power.setValue (value);
        EXPECT_EQ (render (power).getPixelAt (1, 1), colour) << value << ": above 0.5 is on";
    }
}

TEST_F (SwitchFixture, clickTogglesOnlyOnAReleaseInsideAndAlwaysEndsTheGesture)
{
    power.setValue (0.5f);
    click (30, 7, 59, 14);   // released on the last pixel inside
    EXPECT_EQ (owner.events, (Events { "beginGesture 19", "value 19", "endGesture 19" }));
    EXPECT_EQ (owner.values[0], 1.0f);

    owner.clear();
    click (30, 7, 0, 0);
    EXPECT_EQ (owner.values, (std::vector<float> { 0.0f }));
    power.setValue (1.0f);

    for (auto p : { juce::Point<float> (60, 7), { 30, 15 }, { -1, 7 }, { 30, -1 } })
    {
        owner.clear();
        click (30, 7, p.x, p.y);
        EXPECT_EQ (owner.events, (Events { "beginGesture 19", "endGesture 19" })) << p.toString();
        EXPECT_EQ (power.getValue(), 1.0f);
        EXPECT_EQ (power.getAlpha(), 1.0f);
    }
}

TEST_F (SwitchFixture, dimsWhilePressedUnlessToldAndReportsHoverWithoutOtherEffects)
{
    for (bool dim : { true, false })
    {
        power.dimWhenPressed = dim;
        power.mouseDown (mouseAt (power, 3, 3));
        EXPECT_NEAR (power.getAlpha(), dim ? 0.5f : 1.0f, 1.0f / 255.0f);
        power.mouseUp (mouseAt (power, 3, 3));
        EXPECT_EQ (power.getAlpha(), 1.0f);
    }

    owner.clear();
    power.setValue (1.0f);
    power.mouseEnter (mouseAt (power, 3, 3));
    power.mouseExit (mouseAt (power, 90, 3));
    power.mouseDrag (mouseAt (power, 3, 3));
    power.mouseDoubleClick (mouseAt (power, 3, 3));
    power.mouseWheelMove (mouseAt (power, 3, 3), wheel (1.0f));
    EXPECT_EQ (owner.events, (Events { "hoverStart 19", "hoverEnd 19" }));
    EXPECT_EQ (power.getValue(), 1.0f);
}

TEST_F (SwitchFixture, disabledWhilePressedStillEndsTheGestureWithoutToggling)
{
    power.mouseDown (mouseAt (power, 3, 3));
    power.setEnabled (false);
    power.mouseUp (mouseAt (power, 3, 3));
    EXPECT_EQ (owner.events, (Events { "beginGesture 19", "endGesture 19" }));
    EXPECT_EQ (power.getValue(), 1.0f);
    EXPECT_EQ (power.getAlpha(), 1.0f);

    owner.clear();
    click (3, 3, 3, 3);
    EXPECT_TRUE (owner.events.empty()) << "a disabled switch ignores clicks";
}

//==================================================================================================
TEST (VLReductionIndicator, brightnessFollowsTheReduction)
{
    VLReductionIndicator lamp;
    const juce::Colour lit (0xff00ff00);
    lamp.inactiveImage = solidImage (6, 6, juce::Colours::black);
    lamp.activeImage = solidImage (6, 6, lit);
    lamp.setBounds (0, 0, 6, 6);

    // reduction, active opacity (never negative), red alpha (never above 1), centre red and green
    const struct { float reduction, active, red; int r, g; } cases[] = {
        { 1.5f, 0.0f, 0.0f, -1, -1 },  { 1.0f, 0.0f, 0.0f, 0, 0 },   { 0.75f, 0.5f, 0.0f, 0, 128 },
        { 0.5f, 1.0f, 0.0f, 0, 255 },  { 0.25f, 1.0f, 0.5f, 128, 127 }, { 0.0f, 1.0f, 1.0f, 255, 0 },
        { -1.0f, 1.0f, 1.0f, -1, -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.reduction);
        EXPECT_EQ (VLReductionIndicator::activeOpacityFor (c.reduction), c.active);
        EXPECT_EQ (VLReductionIndicator::redAlphaFor (c.reduction), c.red);
        if (c.r < 0)
            continue;

        lamp.displayedReduction = c.reduction;
        const auto centre = render (lamp).getPixelAt (3, 3);
        EXPECT_NEAR (centre.getRed(), c.r, 2);
        EXPECT_NEAR (centre.getGreen(), c.g, 2);
        EXPECT_EQ (centre.getAlpha(), 255);
    }

    EXPECT_EQ (render (lamp).getPixelAt (0, 0), lit) << "the red disc is inset by a pixel";
}
