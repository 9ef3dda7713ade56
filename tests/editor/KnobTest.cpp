#include "EditorTestSupport.h"
#include "HPFilterKnob.h"
#include "VLKnob.h"
#include "VLParameterInfo.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace EditorTest;

namespace
{
    float degrees (float radians)  { return radians * 180.0f / 3.14159265f; }

    struct KnobFixture : ::testing::Test
    {
        RecordingCallback owner;
        VLKnob knob;

        void setUpKnob (int id, float skew, int size, float value)
        {
            knob.setParamId (id);
            knob.setCallback (&owner);
            knob.skew = skew;
            knob.setBounds (0, 0, size, size);
            knob.setValue (value);
            owner.clear();
        }
    };
}

//==================================================================================================
TEST_F (KnobFixture, skewMapsValueToPointerPositionAndPinsOutOfRangeValues)
{
    setUpKnob (11, 2.0f, 60, 0.25f);
    EXPECT_FLOAT_EQ (knob.getValue(), 0.5f);
    EXPECT_NEAR (degrees (knob.getPointerAngle()), -90.0f, 1e-4f) << "mid-travel points straight up";
    EXPECT_FLOAT_EQ (knob.getParameterValue(), 0.25f);

    knob.skew = 1.1f;
    knob.setValue (0.5f);
    EXPECT_FLOAT_EQ (knob.getValue(), std::pow (0.5f, 1.0f / 1.1f));

    // A negative value must not become NaN through the skew.
    for (float v : { -0.001f, std::nanf (""), 1.5f })
    {
        knob.setValue (v);
        EXPECT_EQ (knob.getValue(), v > 1.0f ? 1.0f : 0.0f) << v;
    }
}

TEST_F (KnobFixture, pointerIsDrawnWhereTheValuePoints)
{
    setUpKnob (11, 2.0f, 60, 0.25f);
    knob.pointerColour = juce::Colours::white;
    auto up = render (knob);

    // Straight up, from about 0.87 r to 0.4 r above the centre (30, 30).
    EXPECT_TRUE (painted (up, 30, 10));
    EXPECT_TRUE (painted (up, 30, 16));
    EXPECT_FALSE (painted (up, 30, 1)) << "the pointer stops short of the rim";
    EXPECT_FALSE (painted (up, 30, 24)) << "and of the centre";
    EXPECT_FALSE (painted (up, 45, 30));

    knob.setValue (1.0f);    // +45 degrees: down and to the right
    auto right = render (knob);
    EXPECT_TRUE (painted (right, 30 + 14, 30 + 14));
    EXPECT_FALSE (painted (right, 30, 10));
}

TEST_F (KnobFixture, dragAndWheelStepWithAltFineAndThroughTheSkew)
{
    setUpKnob (11, 2.0f, 60, 0.25f);
    pressDragRelease (knob, 30, 30, 23);   // 7 pixels up
    ASSERT_EQ (owner.values.size(), 1u);
    EXPECT_NEAR (knob.getValue(), 0.545f, 1e-6f);
    EXPECT_NEAR (owner.values[0], 0.297025f, 1e-5f) << "sends position^skew";

    // start position, drag from y 20 to 10 (0) or wheel step (1), alt, expected position
    const struct { int wheelStep; bool alt; float expected; } cases[] = {
        { 0, true, 0.5f + 0.0064286f }, { 0, false, 0.5f + 0.064286f }, { 1, false, 0.52f }, { 1, true, 0.502f },
    };

    setUpKnob (0, 1.0f, 23, 0.5f);
    for (const auto& c : cases)
    {
        knob.setValue (0.5f);
        if (c.wheelStep)
            knob.mouseWheelMove (mouseAt (knob, 10, 10, c.alt ? alt() : juce::ModifierKeys()), wheel (0.1f));
        else
            pressDragRelease (knob, 10, 20, 10, c.alt ? alt() : juce::ModifierKeys());
        EXPECT_NEAR (knob.getValue(), c.expected, 1e-6f) << "wheel " << c.wheelStep << " alt " << c.alt;
    }

    owner.clear();
    knob.mouseWheelMove (mouseAt (knob, 10, 10), wheel (-10.0f));
    EXPECT_EQ (owner.events, (Events { "value 0" })) << "the wheel opens no gesture";
    EXPECT_EQ (owner.values[0], 0.0f);
}

TEST_F (KnobFixture, onlyTheMovementSinceTheLastEventCounts)
{
    setUpKnob (0, 1.0f, 23, 0.5f);
    knob.mouseDown (mouseAt (knob, 10, 10));
    knob.mouseDrag (mouseAt (knob, { 10, 300 }, { 10, 10 }));
    knob.mouseDrag (mouseAt (knob, { 10, 400 }, { 10, 10 }));
    knob.mouseDrag (mouseAt (knob, { 50, 399 }, { 10, 10 }));   // one pixel up, sideways ignored
    knob.mouseUp (mouseAt (knob, { 50, 399 }, { 10, 10 }));

    ASSERT_EQ (owner.values.size(), 3u);
    EXPECT_EQ (owner.values[0], 0.0f) << "held at exactly 0";
    EXPECT_EQ (owner.values[1], 0.0f);
    EXPECT_NEAR (owner.values[2], 0.45f / 70.0f, 1e-7f) << "reverses at once";

    knob.skew = 2.0f;
    pressDragRelease (knob, 10, 10, -500);
    EXPECT_EQ (owner.values.back(), 1.0f) << "held at exactly 1 through the skew";
}

TEST_F (KnobFixture, pressAndReleaseBracketTheDragInOrderAndDoubleClickAsksForTheDefault)
{
    setUpKnob (5, 1.0f, 23, 0.5f);
    knob.mouseEnter (mouseAt (knob, 5, 5));
    knob.mouseDown (mouseAt (knob, 11, 11));
    knob.mouseDrag (mouseAt (knob, { 11, 9 }, { 11, 11 }));
    knob.mouseDrag (mouseAt (knob, { 11, 7 }, { 11, 11 }));
    knob.mouseUp (mouseAt (knob, { 11, 7 }, { 11, 11 }));
    knob.mouseExit (mouseAt (knob, 40, 40));

    EXPECT_EQ (owner.events, (Events { "hoverStart 5", "beginGesture 5", "startChange 5", "value 5", "value 5",
                                       "endChange 5", "endGesture 5", "hoverEnd 5" }));
    EXPECT_EQ (owner.lastCentre, juce::Point<float> (11.5f, 11.5f));

    owner.clear();
    owner.defaultValue = 0.25f;
    knob.mouseDoubleClick (mouseAt (knob, 11, 11));
    EXPECT_EQ (owner.events, (Events { "default? 5", "value 5" }));
    EXPECT_EQ (owner.values[0], 0.25f);
}

TEST_F (KnobFixture, disabledKnobReportsOnlyHoverButClosesAGestureOpenedBefore)
{
    setUpKnob (5, 1.0f, 23, 0.5f);
    knob.setEnabled (false);
    knob.mouseEnter (mouseAt (knob, 5, 5));
    pressDragRelease (knob, 11, 11, 0);
    knob.mouseWheelMove (mouseAt (knob, 10, 10), wheel (0.5f));
    knob.mouseDoubleClick (mouseAt (knob, 10, 10));
    knob.mouseExit (mouseAt (knob, 40, 40));
    EXPECT_EQ (owner.events, (Events { "hoverStart 5", "hoverEnd 5" }));
    EXPECT_EQ (knob.getValue(), 0.5f);

    owner.clear();
    knob.setEnabled (true);
    knob.mouseDown (mouseAt (knob, 11, 11));
    knob.setEnabled (false);
    knob.mouseDrag (mouseAt (knob, { 11, 0 }, { 11, 11 }));
    knob.mouseUp (mouseAt (knob, { 11, 0 }, { 11, 11 }));
    knob.mouseUp (mouseAt (knob, { 11, 0 }, { 11, 11 }));
    EXPECT_EQ (owner.events, (Events { "beginGesture 5", "startChange 5", "endChange 5", "endGesture 5" }));
    EXPECT_FALSE (knob.isGestureOpen());
}

TEST_F (KnobFixture, hitAreaReachesTenPixelsPastTheRimBeforeAnyPaint)
{
    setUpKnob (0, 1.0f, 20, 0.5f);   // centre (10, 10), radius 10; never painted
    EXPECT_EQ (knob.getCentre(), juce::Point<float> (10.0f, 10.0f));
    EXPECT_EQ (knob.getRadius(), 10.0f);
    EXPECT_TRUE (knob.hitTest (0, 0));
    EXPECT_TRUE (knob.hitTest (29, 10));
    EXPECT_FALSE (knob.hitTest (30, 10)) << "exactly radius + 10 is outside";
    EXPECT_FALSE (knob.hitTest (10, -10));

    knob.setBounds (0, 0, 60, 60);
    EXPECT_TRUE (knob.hitTest (69, 30)) << "the geometry follows the bounds";
    EXPECT_FALSE (knob.hitTest (70, 30));
}

TEST_F (KnobFixture, refreshComparesWithThePointerPosition)
{
    setUpKnob (10, 2.0f, 60, 0.25f);
    owner.currentValue = 0.25f;
    knob.refresh (true);
    EXPECT_TRUE (owner.events.empty()) << "0.25 with skew 2 is the stored position 0.5: no change";

    owner.currentValue = 0.36f;
    knob.refresh (false);
    EXPECT_FLOAT_EQ (knob.getValue(), 0.6f);
    EXPECT_TRUE (owner.events.empty());

    owner.currentValue = 0.49f;
    knob.refresh (true);
    ASSERT_EQ (owner.events, (Events { "value 10" }));
    EXPECT_EQ (owner.values[0], 0.49f) << "reports the parameter value, not the position";
}

//==================================================================================================
namespace
{
    struct SelectorFixture : ::testing::Test
    {
        RecordingCallback owner;
        HPFilterKnob selector;

        void SetUp() override
        {
            selector.setParamId (kHighPass);
            selector.setCallback (&owner);
            selector.setBounds (0, 0, 45, 45);
            owner.defaultValue = VL_PARAMS[kHighPass].normalisedDefault();
            selector.setValue (owner.defaultValue);
        }
    };
}

TEST_F (SelectorFixture, eachQuarterHasItsAngleAndBoundariesBelongAbove)
{
    const struct { float value, degrees; } cases[] = {
        { 0.0f, -33.84f }, { 0.2499f, -33.84f }, { 0.25f, -12.51f }, { 0.4999f, -12.51f },
        { 0.5f, 10.98f }, { 0.75f, 35.55f }, { 1.0f, 35.55f },
    };

    for (const auto& c : cases)
    {
        selector.setValue (c.value);
        EXPECT_NEAR (degrees (selector.getPointerAngle()), c.degrees, 0.01f) << "value " << c.value;
    }
}

TEST_F (SelectorFixture, eachPixelUpAddsOneHundredth)
{
    selector.mouseDown (mouseAt (selector, 22, 30));
    selector.mouseDrag (mouseAt (selector, { 22, 21 }, { 22, 30 }));   // 9 up
    EXPECT_NEAR (owner.values.back(), 0.24789473f, 1e-6f);
    EXPECT_NEAR (degrees (selector.getPointerAngle()), -33.84f, 0.01f) << "still off";

    selector.mouseDrag (mouseAt (selector, { 22, 20 }, { 22, 30 }));   // one more
    EXPECT_NEAR (owner.values.back(), 0.25789473f, 1e-6f);
    EXPECT_NEAR (degrees (selector.getPointerAngle()), -12.51f, 0.01f) << "jumps to 20 Hz";
    selector.mouseUp (mouseAt (selector, { 22, 20 }, { 22, 30 }));
    EXPECT_EQ (owner.events, (Events { "beginGesture 3", "value 3", "value 3", "endGesture 3" }))
        << "no value bubble for the selector: no start/end change";

    selector.setValue (0.5f);
    pressDragRelease (selector, 22, 30, 20, alt());
    EXPECT_NEAR (selector.getValue(), 0.51f, 1e-6f) << "Alt: a tenth";
    pressDragRelease (selector, 22, 1000, -1000);
    EXPECT_EQ (selector.getValue(), 1.0f);
}

TEST_F (SelectorFixture, clickSendsOnlyTheGestureDoubleClickReturnsToOffAndWheelMovesInSteps)
{
    clickAt (selector, 22, 22);
    EXPECT_EQ (owner.events, (Events { "beginGesture 3", "endGesture 3" }));

    selector.setValue (0.9f);
    selector.mouseDoubleClick (mouseAt (selector, 22, 22));
    EXPECT_FLOAT_EQ (owner.values.back(), 0.15789473f);
    EXPECT_FLOAT_EQ (selector.getValue(), 0.15789473f);

    owner.clear();
    selector.mouseWheelMove (mouseAt (selector, 22, 22), wheel (0.5f));
    EXPECT_EQ (owner.events, (Events { "value 3" }));
    EXPECT_NEAR (selector.getValue(), 0.25789473f, 1e-6f);
}

TEST_F (SelectorFixture, disabledSelectorReportsOnlyHoverAndHitAreaIsRound)
{
    selector.setEnabled (false);
    selector.mouseEnter (mouseAt (selector, 1, 1));
    pressDragRelease (selector, 22, 22, 0);
    selector.mouseDoubleClick (mouseAt (selector, 22, 22));
    selector.mouseWheelMove (mouseAt (selector, 22, 22), wheel (0.5f));
    selector.mouseExit (mouseAt (selector, 99, 99));
    EXPECT_EQ (owner.events, (Events { "hoverStart 3", "hoverEnd 3" }));

    EXPECT_TRUE (selector.hitTest (0, 0));
    EXPECT_FALSE (selector.hitTest (55, 22)) << "22.5 + 10 + 0.5 from the centre";
    EXPECT_TRUE (selector.hitTest (54, 22));
}
