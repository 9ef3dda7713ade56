// The pointer geometry that the knob widgets and the panel art share.

#include "KnobGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double degrees = KnobGeometry::pi / 180.0;

TEST (KnobGeometry, travelSweeps270DegreesClockwiseFromLowerLeft)
{
    EXPECT_NEAR (KnobGeometry::pointerAngle (0.0f), -225.0 * degrees, 1.0e-5);
    EXPECT_NEAR (KnobGeometry::pointerAngle (0.5f), -90.0 * degrees, 1.0e-5);
    EXPECT_NEAR (KnobGeometry::pointerAngle (1.0f), 45.0 * degrees, 1.0e-5);

    float previous = KnobGeometry::pointerAngle (0.0f);
    for (int i = 1; i <= 100; ++i)
    {
        const float angle = KnobGeometry::pointerAngle ((float) i / 100.0f);
        EXPECT_GT (angle, previous);
        previous = angle;
    }
}

TEST (KnobGeometry, skewSpreadsTheLowRange)
{
    // Skew 2: the parameter value 0.25 puts the pointer straight up.
    EXPECT_FLOAT_EQ (KnobGeometry::positionForValue (0.25f, 2.0f), 0.5f);
    EXPECT_NEAR (KnobGeometry::pointerAngleForValue (0.25f, 2.0f), -90.0 * degrees, 1.0e-5);

    // "Low Mid Freq" default 500 Hz of 120..3500 Hz.
    EXPECT_NEAR (KnobGeometry::positionForValue (0.112426f, 2.0f), 0.3353f, 1.0e-4);

    // A drag of 7 pixels up from mid-travel sends 0.545^2.
    EXPECT_NEAR (KnobGeometry::valueForPosition (0.545f, 2.0f), 0.297f, 1.0e-3);

    for (float skew : { 1.0f, 1.1f, 2.0f })
        for (float v : { 0.0f, 0.05f, 0.26086956f, 0.5f, 0.9f, 1.0f })
            EXPECT_NEAR (KnobGeometry::valueForPosition (KnobGeometry::positionForValue (v, skew), skew), v, 1.0e-6)
                << "skew " << skew << " value " << v;

    // The ends stay exact at every skew.
    EXPECT_EQ (KnobGeometry::positionForValue (0.0f, 1.1f), 0.0f);
    EXPECT_EQ (KnobGeometry::positionForValue (1.0f, 1.1f), 1.0f);
}

TEST (KnobGeometry, highPassQuartersBelongToTheUpperQuarterAtTheirBoundaries)
{
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.0f), KnobGeometry::highPassOff);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.15789473f), KnobGeometry::highPassOff);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.2499f), KnobGeometry::highPassOff);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.25f), KnobGeometry::highPass20Hz);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.4999f), KnobGeometry::highPass20Hz);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.5f), KnobGeometry::highPass40Hz);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.75f), KnobGeometry::highPass80Hz);
    EXPECT_EQ (KnobGeometry::highPassQuarter (1.0f), KnobGeometry::highPass80Hz);
}

TEST (KnobGeometry, highPassPositionsPointToTheRight)
{
    const double expected[] = { -33.84, -12.51, 10.98, 35.55 };
    for (int q = 0; q < 4; ++q)
        EXPECT_NEAR (KnobGeometry::highPassAngleForQuarter (q) / degrees, expected[q], 0.01) << q;

    EXPECT_EQ (KnobGeometry::highPassPointerAngle (0.2499f), KnobGeometry::highPassAngleForQuarter (0));
    EXPECT_EQ (KnobGeometry::highPassPointerAngle (0.25f), KnobGeometry::highPassAngleForQuarter (1));
    EXPECT_EQ (KnobGeometry::highPassPointerAngle (0.5f), KnobGeometry::highPassAngleForQuarter (2));
    EXPECT_EQ (KnobGeometry::highPassPointerAngle (0.75f), KnobGeometry::highPassAngleForQuarter (3));

    // Out-of-range positions stay on the selector.
    EXPECT_EQ (KnobGeometry::highPassAngleForQuarter (-1), KnobGeometry::highPassAngleForQuarter (0));
    EXPECT_EQ (KnobGeometry::highPassAngleForQuarter (7), KnobGeometry::highPassAngleForQuarter (3));
}

TEST (KnobGeometry, pointerRunsFromFortyToEightySevenPercentOfTheRadius)
{
    EXPECT_FLOAT_EQ (KnobGeometry::pointerOuterDistance (30.0f), 26.0f);
    EXPECT_FLOAT_EQ (KnobGeometry::pointerInnerDistance (30.0f), 12.0f);
    EXPECT_NEAR (KnobGeometry::pointerOuterDistance (22.5f), 19.5f, 1.0e-5);
    EXPECT_NEAR (KnobGeometry::pointerInnerDistance (22.5f), 9.0f, 1.0e-5);

    // Straight up on a 60-pixel knob centred at (30, 30).
    const auto up = KnobGeometry::pointerLine (30.0f, 30.0f, 30.0f, KnobGeometry::pointerAngle (0.5f));
    EXPECT_NEAR (up.x1, 30.0f, 1.0e-4);
    EXPECT_NEAR (up.y1, 4.0f, 1.0e-4);
    EXPECT_NEAR (up.x2, 30.0f, 1.0e-4);
    EXPECT_NEAR (up.y2, 18.0f, 1.0e-4);

    // Position 0 points to the lower left.
    const auto low = KnobGeometry::pointerLine (0.0f, 0.0f, 30.0f, KnobGeometry::pointerAngle (0.0f));
    EXPECT_LT (low.x1, low.x2);
    EXPECT_GT (low.y1, low.y2);
    EXPECT_NEAR (std::hypot (low.x1, low.y1), 26.0f, 1.0e-4);
}

TEST (KnobGeometry, centreAndRadiusOfALaidOutKnob)
{
    EXPECT_FLOAT_EQ (KnobGeometry::knobCentreX (23), 11.5f);
    EXPECT_FLOAT_EQ (KnobGeometry::knobCentreY (45), 22.5f);
    EXPECT_FLOAT_EQ (KnobGeometry::knobRadius (60), 30.0f);
}
}
