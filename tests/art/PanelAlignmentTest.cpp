// The background panel against the widgets drawn over it: every pointer line must stand out from
// the knob body under it over the whole travel, scale ticks must lie where the pointers point,
// and the meter's bars need dark channels centred on them.

#include "EditorLayout.h"
#include "KnobGeometry.h"
#include "Meters.h"
#include "VLParameterInfo.h"

#include <BinaryData.h>
#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <algorithm>
#include <cmath>

namespace
{
namespace L = EditorLayout;

/** Brightness of the panel at a point given in editor (1x) coordinates. */
float brightnessAt (const juce::Image& image, int scale, float x, float y)
{
    return image.getPixelAt ((int) std::floor (x * (float) scale), (int) std::floor (y * (float) scale))
        .getPerceivedBrightness();
}

struct KnobCircle { float cx, cy, r; };

KnobCircle circleOf (const L::Place& p)
{
    return { (float) p.x + KnobGeometry::knobCentreX (p.w), (float) p.y + KnobGeometry::knobCentreY (p.h),
             KnobGeometry::knobRadius (p.w) };
}

/** Brightest panel pixel on the ray at `angle` between the two distances from the centre. */
float brightestOnRay (const juce::Image& image, int scale, const KnobCircle& k, float angle, float from, float to)
{
    float best = 0.0f;
    for (float d = from; d <= to; d += 0.25f)
        best = std::max (best, brightnessAt (image, scale, k.cx + d * std::cos (angle), k.cy + d * std::sin (angle)));
    return best;
}

class PanelAlignment : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int s = 1; s <= 2; ++s)
        {
            int size = 0;
            const char* data = BinaryData::getNamedResource (s == 2 ? "main2x_png" : "main_png", size);
            ASSERT_NE (data, nullptr);
            images[s - 1] = juce::ImageFileFormat::loadFrom (data, (size_t) size);
        }
    }

    /** Checks the body under a pointer at one angle, at both scales. */
    void expectContrast (const L::Place& place, float angle, bool whitePointer, const char* what)
    {
        const auto k = circleOf (place);
        const auto line = KnobGeometry::pointerLine (k.cx, k.cy, k.r, angle);

        for (int s = 1; s <= 2; ++s)
            for (int i = 1; i < 10; ++i)
            {
                const float t = (float) i / 10.0f;
                const float b = brightnessAt (images[s - 1], s, line.x1 + (line.x2 - line.x1) * t,
                                              line.y1 + (line.y2 - line.y1) * t);
                EXPECT_TRUE (whitePointer ? b < 0.45f : b > 0.55f)
                    << what << " " << place.paramIndex << " at " << s << "x: brightness " << b;
            }
    }

    juce::Image images[2];
};

TEST_F (PanelAlignment, everyPointerContrastsWithTheKnobBodyOverTheWholeTravel)
{
    for (const auto& place : L::parameterPlaces)
    {
        if (place.kind == L::WidgetKind::knob)
        {
            for (int i = 0; i <= 20; ++i)
                expectContrast (place, KnobGeometry::pointerAngle ((float) i / 20.0f), place.whitePointer, "knob");
        }
        else if (place.kind == L::WidgetKind::highPassKnob)
        {
            for (int q = 0; q < 4; ++q)
                expectContrast (place, KnobGeometry::highPassAngleForQuarter (q), false, "high-pass position");
        }
    }
}

TEST_F (PanelAlignment, frequencyKnobsAtTheirDefaultsPointAtAScaleTick)
{
    // Each frequency knob's default (80 Hz, 7 kHz, 500 Hz, 1.2 kHz) is marked on its scale; with
    // the knob's skew the pointer must meet that mark, at both scales.
    for (int param : { kLowShelfFrequency, kHighShelfFrequency, kLowMidFreq, kHighMidFreq })
    {
        const auto& place = L::parameterPlaces[param];
        const auto k = circleOf (place);
        const float angle = KnobGeometry::pointerAngleForValue (VL_PARAMS[param].normalisedDefault(), place.skew);

        for (int s = 1; s <= 2; ++s)
        {
            const float onTick = brightestOnRay (images[s - 1], s, k, angle, k.r + 3.0f, k.r + 4.5f);
            EXPECT_GT (onTick, 0.45f) << "no tick under the default pointer of parameter " << param << " at " << s << "x";
        }

        // A skew error of a few degrees would miss the tick: 4 degrees off the default there is none.
        const float off = brightestOnRay (images[1], 2, k, angle + (float) (4.0 * KnobGeometry::pi / 180.0),
                                          k.r + 3.0f, k.r + 4.5f);
        EXPECT_LT (off, 0.45f) << "parameter " << param;
    }
}

TEST_F (PanelAlignment, highPassSelectorHasAMarkAtEachOfItsFourPositions)
{
    const auto k = circleOf (L::parameterPlaces[kHighPass]);
    for (int q = 0; q < 4; ++q)
        for (int s = 1; s <= 2; ++s)
            EXPECT_GT (brightestOnRay (images[s - 1], s, k, KnobGeometry::highPassAngleForQuarter (q), k.r + 2.5f, k.r + 5.0f),
                       0.45f)
                << "position " << q << " at " << s << "x";
}

TEST_F (PanelAlignment, meterBarsRunInDarkChannelsCentredOnThem)
{
    // The channels are the only green-tinted pixels in the meter's well.
    const auto greenTinted = [] (juce::Colour c) { return c.getGreen() > c.getRed() && c.getGreen() > c.getBlue(); };
    const auto& m = L::levelMeter;
    const float centres[] = { (float) m.x + Meters::leftBarCentre, (float) m.x + Meters::rightBarCentre ((float) m.w) };
    EXPECT_EQ (centres[1], 746.0f);

    for (int s = 1; s <= 2; ++s)
        for (int y = m.y; y < m.y + m.h; ++y)
            for (float centre : centres)
            {
                for (float x : { centre - 0.5f, centre + 0.5f })
                    EXPECT_LT (brightnessAt (images[s - 1], s, x, (float) y + 0.5f), 0.2f) << x << ", " << y << " at " << s << "x";

                int first = -1, last = -1;
                for (int px = (int) ((centre - 5.0f) * (float) s); px < (int) ((centre + 5.0f) * (float) s); ++px)
                    if (greenTinted (images[s - 1].getPixelAt (px, y * s)))
                        last = px, first = first < 0 ? px : first;

                ASSERT_GE (first, 0) << "no channel at x " << centre << ", y " << y << " at " << s << "x";
                EXPECT_EQ ((float) (first + last + 1) / (2.0f * (float) s), centre) << "channel of the bar at x " << centre
                                                                                   << ", y " << y << " at " << s << "x";
            }
}
}
