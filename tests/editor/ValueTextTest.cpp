#include "EditorTestSupport.h"
#include "VLChangeView.h"
#include "VLParameterInfo.h"

#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{
    VLParameterInfo row (int kind, const char* unit, const char* const* names = nullptr)
    {
        return { 0, kind, 0.0f, 1.0f, 0.0f, 0.0f, "Test", unit, "Test", names };
    }

    std::string text (const VLParameterInfo& info, float v)   { return VLParameterGetValueStr (&info, v); }
}

TEST (ValueText, decibelsAndHertzByMagnitude)
{
    const auto dB = row (0, "dB");
    const auto Hz = row (0, "Hz");

    EXPECT_EQ (text (dB, 0.0f), "0.00 dB");
    EXPECT_EQ (text (dB, -24.0f), "-24.0 dB");
    EXPECT_EQ (text (dB, 12.0f), "12.0 dB");
    EXPECT_EQ (text (Hz, 80.0f), "80.0 Hz");
    EXPECT_EQ (text (Hz, 500.0f), "500 Hz");
    EXPECT_EQ (text (Hz, 12500.0f), "12500 Hz");
}

TEST (ValueText, thresholdsApplyToTheUnroundedValue)
{
    const auto dB = row (0, "dB");
    const auto Hz = row (0, "Hz");

    EXPECT_EQ (text (dB, 9.999f), "10.00 dB");
    EXPECT_EQ (text (Hz, 99.96f), "100.0 Hz");
    EXPECT_EQ (text (Hz, 100.4f), "100 Hz");
    EXPECT_EQ (text (Hz, 100.5f), "101 Hz") << "halves round away from zero";
    EXPECT_EQ (text (dB, -100.5f), "-101 dB");
    EXPECT_EQ (text (dB, -9.5f), "-9.50 dB");
    EXPECT_EQ (text (dB, -10.0f), "-10.0 dB");
    EXPECT_EQ (text (dB, -0.004f), "-0.00 dB") << "the sign survives";
}

TEST (ValueText, percentIsAFractionRoundedInSinglePrecision)
{
    const auto pc = row (0, "%");
    EXPECT_EQ (text (pc, 1.0f), "100%");
    EXPECT_EQ (text (pc, 0.257f), "26%");
    EXPECT_EQ (text (pc, 0.5f), "50%");
    EXPECT_EQ (text (pc, 0.005f), "1%");
    EXPECT_EQ (text (pc, 0.0049f), "0%");
    EXPECT_EQ (text (pc, -0.004f), "0%") << "a whole number has no negative zero";
}

TEST (ValueText, milliseconds)
{
    const auto ms = row (0, "ms");
    EXPECT_EQ (text (ms, 2.5f), "3 ms");
    EXPECT_EQ (text (ms, 2.49f), "2 ms");
    EXPECT_EQ (text (ms, -2.5f), "-3 ms");
}

TEST (ValueText, unitsAreComparedExactly)
{
    EXPECT_EQ (text (row (0, "MS"), 2.0f), "2.00 MS");
    EXPECT_EQ (text (row (0, ""), 2.0f), "2.00 ") << "empty unit: number and one space";
    EXPECT_EQ (text (row (0, nullptr), 2.0f), "2.00 ");
}

TEST (ValueText, discreteKindsUseNamesWhenTheyExist)
{
    static const char* const names[] = { "Off", "Low", "High", nullptr };

    for (int kind : { 1, 2 })
    {
        const auto named = row (kind, "dB", names);
        EXPECT_EQ (text (named, 0.0f), "Off");
        EXPECT_EQ (text (named, 1.5f), "High");
        EXPECT_EQ (text (named, 3.0f), "3") << "past the end of the list";
        EXPECT_EQ (text (named, -1.0f), "-1");
        EXPECT_EQ (text (named, 3e9f), "3000000000") << "no int overflow";

        const auto plain = row (kind, "dB");
        EXPECT_EQ (text (plain, 2.5f), "3");
        EXPECT_EQ (text (plain, 2.4f), "2");
    }
}

TEST (ValueText, notANumberGivesReadableText)
{
    EXPECT_EQ (text (row (0, "dB"), std::nanf ("")).substr (0, 3), "nan");
    EXPECT_EQ (text (row (0, "%"), std::nanf ("")), "nan%");
    EXPECT_EQ (VLParameterGetValueStr (nullptr, 1.0f), "");
}

//==================================================================================================
TEST (VLChangeView, startsInvisibleAndLetsClicksThrough)
{
    VLChangeView bubble;
    EXPECT_FALSE (bubble.shown);
    EXPECT_TRUE (bubble.text.isEmpty());
    EXPECT_EQ (bubble.alpha, 0.0f);
    EXPECT_EQ (bubble.getAlpha(), 0.0f);

    bool self = true, children = true;
    bubble.getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self);
    EXPECT_FALSE (children);

    // A click on the spot reaches the component below.
    juce::Component parent, below;
    parent.setBounds (0, 0, 100, 100);
    parent.setVisible (true);
    below.setBounds (0, 0, 100, 100);
    bubble.setBounds (10, 10, 42, 14);
    parent.addAndMakeVisible (below);
    parent.addAndMakeVisible (bubble);
    bubble.setAlpha (1.0f);
    EXPECT_EQ (parent.getComponentAt (20, 15), &below);
}

TEST (VLChangeView, drawsFillFrameAndText)
{
    ScopedFonts fonts;
    VLChangeView bubble;
    bubble.setBounds (0, 0, 42, 14);

    const auto fill = juce::Colour::fromFloatRGBA (0.15f, 0.15f, 0.17f, 1.0f);
    auto empty = render (bubble);
    EXPECT_EQ (empty.getPixelAt (2, 2), fill);
    EXPECT_EQ (empty.getPixelAt (21, 7), fill) << "an empty text draws only fill and frame";
    EXPECT_GT (empty.getPixelAt (0, 0).getBrightness(), 0.6f) << "light frame";

    bubble.text = "0.00 dB";
    auto withText = render (bubble);
    int lit = 0;
    for (int x = 2; x < 40; ++x)
        for (int y = 2; y < 12; ++y)
            lit += withText.getPixelAt (x, y).getBrightness() > 0.4f ? 1 : 0;
    EXPECT_GT (lit, 10) << "the text is drawn inside the frame";
}
