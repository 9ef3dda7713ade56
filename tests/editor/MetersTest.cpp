#include "EditorTestSupport.h"
#include "Meters.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace EditorTest;

TEST (Meters, scaleIsNinePixelsPerMark)
{
    const float marks[] = { -60, -46, -32, -18, -12, -9, -6, -3, 0, 3, 6, 9 };

    for (int i = 0; i < 12; ++i)
        EXPECT_FLOAT_EQ (Meters::positionForDb (marks[i]), 9.0f * (float) i) << marks[i] << " dB";

    EXPECT_FLOAT_EQ (Meters::positionForDb (-53.0f), 4.5f) << "14 dB per segment at the bottom";
    EXPECT_FLOAT_EQ (Meters::positionForDb (-1.5f), 67.5f) << "3 dB per segment near the top";
    EXPECT_NEAR (Meters::positionForDb (-100.0f), -25.714f, 1e-3f) << "below -60 the first segment continues";
    EXPECT_FLOAT_EQ (Meters::positionForDb (10.0f), 102.0f) << "above +6 the last segment continues";
}

TEST (Meters, barRisesAtOnceFallsThreeTenthsPerCallAndStopsAtSix)
{
    Meters m;
    EXPECT_EQ (m.levelLeft, -100.0f) << "starts at the floor";
    m.setValuesInDb (-20.0f, -10.0f);
    EXPECT_EQ (m.levelLeft, -20.0f);
    EXPECT_EQ (m.levelRight, -10.0f);

    // A steady input alternates: an equal level falls, the next call lifts it back.
    m.setValuesInDb (-20.0f, -10.0f);
    EXPECT_NEAR (m.levelLeft, -20.3f, 1e-5f);
    m.setValuesInDb (-20.0f, -10.0f);
    EXPECT_EQ (m.levelLeft, -20.0f);

    // NaN counts as silence.
    m.setValuesInDb (std::nanf (""), std::nanf (""));
    EXPECT_NEAR (m.levelLeft, -20.3f, 1e-5f);
    EXPECT_EQ (m.peakLeft, -20.0f);
    EXPECT_FALSE (std::isnan (m.levelRight));

    m.setValuesInDb (10.0f, 6.5f);
    EXPECT_EQ (m.levelLeft, 6.0f);
    EXPECT_EQ (m.peakRight, 6.0f);

    m.reset();
    EXPECT_EQ (m.holdLeft, 0);
    EXPECT_EQ (m.levelRight, -100.0f);
    EXPECT_EQ (m.peakRight, -100.0f);
}

TEST (Meters, steadyInputDipsThePeakOnceEvery32Calls)
{
    Meters m;

    for (int call = 0; call < 31; ++call)
    {
        m.setValuesInDb (-20.0f, -20.0f);
        ASSERT_EQ (m.peakLeft, -20.0f) << "call " << call + 1;
    }

    m.setValuesInDb (-20.0f, -20.0f);
    EXPECT_EQ (m.peakLeft, -22.0f) << "call 32";
    m.setValuesInDb (-20.0f, -20.0f);
    EXPECT_EQ (m.peakLeft, -20.0f) << "call 33";
    EXPECT_EQ (m.holdLeft, 30);
}

TEST (Meters, burstIsHeldThenFallsToTheFloor)
{
    Meters m;
    m.setValuesInDb (0.0f, 0.0f);
    int calls = 1, fallCalls = 0;

    for (int i = 0; i < 30; ++i, ++calls)
    {
        m.setValuesInDb (-100.0f, -100.0f);
        ASSERT_EQ (m.peakLeft, 0.0f) << "held for 30 calls";
    }

    for (; m.peakLeft > -100.0f && fallCalls < 1000; ++fallCalls, ++calls)
        m.setValuesInDb (-100.0f, -100.0f);
    EXPECT_EQ (fallCalls, 50);

    for (; m.levelLeft > -100.0f && calls < 1000; ++calls)
        m.setValuesInDb (-100.0f, -100.0f);
    EXPECT_EQ (calls - 1, 334) << "calls after the burst until the bar reaches the floor";

    for (int i = 0; i < 100; ++i)
        m.setValuesInDb (-100.0f, -100.0f);
    EXPECT_EQ (m.levelLeft, -100.0f);
    EXPECT_EQ (m.peakRight, -100.0f);
}

TEST (Meters, barsAndTicksAreGreenUpToZeroAndRedAbove)
{
    Meters m;
    m.setBounds (0, 0, 28, 91);
    const auto green = juce::Colour::fromFloatRGBA (0.15f, 0.42f, 0.24f, 1.0f);
    const auto red = juce::Colour::fromFloatRGBA (0.94f, 0.36f, 0.31f, 1.0f);

    m.levelLeft = 0.0f;          // 72 pixels: top at y = 19
    m.levelRight = 6.0f;         // 90 pixels: top at y = 1, red above y = 19
    m.peakLeft = m.peakRight = -100.0f;
    auto image = render (m);

    EXPECT_EQ (image.getPixelAt (1, 50), green);
    EXPECT_EQ (image.getPixelAt (2, 50), green) << "left bar: x 1 and 2";
    EXPECT_FALSE (painted (image, 1, 15)) << "nothing above the left level";
    EXPECT_EQ (image.getPixelAt (24, 50), green);
    EXPECT_EQ (image.getPixelAt (25, 50), green) << "right bar: x 24 and 25, centred on w - 3";
    EXPECT_FALSE (painted (image, 23, 50) || painted (image, 26, 50)) << "the right bar is 2 pixels wide";
    EXPECT_EQ (image.getPixelAt (25, 10), red);
    EXPECT_FALSE (painted (image, 14, 50)) << "the space between the bars stays clear";

    m.levelLeft = m.levelRight = -100.0f;
    EXPECT_FALSE (painted (render (m), 2, 90)) << "the floor lies below the bottom edge";

    m.peakLeft = 0.0f;            // tick at y = 91 - 72 = 19, x 1..3
    m.peakRight = 1.5f;           // tick at y = 91 - 76.5
    image = render (m);
    const auto left = image.getPixelAt (2, 18);
    EXPECT_GT (left.getAlpha(), 0);
    EXPECT_NEAR (left.getRed(), green.getRed(), 3);
    EXPECT_NEAR (left.getGreen(), green.getGreen(), 3) << "a tick at exactly 0 dB stays green";
    EXPECT_GT (image.getPixelAt (25, 14).getRed(), image.getPixelAt (25, 14).getGreen()) << "right tick is red";
}
