// The widget kit without a window: knobs, the high-pass selector, switches, reduction lamps, the
// level meter, value texts, images, fonts and the image button, driven by hand-made mouse events.

#include "EditorTestSupport.h"
#include "HPFilterKnob.h"
#include "Meters.h"
#include "VLChangeView.h"
#include "VLImageButton.h"
#include "VLReductionIndicator.h"
#include "VLSwitchImage.h"

#include <limits>
#include <type_traits>

using namespace EditorTest;

namespace
{
    const float notANumber = std::numeric_limits<float>::quiet_NaN();

    const auto degrees = [] (float radians) { return radians * 180.0f / 3.14159265f; };

    /** A widget reporting to a recorder, at (0, 0) with the given size; a knob gets its skew
        before its value, as the editor sets it up. */
    template <typename Widget>
    struct Wired
    {
        Recorder owner;
        Widget w;

        Wired (int id, int width, int height, float value, float skew = 1.0f)
        {
            if constexpr (std::is_same_v<Widget, VLKnob>)
                w.skew = skew;
            w.setParamId (id);
            w.setCallback (&owner);
            w.setBounds (0, 0, width, height);
            w.setValue (value);
        }

        void click (juce::Point<float> press, juce::Point<float> release)
        {
            w.mouseDown (mouseAt (w, press, press));
            w.mouseUp (mouseAt (w, release, press));
        }
    };

    juce::Image solidImage (int w, int h, juce::Colour colour, float scale = 1.0f)
    {
        juce::Image image (juce::Image::ARGB, w, h, true);
        image.clear (image.getBounds(), colour);
        VLGraphics::setImageScale (image, scale);
        return image;
    }
}

//==================================================================================================
TEST (Knob, positionAngleSentValueAndHitAreaFollowTheValueSkewAndBounds)
{
    // Out-of-range values are pinned; a negative one or NaN must not become NaN through the skew.
    // clang-format off
    const struct { float skew, value, position, degrees, sent; } cases[] = {
        { 1.0f, 0.0f, 0.0f, -225.0f, 0.0f },  { 1.0f, 1.0f, 1.0f, 45.0f, 1.0f },
        { 2.0f, 0.25f, 0.5f, -90.0f, 0.25f }, { 1.1f, 0.5f, 0.5325205f, -81.21945f, 0.5f },
        { 2.0f, -0.001f, 0.0f, -225.0f, 0.0f }, { 2.0f, notANumber, 0.0f, -225.0f, 0.0f }, { 2.0f, 1.5f, 1.0f, 45.0f, 1.0f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        Wired<VLKnob> k (11, 60, 60, c.value, c.skew);
        EXPECT_NEAR (k.w.getValue(), c.position, 1e-6f) << c.skew << " " << c.value;
        EXPECT_NEAR (degrees (k.w.getPointerAngle()), c.degrees, 1e-3f) << c.skew << " " << c.value;
        EXPECT_NEAR (k.w.getParameterValue(), c.sent, 1e-6f) << c.skew << " " << c.value;
    }

    // The pointer runs from 0.87 to 0.4 of the radius: straight up on a 60-pixel knob, y 4 to 18.
    Wired<VLKnob> k (11, 60, 60, 0.25f, 2.0f);
    k.w.pointerColour = juce::Colours::white;
    const auto up = render (k.w);
    EXPECT_TRUE (painted (up, 30, 5) && painted (up, 30, 17));
    EXPECT_FALSE (painted (up, 30, 2) || painted (up, 30, 20) || painted (up, 45, 30));

    // Clicks hit up to 10 pixels past the rim (strictly less), for the knob as for the selector.
    Wired<HPFilterKnob> selector (3, 45, 45, 0.5f);
    // clang-format off
    const struct { bool selector; int size, x, y; bool hits; } reach[] = {
        { false, 20, 0, 0, true },   { false, 20, 29, 10, true }, { false, 20, 30, 10, false }, { false, 20, 10, -10, false },
        { false, 60, 69, 30, true }, { false, 60, 70, 30, false }, { true, 45, 54, 22, true },  { true, 45, 55, 22, false },
    };
    // clang-format on
    for (const auto& c : reach)
    {
        EComponent& w = c.selector ? (EComponent&) selector.w : (EComponent&) k.w;
        w.setBounds (0, 0, c.size, c.size);   // the geometry follows the bounds, before any paint
        EXPECT_EQ (w.hitTest (c.x, c.y), c.hits) << c.size << ": " << c.x << ", " << c.y;
    }
}

TEST (Knob, dragWheelAndDoubleClickMoveThePositionAndSendTheValueThroughTheSkew)
{
    // A drag 'd' of the given pixels (negative: up), a wheel delta 'w' or a double-click '2' (to the
    // default 0.25); 0.45 / 70 of the travel per pixel, 0.2 per wheel unit, a tenth with Alt.
    // clang-format off
    const struct { float skew, start; char input; float amount; bool alt; float sent; } cases[] = {
        { 2.0f, 0.25f, 'd', -7.0f, false, 0.297025f }, { 1.0f, 0.5f, 'd', -10.0f, false, 0.5642857f },
        { 1.0f, 0.5f, 'd', -10.0f, true, 0.5064286f }, { 1.0f, 0.5f, 'w', 0.1f, false, 0.52f },
        { 1.0f, 0.5f, 'w', 0.1f, true, 0.502f },       { 1.0f, 0.5f, 'd', 500.0f, false, 0.0f },
        { 2.0f, 0.5f, 'd', -500.0f, false, 1.0f },     { 1.0f, 0.5f, 'w', -10.0f, false, 0.0f },
        { 2.0f, 0.9f, '2', 0.0f, false, 0.25f },
    };
    // clang-format on
    const Events wheelOrDoubleClick[] = { { "value 11" }, { "default? 11", "value 11" } };
    const Events drag { "beginGesture 11", "startChange 11", "value 11", "endChange 11", "endGesture 11" };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::string (1, c.input) + " " + std::to_string (c.amount) + (c.alt ? " alt" : ""));
        Wired<VLKnob> k (11, 60, 60, c.start, c.skew);
        k.owner.defaultValue = 0.25f;
        const auto mods = c.alt ? alt() : juce::ModifierKeys();
        if (c.input == 'w')
            k.w.mouseWheelMove (mouseAt (k.w, 10, 10, mods), wheel (c.amount));
        else if (c.input == '2')
            k.w.mouseDoubleClick (mouseAt (k.w, 10, 10));
        else
            pressDragRelease (k.w, 10, 100, 100 + c.amount, mods);

        EXPECT_EQ (k.owner.events, c.input == 'd' ? drag : wheelOrDoubleClick[c.input == '2']);
        ASSERT_EQ (k.owner.values.size(), 1u);
        EXPECT_NEAR (k.owner.values[0], c.sent, 1e-6f);
        EXPECT_TRUE ((c.sent != 0.0f && c.sent != 1.0f) || k.owner.values[0] == c.sent) << "held at exactly 0 or 1";
    }
}

TEST (Knob, countsOnlyTheMovementSinceTheLastEventAndBracketsItsDragInGestureAndChange)
{
    Wired<VLKnob> k (5, 23, 23, 0.5f);
    k.w.mouseEnter (mouseAt (k.w, 5, 5));
    k.w.mouseDown (mouseAt (k.w, 11, 11));
    for (auto p : { juce::Point<float> (11, 300), { 11, 400 }, { 50, 399 } })   // beyond the end, then 1 pixel back
        k.w.mouseDrag (mouseAt (k.w, p, { 11, 11 }));
    k.w.mouseUp (mouseAt (k.w, { 50, 399 }, { 11, 11 }));
    EXPECT_EQ (k.owner.values, (std::vector<float> { 0.0f, 0.0f, 0.45f / 70.0f }));
    EXPECT_EQ (k.owner.take(), (Events { "hoverStart 5", "beginGesture 5", "startChange 5", "value 5", "value 5",
                                         "value 5", "endChange 5", "endGesture 5" }));
}

//==================================================================================================
TEST (HighPassSelector, eachQuarterHasItsAngleEachPixelUpAddsAHundredthAndDoubleClickReturnsToOff)
{
    // clang-format off
    const struct { float value, degrees; } cases[] = {
        { 0.0f, -33.84f }, { 0.2499f, -33.84f }, { 0.25f, -12.51f }, { 0.4999f, -12.51f }, { 0.5f, 10.98f },
        { 0.75f, 35.55f }, { 1.0f, 35.55f }, { -1.0f, -33.84f }, { 2.0f, 35.55f },
    };
    // clang-format on
    Wired<HPFilterKnob> s (kHighPass, 45, 45, 0.0f);
    for (const auto& c : cases)
    {
        s.w.setValue (c.value);
        EXPECT_NEAR (degrees (s.w.getPointerAngle()), c.degrees, 0.01f) << "value " << c.value;
    }

    // On the editor's 45-pixel selector each pixel up adds a hundredth; no value bubble.
    s.w.setValue (VL_PARAMS[kHighPass].normalisedDefault());
    s.owner.defaultValue = s.w.getValue();
    s.w.mouseDown (mouseAt (s.w, 22, 30));
    s.w.mouseDrag (mouseAt (s.w, { 22, 21 }, { 22, 30 }));   // 9 up
    EXPECT_NEAR (s.owner.values.back(), 0.24789473f, 1e-6f);
    EXPECT_NEAR (degrees (s.w.getPointerAngle()), -33.84f, 0.01f) << "still off";
    s.w.mouseDrag (mouseAt (s.w, { 22, 20 }, { 22, 30 }));   // one more
    EXPECT_NEAR (s.owner.values.back(), 0.25789473f, 1e-6f);
    EXPECT_NEAR (degrees (s.w.getPointerAngle()), -12.51f, 0.01f) << "jumps to 20 Hz";
    s.w.mouseUp (mouseAt (s.w, { 22, 20 }, { 22, 30 }));
    s.click ({ 22, 22 }, { 22, 22 });
    EXPECT_EQ (s.owner.take(),
               (Events { "beginGesture 3", "value 3", "value 3", "endGesture 3", "beginGesture 3", "endGesture 3" }))
        << "a click sends no value";

    s.w.setValue (0.5f);
    pressDragRelease (s.w, 22, 30, 20, alt());
    EXPECT_NEAR (s.w.getValue(), 0.51f, 1e-6f) << "Alt: a tenth";
    pressDragRelease (s.w, 22, 1000, -1000);
    EXPECT_EQ (s.w.getValue(), 1.0f);
    s.owner.clear();
    s.w.mouseDoubleClick (mouseAt (s.w, 22, 22));
    s.w.mouseWheelMove (mouseAt (s.w, 22, 22), wheel (0.5f));
    EXPECT_EQ (s.owner.take(), (Events { "default? 3", "value 3", "value 3" }));
    EXPECT_NEAR (s.w.getValue(), 0.25789473f, 1e-6f) << "off (0.15789473), then 0.1 further";

    // Disabled: only hover, and no gesture end without a gesture.
    s.w.setEnabled (false);
    s.w.mouseEnter (mouseAt (s.w, 1, 1));
    pressDragRelease (s.w, 22, 22, 0);
    s.w.mouseDoubleClick (mouseAt (s.w, 22, 22));
    s.w.mouseWheelMove (mouseAt (s.w, 22, 22), wheel (0.5f));
    s.w.mouseExit (mouseAt (s.w, 99, 99));
    EXPECT_EQ (s.owner.events, (Events { "hoverStart 3", "hoverEnd 3" }));
}

//==================================================================================================
TEST (Switch, drawsItsStateTogglesOnAReleaseInsideDimsWhilePressedAndEndsAGestureWhenDisabledMidway)
{
    Wired<VLSwitchImage> s (19, 60, 15, 0.5f);
    s.w.onImage = solidImage (6, 6, juce::Colours::red);
    s.w.offImage = solidImage (6, 6, juce::Colours::blue);
    for (auto [value, colour] :
         { std::pair (1.0f, juce::Colours::red), { 0.5f, juce::Colours::blue }, { 0.51f, juce::Colours::red } })
    {
        s.w.setValue (value);
        EXPECT_EQ (render (s.w).getPixelAt (1, 1), colour) << value << ": above 0.5 is on";
        EXPECT_FALSE (painted (render (s.w), 10, 10)) << "the image keeps its own size";
    }

    s.w.setValue (0.5f);
    s.click ({ 30, 7 }, { 59, 14 });   // released on the last pixel inside
    EXPECT_EQ (s.owner.take(), (Events { "beginGesture 19", "value 19", "endGesture 19" }));
    EXPECT_EQ (s.w.getValue(), 1.0f);
    for (auto p : { juce::Point<float> (60, 7), { 30, 15 }, { -1, 7 }, { 30, -1 } })
    {
        s.click ({ 30, 7 }, p);
        EXPECT_EQ (s.owner.take(), (Events { "beginGesture 19", "endGesture 19" })) << p.toString();
        EXPECT_EQ (s.w.getValue(), 1.0f);
    }

    for (bool dim : { true, false })
    {
        s.w.dimWhenPressed = dim;
        s.w.mouseDown (mouseAt (s.w, 3, 3));
        EXPECT_NEAR (s.w.getAlpha(), dim ? 0.5f : 1.0f, 1.0f / 255.0f);
        s.w.mouseUp (mouseAt (s.w, 90, 3));
        EXPECT_EQ (s.w.getAlpha(), 1.0f);
    }

    // Hover is reported, nothing else; disabled while pressed, it ends the gesture without a toggle.
    s.owner.clear();
    s.w.mouseEnter (mouseAt (s.w, 3, 3));
    s.w.mouseExit (mouseAt (s.w, 90, 3));
    s.w.mouseDrag (mouseAt (s.w, 3, 3));
    s.w.mouseDoubleClick (mouseAt (s.w, 3, 3));
    s.w.mouseWheelMove (mouseAt (s.w, 3, 3), wheel (1.0f));
    s.w.mouseDown (mouseAt (s.w, 3, 3));
    s.w.setEnabled (false);
    s.w.mouseUp (mouseAt (s.w, 3, 3));
    s.click ({ 3, 3 }, { 3, 3 });
    EXPECT_EQ (s.owner.events, (Events { "hoverStart 19", "hoverEnd 19", "beginGesture 19", "endGesture 19" }));
    EXPECT_EQ (s.w.getValue(), 1.0f);
    EXPECT_EQ (s.w.getAlpha(), 1.0f);
}

TEST (ReductionLamp, brightnessFollowsTheReduction)
{
    VLReductionIndicator lamp;
    const juce::Colour lit (0xff00ff00);
    lamp.inactiveImage = solidImage (6, 6, juce::Colours::black);
    lamp.activeImage = solidImage (6, 6, lit);
    lamp.setBounds (0, 0, 6, 6);

    // reduction, lit image's opacity, red alpha, the centre's red and green (-1: not drawn)
    // clang-format off
    const struct { float reduction, active, red; int r, g; } cases[] = {
        { 1.5f, 0.0f, 0.0f, -1, -1 }, { 1.0f, 0.0f, 0.0f, 0, 0 },      { 0.75f, 0.5f, 0.0f, 0, 128 },
        { 0.5f, 1.0f, 0.0f, 0, 255 }, { 0.25f, 1.0f, 0.5f, 128, 127 }, { 0.0f, 1.0f, 1.0f, 255, 0 },
        { -1.0f, 1.0f, 1.0f, -1, -1 },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        EXPECT_EQ (VLReductionIndicator::activeOpacityFor (c.reduction), c.active) << c.reduction;
        EXPECT_EQ (VLReductionIndicator::redAlphaFor (c.reduction), c.red) << c.reduction;
        lamp.displayedReduction = c.reduction;
        const auto centre = render (lamp).getPixelAt (3, 3);
        EXPECT_TRUE (c.r < 0 || (std::abs (centre.getRed() - c.r) <= 2 && std::abs (centre.getGreen() - c.g) <= 2))
            << c.reduction << ": " << centre.toDisplayString (false);
    }
    EXPECT_EQ (render (lamp).getPixelAt (0, 0), lit) << "the red disc is inset by a pixel";
}

//==================================================================================================
TEST (Meters, scaleIsNinePixelsPerMarkBarRisesAtOnceFallsThreeTenthsPerCallPeakHoldsThirtyCalls)
{
    // clang-format off
    const struct { float db, pixels; } cases[] = {
        { -60, 0 }, { -46, 9 }, { -32, 18 }, { -18, 27 }, { -12, 36 }, { -9, 45 }, { -6, 54 }, { -3, 63 },
        { 0, 72 }, { 3, 81 }, { 6, 90 }, { 9, 99 }, { -53, 4.5f }, { -1.5f, 67.5f }, { -100, -25.714285f }, { 10, 102 },
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_NEAR (Meters::positionForDb (c.db), c.pixels, 1e-4f) << c.db << " dB";

    Meters m;
    EXPECT_EQ (m.levelLeft, -100.0f) << "starts at the floor";

    // A steady input alternates: an equal level falls, the next call lifts it back; the peak
    // holds 31 calls, dips 2 dB once and is held again: once every 32 calls.
    for (int call = 1; call <= 33; ++call)
    {
        m.setValuesInDb (-20.0f, -10.0f);
        ASSERT_NEAR (m.levelLeft, call % 2 == 1 ? -20.0f : -20.3f, 1e-5f) << call;
        ASSERT_NEAR (m.levelRight, call % 2 == 1 ? -10.0f : -10.3f, 1e-5f) << call;
        ASSERT_EQ (m.peakLeft, call == 32 ? -22.0f : -20.0f) << call;
    }
    EXPECT_EQ (m.holdLeft, 30);

    m.setValuesInDb (notANumber, 10.0f);   // NaN counts as silence, +10 dB as +6
    EXPECT_NEAR (m.levelLeft, -20.3f, 1e-5f);
    EXPECT_EQ (std::make_pair (m.levelRight, m.peakRight), std::make_pair (6.0f, 6.0f));

    // A burst at 0 dB, then silence: the peak holds 30 calls and falls for 50, the bar reaches
    // the floor 334 calls after the burst, and neither goes below it.
    m.reset();
    m.setValuesInDb (0.0f, 0.0f);
    int peakAtFloor = 0, levelAtFloor = 0;
    for (int call = 1; call <= 400; ++call)
    {
        m.setValuesInDb (-100.0f, -100.0f);
        peakAtFloor = peakAtFloor == 0 && m.peakLeft <= -100.0f ? call : peakAtFloor;
        levelAtFloor = levelAtFloor == 0 && m.levelLeft <= -100.0f ? call : levelAtFloor;
    }
    EXPECT_EQ (std::make_pair (peakAtFloor, levelAtFloor), std::make_pair (80, 334));
    EXPECT_EQ (std::make_pair (m.levelLeft, m.peakLeft), std::make_pair (-100.0f, -100.0f));
}

TEST (Meters, barsAndTicksAreGreenUpToZeroAndRedAbove)
{
    Meters m;
    m.setBounds (0, 0, 28, 91);
    const auto green = juce::Colour::fromFloatRGBA (0.15f, 0.42f, 0.24f, 1.0f);
    m.levelLeft = m.peakLeft = 0.0f;   // 72 pixels: bar top and tick at y = 19
    m.levelRight = 6.0f;               // 90 pixels, red above y = 19
    m.peakRight = 1.5f;                // tick at y = 91 - 76.5
    const auto image = render (m);

    for (int x : { 1, 2, 24, 25 })
        EXPECT_EQ (image.getPixelAt (x, 50), green) << "bars at x 1, 2 and 24, 25 (centred on w - 3)";
    EXPECT_FALSE (painted (image, 1, 15) || painted (image, 23, 50) || painted (image, 26, 50)
                  || painted (image, 14, 50));
    EXPECT_EQ (image.getPixelAt (25, 10), juce::Colour::fromFloatRGBA (0.94f, 0.36f, 0.31f, 1.0f));
    EXPECT_NEAR (image.getPixelAt (2, 18).getGreen(), green.getGreen(), 3) << "a tick at exactly 0 dB stays green";
    EXPECT_GT (image.getPixelAt (25, 14).getRed(), image.getPixelAt (25, 14).getGreen()) << "right tick is red";
}

//==================================================================================================
TEST (ValueText, eachUnitAndThresholdAsTabled)
{
    const char* const names[] = { "Off", "Low", "High", nullptr };
    // clang-format off
    const struct { int kind; const char* unit; float value; const char* expected; } cases[] = {
        { 0, "dB", 0.0f, "0.00 dB" },    { 0, "dB", -24.0f, "-24.0 dB" }, { 0, "dB", 12.0f, "12.0 dB" },  { 0, "Hz", 80.0f, "80.0 Hz" },
        { 0, "Hz", 500.0f, "500 Hz" },   { 0, "Hz", 12500.0f, "12500 Hz" },
        // Thresholds apply to the unrounded value; halves round away from zero; the sign survives.
        { 0, "dB", 9.999f, "10.00 dB" }, { 0, "Hz", 99.96f, "100.0 Hz" }, { 0, "Hz", 100.4f, "100 Hz" },   { 0, "Hz", 100.5f, "101 Hz" },
        { 0, "dB", -100.5f, "-101 dB" }, { 0, "dB", -9.5f, "-9.50 dB" },  { 0, "dB", -10.0f, "-10.0 dB" }, { 0, "dB", 10.0f, "10.0 dB" },
        { 0, "dB", -0.004f, "-0.00 dB" },
        // Percent is a fraction rounded in single precision; a whole number has no negative zero.
        { 0, "%", 1.0f, "100%" },        { 0, "%", 0.257f, "26%" },       { 0, "%", 0.5f, "50%" },        { 0, "%", 0.005f, "1%" },
        { 0, "%", 0.0049f, "0%" },       { 0, "%", -0.004f, "0%" },       { 0, "ms", 2.5f, "3 ms" },      { 0, "ms", 2.49f, "2 ms" },
        { 0, "ms", -2.5f, "-3 ms" },
        // Units are compared exactly; no unit gives the number and one space.
        { 0, "MS", 2.0f, "2.00 MS" },    { 0, "", 2.0f, "2.00 " },        { 0, nullptr, 2.0f, "2.00 " },  { 0, "%", notANumber, "nan%" },
        // Discrete kinds (kind + 10: with value names) use the names where they exist, else the
        // rounded number, without int overflow.
        { 11, "dB", 0.0f, "Off" },        { 12, "dB", 1.5f, "High" },        { 11, "dB", 3.0f, "3" },
        { 12, "dB", -1.0f, "-1" },        { 11, "dB", 3e9f, "3000000000" },  { 12, "dB", 3e9f, "3000000000" },
        { 1, "dB", 2.5f, "3" },           { 2, "dB", 2.4f, "2" },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        const VLParameterInfo info { 0,    c.kind % 10, 0.0f,   1.0f,   0.0f,
                                     0.0f, "Test",      c.unit, "Test", c.kind > 10 ? names : nullptr };
        EXPECT_EQ (VLParameterGetValueStr (&info, c.value), c.expected)
            << "kind " << c.kind << " unit " << (c.unit ? c.unit : "null") << " value " << c.value;
    }
    EXPECT_EQ (VLParameterGetValueStr (nullptr, 1.0f), "");
}

//==================================================================================================
TEST (Images, loadAtTheDisplaysDensityDrawAtTheir1xSizeAndTheButtonDimsWhilePressedOrDimmed)
{
    for (double scale : { 1.0, 1.5, 2.0 })
    {
        const auto image = VLGraphics::GetImage ("main", scale);
        const int factor = scale > 1.0 ? 2 : 1;
        EXPECT_EQ (image.getBounds(), juce::Rectangle<int> (800 * factor, 250 * factor)) << scale;
        EXPECT_EQ (VLGraphics::getImageScale (image), (float) factor) << scale;
        EXPECT_EQ (VLGraphics::getDrawnBounds (image), juce::Rectangle<float> (800.0f, 250.0f))
            << "never grows: " << scale;
    }

    // A 2x image covers its 1x footprint: 10 x 10 at (3, 4) for 20 x 20 pixels.
    juce::Image target (juce::Image::ARGB, 30, 30, true);
    juce::Graphics g (target);
    VLGraphics::DrawImageAt (g, solidImage (20, 20, juce::Colours::white, 2.0f), 3, 4, 1.0f);
    EXPECT_TRUE (painted (target, 3, 4) && painted (target, 12, 13));
    EXPECT_FALSE (painted (target, 13, 8) || painted (target, 8, 14) || painted (target, 2, 4));

    // The image button, as the banner's arrows use it: its image centred at its 1x size.
    struct : VLImageButton::Delegate
    {
        int clicks = 0;
        void buttonClicked (VLImageButton*) override { ++clicks; }
    } owner;

    VLImageButton button;
    button.image = solidImage (6, 12, juce::Colours::white, 2.0f);   // 3 x 6 at 1x, like the arrows
    button.delegate = &owner;
    button.setBounds (0, 0, 24, 20);
    const auto image = render (button);
    EXPECT_EQ (image.getPixelAt (12, 10).getAlpha(), 255);
    EXPECT_TRUE (painted (image, 11, 8) && ! painted (image, 14, 10) && ! painted (image, 12, 14)) << "centred, 3 x 6";

    button.dimmed = true;
    EXPECT_NEAR (render (button).getPixelAt (12, 10).getAlpha(), 128, 1);
    clickAt (button, 5, 5);
    button.mouseDown (mouseAt (button, 5, 5));
    button.mouseUp (mouseAt (button, { 24, 5 }, { 5, 5 }));
    EXPECT_EQ (owner.clicks, 1) << "a dimmed button clicks on a release inside only";

    button.dimmed = false;
    button.mouseDown (mouseAt (button, 5, 5));
    EXPECT_EQ (button.getDrawnOpacity(), 0.5f);
    button.mouseUp (mouseAt (button, { 23, 19 }, { 5, 5 }));
    EXPECT_EQ (std::make_pair (button.getDrawnOpacity(), owner.clicks), std::make_pair (1.0f, 2));
}

TEST (Fonts, editorsShareOneSetOfTheEmbeddedFaceUntilTheLastLetsGo)
{
    ASSERT_EQ (FontManager::getInstance(), nullptr);
    EXPECT_GT (FontManager::uiFont (12.0f).getHeight(), 0.0f) << "usable without a shared set";

    const juce::Font dropped ("Dropped Face", 30.0f, juce::Font::plain);
    auto* shared = FontManager::createFromEmbeddedFont();
    EXPECT_EQ (FontManager::create (dropped, dropped, dropped), shared);
    EXPECT_EQ (FontManager::uiFont (12.0f).getTypefaceName(), "Arimo") << "the second set is dropped";
    EXPECT_EQ (FontManager::uiFont (11.0f).getHeight(), 11.0f);

    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), shared) << "the other editor still holds the fonts";
    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), nullptr);

    FontManager::destroy();   // unmatched: ignored, and no debt left behind
    EXPECT_NE (FontManager::createFromEmbeddedFont(), nullptr);
    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), nullptr);
}
