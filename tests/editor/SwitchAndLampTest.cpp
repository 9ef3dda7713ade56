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
    auto on = render (power);
    EXPECT_EQ (on.getPixelAt (1, 1), juce::Colours::red);
    EXPECT_FALSE (painted (on, 10, 10)) << "the image keeps its own size";

    power.setValue (0.5f);
    EXPECT_EQ (render (power).getPixelAt (1, 1), juce::Colours::blue) << "0.5 is off";
    power.setValue (0.51f);
    EXPECT_EQ (render (power).getPixelAt (1, 1), juce::Colours::red);
}

TEST_F (SwitchFixture, clickTogglesBetweenZeroAndOneInsideTheGesture)
{
    power.setValue (0.5f);
    click (30, 7, 59, 14);   // released on the last pixel inside
    EXPECT_EQ (owner.events, (Events { "beginGesture 19", "value 19", "endGesture 19" }));
    EXPECT_EQ (owner.values[0], 1.0f);

    owner.clear();
    click (30, 7, 0, 0);
    EXPECT_EQ (owner.values, (std::vector<float> { 0.0f }));
    EXPECT_EQ (power.getValue(), 0.0f);
}

TEST_F (SwitchFixture, releaseOutsideChangesNothingButEndsTheGesture)
{
    const float outside[][2] = { { 60, 7 }, { 30, 15 }, { -1, 7 }, { 30, -1 } };

    for (auto& p : outside)
    {
        owner.clear();
        click (30, 7, p[0], p[1]);
        EXPECT_EQ (owner.events, (Events { "beginGesture 19", "endGesture 19" }));
        EXPECT_EQ (power.getValue(), 1.0f);
        EXPECT_EQ (power.getAlpha(), 1.0f);
    }
}

TEST_F (SwitchFixture, dimsWhilePressedUnlessTold)
{
    power.mouseDown (mouseAt (power, 3, 3));
    EXPECT_NEAR (power.getAlpha(), 0.5f, 1.0f / 255.0f);
    power.mouseUp (mouseAt (power, 3, 3));
    EXPECT_EQ (power.getAlpha(), 1.0f);

    power.dimWhenPressed = false;
    power.mouseDown (mouseAt (power, 3, 3));
    EXPECT_EQ (power.getAlpha(), 1.0f);
    power.mouseUp (mouseAt (power, 3, 3));
}

TEST_F (SwitchFixture, hoverIsReportedWithoutOtherEffects)
{
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
    EXPECT_EQ (power.getValue(), 1.0f);
}

//==================================================================================================
namespace
{
    struct LampFixture : ::testing::Test
    {
        VLReductionIndicator lamp;

        void SetUp() override
        {
            lamp.inactiveImage = solidImage (6, 6, juce::Colours::black);
            lamp.activeImage = solidImage (6, 6, juce::Colour (0xff00ff00));
            lamp.setBounds (0, 0, 6, 6);
        }

        juce::Colour centreAt (float reduction)
        {
            lamp.displayedReduction = reduction;
            return render (lamp).getPixelAt (3, 3);
        }
    };
}

TEST_F (LampFixture, brightnessFollowsTheReduction)
{
    EXPECT_EQ (VLReductionIndicator::activeOpacityFor (1.0f), 0.0f);
    EXPECT_EQ (VLReductionIndicator::activeOpacityFor (0.75f), 0.5f);
    EXPECT_EQ (VLReductionIndicator::activeOpacityFor (0.5f), 1.0f);
    EXPECT_EQ (VLReductionIndicator::activeOpacityFor (0.0f), 1.0f);
    EXPECT_EQ (VLReductionIndicator::activeOpacityFor (1.5f), 0.0f) << "never negative";

    EXPECT_EQ (VLReductionIndicator::redAlphaFor (0.5f), 0.0f);
    EXPECT_EQ (VLReductionIndicator::redAlphaFor (0.25f), 0.5f);
    EXPECT_EQ (VLReductionIndicator::redAlphaFor (0.0f), 1.0f);
    EXPECT_EQ (VLReductionIndicator::redAlphaFor (-1.0f), 1.0f) << "never above 1";

    const auto unlit = centreAt (1.0f);
    EXPECT_EQ (unlit, juce::Colours::black);

    const auto half = centreAt (0.75f);
    EXPECT_NEAR (half.getGreen(), 128, 2);
    EXPECT_EQ (half.getRed(), 0);

    const auto lit = centreAt (0.5f);
    EXPECT_EQ (lit, juce::Colour (0xff00ff00)) << "fully lit, no red yet";

    const auto glowing = centreAt (0.25f);
    EXPECT_NEAR (glowing.getRed(), 128, 2);
    EXPECT_NEAR (glowing.getGreen(), 127, 2);

    const auto red = centreAt (0.0f);
    EXPECT_EQ (red.getRed(), 255);
    EXPECT_EQ (red.getGreen(), 0);
    EXPECT_EQ (render (lamp).getPixelAt (0, 0), juce::Colour (0xff00ff00)) << "the disc is inset by a pixel";
}
