#include "EditorTestSupport.h"
#include "VLChangeView.h"
#include "VLParameterInfo.h"

#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{
    const char* const names[] = { "Off", "Low", "High", nullptr };

    std::string text (int kind, const char* unit, float v, const char* const* n = nullptr)
    {
        const VLParameterInfo info { 0, kind, 0.0f, 1.0f, 0.0f, 0.0f, "Test", unit, "Test", n };
        return VLParameterGetValueStr (&info, v);
    }
}

TEST (ValueText, eachUnitAndThresholdAsTabled)
{
    const struct { int kind; const char* unit; float value; bool named; const char* expected; } cases[] = {
        { 0, "dB", 0.0f, false, "0.00 dB" },      { 0, "dB", -24.0f, false, "-24.0 dB" },
        { 0, "dB", 12.0f, false, "12.0 dB" },     { 0, "Hz", 80.0f, false, "80.0 Hz" },
        { 0, "Hz", 500.0f, false, "500 Hz" },     { 0, "Hz", 12500.0f, false, "12500 Hz" },
        // Thresholds apply to the unrounded value; halves round away from zero; the sign survives.
        { 0, "dB", 9.999f, false, "10.00 dB" },   { 0, "Hz", 99.96f, false, "100.0 Hz" },
        { 0, "Hz", 100.4f, false, "100 Hz" },     { 0, "Hz", 100.5f, false, "101 Hz" },
        { 0, "dB", -100.5f, false, "-101 dB" },   { 0, "dB", -9.5f, false, "-9.50 dB" },
        { 0, "dB", -10.0f, false, "-10.0 dB" },   { 0, "dB", -0.004f, false, "-0.00 dB" },
        // Percent is a fraction rounded in single precision; a whole number has no negative zero.
        { 0, "%", 1.0f, false, "100%" },          { 0, "%", 0.257f, false, "26%" },
        { 0, "%", 0.5f, false, "50%" },           { 0, "%", 0.005f, false, "1%" },
        { 0, "%", 0.0049f, false, "0%" },         { 0, "%", -0.004f, false, "0%" },
        { 0, "ms", 2.5f, false, "3 ms" },         { 0, "ms", 2.49f, false, "2 ms" },
        { 0, "ms", -2.5f, false, "-3 ms" },
        // Units are compared exactly; no unit gives the number and one space.
        { 0, "MS", 2.0f, false, "2.00 MS" },      { 0, "", 2.0f, false, "2.00 " },
        { 0, nullptr, 2.0f, false, "2.00 " },     { 0, "%", std::nanf (""), false, "nan%" },
        // Discrete kinds use the names where they exist, else the rounded number (no int overflow).
        { 1, "dB", 0.0f, true, "Off" },           { 2, "dB", 1.5f, true, "High" },
        { 1, "dB", 3.0f, true, "3" },             { 2, "dB", -1.0f, true, "-1" },
        { 1, "dB", 3e9f, true, "3000000000" },    { 2, "dB", 3e9f, true, "3000000000" },
        { 1, "dB", 2.5f, false, "3" },            { 2, "dB", 2.4f, false, "2" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (text (c.kind, c.unit, c.value, c.named ? names : nullptr), c.expected)
            << "kind " << c.kind << " unit " << (c.unit ? c.unit : "null") << " value " << c.value;

    EXPECT_EQ (text (0, "dB", std::nanf ("")).substr (0, 3), "nan");
    EXPECT_EQ (VLParameterGetValueStr (nullptr, 1.0f), "");
}

//==================================================================================================
TEST (VLChangeView, startsInvisibleAndLetsClicksThrough)
{
    VLChangeView bubble;
    EXPECT_FALSE (bubble.shown);
    EXPECT_EQ (bubble.getAlpha(), 0.0f);

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

    auto empty = render (bubble);
    EXPECT_EQ (empty.getPixelAt (21, 7), juce::Colour::fromFloatRGBA (0.15f, 0.15f, 0.17f, 1.0f));
    EXPECT_GT (empty.getPixelAt (0, 0).getBrightness(), 0.6f) << "light frame";

    bubble.text = "0.00 dB";
    auto withText = render (bubble);
    int lit = 0;
    for (int x = 2; x < 40; ++x)
        for (int y = 2; y < 12; ++y)
            lit += withText.getPixelAt (x, y).getBrightness() > 0.4f ? 1 : 0;
    EXPECT_GT (lit, 10) << "the text is drawn inside the frame";
}
