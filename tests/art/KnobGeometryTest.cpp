// The pointer geometry that the knob widgets and the panel art share (the widgets' tests check
// the same figures through the knobs themselves).

#include "KnobGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double degrees = KnobGeometry::pi / 180.0;

TEST (KnobGeometry, travelSweeps270DegreesClockwiseFromLowerLeft)
{
    EXPECT_NEAR (KnobGeometry::pointerAngle (0.0f), -225.0 * degrees, 1.0e-5);
    EXPECT_NEAR (KnobGeometry::pointerAngle (1.0f), 45.0 * degrees, 1.0e-5);

    for (int i = 1; i <= 100; ++i)
        EXPECT_GT (KnobGeometry::pointerAngle ((float) i / 100.0f), KnobGeometry::pointerAngle ((float) (i - 1) / 100.0f));
}

TEST (KnobGeometry, skewRoundTripsAndKeepsTheEndsExact)
{
    for (float skew : { 1.0f, 1.1f, 2.0f })
        for (float v : { 0.0f, 0.05f, 0.26086956f, 0.5f, 0.9f, 1.0f })
            EXPECT_NEAR (KnobGeometry::valueForPosition (KnobGeometry::positionForValue (v, skew), skew), v, 1.0e-6)
                << "skew " << skew << " value " << v;

    EXPECT_EQ (KnobGeometry::positionForValue (0.0f, 1.1f), 0.0f);
    EXPECT_EQ (KnobGeometry::positionForValue (1.0f, 1.1f), 1.0f);
    EXPECT_NEAR (KnobGeometry::pointerAngleForValue (0.25f, 2.0f), -90.0 * degrees, 1.0e-5);
}

TEST (KnobGeometry, highPassPositionsOutOfRangeStayOnTheSelector)
{
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.4999f), KnobGeometry::highPass20Hz);
    EXPECT_EQ (KnobGeometry::highPassQuarter (0.5f), KnobGeometry::highPass40Hz);
    EXPECT_EQ (KnobGeometry::highPassAngleForQuarter (-1), KnobGeometry::highPassAngleForQuarter (0));
    EXPECT_EQ (KnobGeometry::highPassAngleForQuarter (7), KnobGeometry::highPassAngleForQuarter (3));
}

TEST (KnobGeometry, pointerRunsFromFortyToEightySevenPercentOfTheRadius)
{
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
}
