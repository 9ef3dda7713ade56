#include "PanelArt.h"

#include "ArtKit.h"
#include "EditorLayout.h"
#include "KnobGeometry.h"
#include "Meters.h"
#include "VLParameterInfo.h"

#include <cmath>
#include <limits>
#include <vector>

namespace PanelArt
{
namespace
{
using ArtKit::Align;
namespace L = EditorLayout;

//==================================================================================================
// Palette

const juce::Colour chassisColour { 0xff121315 };
const juce::Colour plateTop { 0xff3d4046 };
const juce::Colour plateBottom { 0xff2a2c30 };
const juce::Colour captionColour { 0xffebe6d9 };
const juce::Colour titleColour { 0xfff4f1ea };
const juce::Colour labelColour { 0xffb9bdc2 };
const juce::Colour tickColour { 0xff9ca1a8 };
const juce::Colour amberColour { 0xffe0a040 };

constexpr float titleHeight = 10.0f;
constexpr float captionHeight = 9.0f;
constexpr float bigLabelHeight = 9.0f;
constexpr float smallLabelHeight = 8.5f;
constexpr float captionTracking = 0.08f;

//==================================================================================================
// Geometry helpers

struct Knob
{
    float cx, cy, r;
};

Knob knobAt (const L::Place& place)
{
    return { (float) place.x + (float) place.w * 0.5f, (float) place.y + (float) place.h * 0.5f,
             (float) place.w * 0.5f };
}

Knob knobFor (int param)
{
    return knobAt (L::parameterPlaces[param]);
}

juce::Point<float> polar (const Knob& k, float distance, float angle)
{
    return { k.cx + distance * std::cos (angle), k.cy + distance * std::sin (angle) };
}

float normalised (int param, float real)
{
    const auto& info = VL_PARAMS[param];
    return (real - info.min) / (info.max - info.min);
}

/** Pointer angle of a parameter's knob for a value in real units. */
float angleFor (int param, float real)
{
    return KnobGeometry::pointerAngleForValue (normalised (param, real), L::parameterPlaces[param].skew);
}

/** Draws a label outside a knob so that the edge of its text box nearest to the knob lies at
    `edgeDistance` from the centre, along the pointer's direction for that value. */
void labelAt (juce::Graphics& g, const Knob& k, const juce::String& text, float height, float angle, float edgeDistance,
              juce::Colour colour)
{
    const float w = ArtKit::textWidth (text, height);
    const float h = ArtKit::capHeight (height);
    const float c = std::cos (angle);
    const float s = std::sin (angle);
    constexpr float inf = std::numeric_limits<float>::max();
    const float alongX = std::abs (c) > 1.0e-4f ? (w * 0.5f) / std::abs (c) : inf;
    const float alongY = std::abs (s) > 1.0e-4f ? (h * 0.5f) / std::abs (s) : inf;
    const float d = edgeDistance + std::min (alongX, alongY);
    ArtKit::drawText (g, text, height, k.cx + d * c, k.cy + d * s + h * 0.5f, Align::centre, colour);
}

void tick (juce::Graphics& g, const Knob& k, float angle, float from, float to, float thickness, juce::Colour colour)
{
    g.setColour (colour);
    g.drawLine (juce::Line<float> (polar (k, from, angle), polar (k, to, angle)), thickness);
}

void scaleArc (juce::Graphics& g, const Knob& k, float radius, float thickness, juce::Colour colour)
{
    // Path arcs count clockwise from twelve o'clock; pointer angles from three o'clock.
    const float a0 = KnobGeometry::pointerAngle (0.0f) + (float) (KnobGeometry::pi / 2.0);
    const float a1 = KnobGeometry::pointerAngle (1.0f) + (float) (KnobGeometry::pi / 2.0);
    juce::Path arc;
    arc.addCentredArc (k.cx, k.cy, radius, radius, 0.0f, a0, a1, true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::butt));
}

//==================================================================================================
// Scales

struct ScaleLabel
{
    float real;
    const char* text;
};

struct KnobScale
{
    int param;
    std::vector<ScaleLabel> labels;
    std::vector<float> minorTicks;   ///< real units
};

/** The 270-degree scale of a large knob: an arc, long ticks at the labelled values, short ones
    between them, and the labels where the pointer points for those values. */
void drawLargeScale (juce::Graphics& g, const KnobScale& scale)
{
    const auto k = knobFor (scale.param);
    const float arcRadius = k.r + 2.5f;
    scaleArc (g, k, arcRadius, 0.8f, tickColour.withAlpha (0.55f));

    for (float v : scale.minorTicks)
        tick (g, k, angleFor (scale.param, v), arcRadius, arcRadius + 2.2f, 0.8f, tickColour.withAlpha (0.8f));

    for (const auto& label : scale.labels)
    {
        const float angle = angleFor (scale.param, label.real);
        tick (g, k, angle, arcRadius, arcRadius + 3.5f, 1.0f, tickColour);
        labelAt (g, k, label.text, bigLabelHeight, angle, arcRadius + 5.0f, labelColour);
    }
}

/** The scale of a small knob: ticks close to the body and a few labels. */
void drawSmallScale (juce::Graphics& g, const KnobScale& scale)
{
    const auto k = knobFor (scale.param);
    const float inner = k.r + 1.5f;

    for (float v : scale.minorTicks)
        tick (g, k, angleFor (scale.param, v), inner, inner + 1.8f, 0.8f, tickColour.withAlpha (0.75f));

    for (const auto& label : scale.labels)
    {
        const float angle = angleFor (scale.param, label.real);
        tick (g, k, angle, inner, inner + 3.0f, 1.0f, tickColour);
        labelAt (g, k, label.text, smallLabelHeight, angle, inner + 4.5f, labelColour);
    }
}

//==================================================================================================
// Knob bodies

/** The large dark frequency knob: knurled skirt, chamfered cap, lit from above. */
void drawDarkKnob (juce::Graphics& g, const Knob& k)
{
    const auto circle = [&k] (float radius)
    { return juce::Rectangle<float> (k.cx - radius, k.cy - radius, radius * 2.0f, radius * 2.0f); };

    ArtKit::ellipseShadow (g, circle (k.r), 3.0f, 2.0f, 0.75f);

    // Skirt.
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff34373c), k.cx, k.cy - k.r, juce::Colour (0xff0c0d0f),
                                             k.cx, k.cy + k.r, false));
    g.fillEllipse (circle (k.r));

    // Knurling around the skirt.
    constexpr int ridges = 48;
    for (int i = 0; i < ridges; ++i)
    {
        const float angle = (float) i * juce::MathConstants<float>::twoPi / (float) ridges;
        const float light = 0.5f - 0.5f * std::sin (angle);   // brighter at the top
        tick (g, k, angle, k.r * 0.905f, k.r - 0.4f, 0.9f,
              (i % 2 == 0 ? juce::Colours::white.withAlpha (0.05f + 0.10f * light)
                          : juce::Colours::black.withAlpha (0.45f)));
    }

    g.setColour (juce::Colours::black.withAlpha (0.9f));
    g.drawEllipse (circle (k.r - 0.5f), 1.0f);

    // Cap with a chamfer catching the light.
    const float cap = k.r * 0.9f;
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff5a5e65), k.cx, k.cy - cap, juce::Colour (0xff17181b),
                                             k.cx, k.cy + cap, false));
    g.fillEllipse (circle (cap));

    const float face = k.r * 0.8f;
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff26282c), k.cx, k.cy - face, juce::Colour (0xff383b41),
                                             k.cx, k.cy + face, false));
    g.fillEllipse (circle (face));

    // A soft sheen on the face.
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.07f), k.cx - face * 0.3f,
                                             k.cy - face * 0.6f, juce::Colours::transparentWhite, k.cx,
                                             k.cy + face * 0.2f, true));
    g.fillEllipse (circle (face));

    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.drawEllipse (circle (face), 0.6f);
}

/** A light aluminium knob (small controls and the high-pass selector). */
void drawLightKnob (juce::Graphics& g, const Knob& k, bool fluted)
{
    const auto circle = [&k] (float radius)
    { return juce::Rectangle<float> (k.cx - radius, k.cy - radius, radius * 2.0f, radius * 2.0f); };

    ArtKit::ellipseShadow (g, circle (k.r), 2.0f + k.r * 0.05f, 1.5f, 0.8f);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffa7aaae), k.cx, k.cy - k.r, juce::Colour (0xff4e5155),
                                             k.cx, k.cy + k.r, false));
    g.fillEllipse (circle (k.r));

    if (fluted)
    {
        constexpr int flutes = 36;
        for (int i = 0; i < flutes; ++i)
        {
            const float angle = (float) i * juce::MathConstants<float>::twoPi / (float) flutes;
            tick (g, k, angle, k.r * 0.9f, k.r - 0.3f, 0.9f, juce::Colours::black.withAlpha (0.25f));
        }
    }

    g.setColour (juce::Colours::black.withAlpha (0.85f));
    g.drawEllipse (circle (k.r - 0.4f), 0.8f);

    const float cap = k.r - (fluted ? 2.2f : 1.3f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe9e8e3), k.cx, k.cy - cap, juce::Colour (0xffb2b4b7),
                                             k.cx, k.cy + cap, false));
    g.fillEllipse (circle (cap));

    // Spun-metal rings on the cap.
    for (float rr = cap * 0.3f; rr < cap; rr += std::max (1.0f, cap * 0.12f))
    {
        g.setColour (juce::Colours::black.withAlpha (0.035f));
        g.drawEllipse (circle (rr), 0.5f);
    }

    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.55f), k.cx - cap * 0.35f,
                                             k.cy - cap * 0.55f, juce::Colours::transparentWhite, k.cx,
                                             k.cy + cap * 0.1f, true));
    g.fillEllipse (circle (cap));

    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.drawEllipse (circle (cap), 0.5f);
}

/** The dynamics knob: dark, with an amber ring that ties it to the reduction lamp. */
void drawDynamicsKnob (juce::Graphics& g, const Knob& k)
{
    const auto circle = [&k] (float radius)
    { return juce::Rectangle<float> (k.cx - radius, k.cy - radius, radius * 2.0f, radius * 2.0f); };

    ArtKit::ellipseShadow (g, circle (k.r), 2.5f, 1.5f, 0.75f);

    g.setGradientFill (juce::ColourGradient (amberColour.darker (0.2f), k.cx, k.cy - k.r, amberColour.darker (2.2f),
                                             k.cx, k.cy + k.r, false));
    g.fillEllipse (circle (k.r));
    g.setColour (juce::Colours::black.withAlpha (0.85f));
    g.drawEllipse (circle (k.r - 0.4f), 0.8f);

    const float cap = k.r - 1.6f;
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff55595f), k.cx, k.cy - cap, juce::Colour (0xff151619),
                                             k.cx, k.cy + cap, false));
    g.fillEllipse (circle (cap));

    const float face = cap - 1.6f;
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff25272b), k.cx, k.cy - face, juce::Colour (0xff383b40),
                                             k.cx, k.cy + face, false));
    g.fillEllipse (circle (face));
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.drawEllipse (circle (face), 0.5f);
}

//==================================================================================================
// Plates, sockets, captions

void drawPlate (juce::Graphics& g, juce::Rectangle<float> area, ArtKit::Random& random, float scale)
{
    constexpr float corner = 4.0f;
    ArtKit::roundedShadow (g, area, corner, 3.0f, 1.5f, 0.7f);

    g.setGradientFill (juce::ColourGradient (plateTop, 0.0f, area.getY(), plateBottom, 0.0f, area.getBottom(), false));
    g.fillRoundedRectangle (area, corner);

    {
        juce::Graphics::ScopedSaveState save (g);
        juce::Path clip;
        clip.addRoundedRectangle (area, corner);
        g.reduceClipRegion (clip);
        ArtKit::brushedTexture (g, area, random, 0.035f);
    }

    // Bevel: a bright top edge and a dark lower edge, then a crisp outline.
    ArtKit::hairlineH (g, area.getX() + corner, area.getRight() - corner, area.getY() + 1.0f, scale,
                       juce::Colours::white.withAlpha (0.16f));
    ArtKit::hairlineH (g, area.getX() + corner, area.getRight() - corner, area.getBottom() - 2.0f, scale,
                       juce::Colours::black.withAlpha (0.3f));
    g.setColour (juce::Colours::black.withAlpha (0.85f));
    g.drawRoundedRectangle (area.reduced (0.5f / scale), corner, 1.0f / scale);
}

/** A recessed round socket for a lamp of the given radius. */
void drawRoundSocket (juce::Graphics& g, float cx, float cy, float radius)
{
    const auto circle = [cx, cy] (float r) { return juce::Rectangle<float> (cx - r, cy - r, r * 2.0f, r * 2.0f); };

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff0b0c0d), cx, cy - radius - 1.5f,
                                             juce::Colour (0xff6a6e75), cx, cy + radius + 1.5f, false));
    g.fillEllipse (circle (radius + 1.5f));
    g.setColour (juce::Colour (0xff060606));
    g.fillEllipse (circle (radius + 0.5f));
}

/** A recessed rectangular well (meter window, switch bezel). */
void drawWell (juce::Graphics& g, juce::Rectangle<float> area, float corner, float scale)
{
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff08090a), 0.0f, area.getY(), juce::Colour (0xff5c6067),
                                             0.0f, area.getBottom(), false));
    g.fillRoundedRectangle (area, corner);
    const auto inner = area.reduced (1.0f);
    g.setColour (juce::Colour (0xff0a0b0c));
    g.fillRoundedRectangle (inner, std::max (0.0f, corner - 1.0f));
    ArtKit::hairlineH (g, inner.getX() + 1.0f, inner.getRight() - 1.0f, inner.getY(), scale, juce::Colours::black);
}

void caption (juce::Graphics& g, const juce::String& text, float x, float baseline)
{
    ArtKit::drawPrintedText (g, text, captionHeight, x, baseline, Align::centre, captionColour, captionTracking);
}

/** Caption centred under a knob. */
void captionUnder (juce::Graphics& g, int param, const juce::String& text, float baseline)
{
    caption (g, text, knobFor (param).cx, baseline);
}

/** Baseline of the section titles along the top of the plates. A frequency knob's value bubble
    appears from y 35 down while the knob is dragged, so the titles (shadow and descent included)
    end above it. */
constexpr float titleBaseline = 32.0f;

/** A section's title, centred at x in the strip along the top of its plate. */
void sectionTitle (juce::Graphics& g, const juce::String& text, float x)
{
    ArtKit::drawPrintedText (g, text, titleHeight, x, titleBaseline, Align::centre, titleColour, 0.1f);
}

//==================================================================================================
// Sections

constexpr float plateTopY = 22.0f;
constexpr float plateHeight = 223.0f;

const juce::Rectangle<float> plates[] = {
    { 4.0f, plateTopY, 146.0f, plateHeight },     // input, output, high pass, power
    { 153.0f, plateTopY, 107.0f, plateHeight },   // low shelf
    { 264.0f, plateTopY, 154.0f, plateHeight },   // low mid
    { 422.0f, plateTopY, 154.0f, plateHeight },   // high mid
    { 580.0f, plateTopY, 112.0f, plateHeight },   // high shelf
    { 696.0f, plateTopY, 100.0f, plateHeight },   // meter
};

constexpr float smallCaptionBaseline = 201.0f;

std::vector<float> steps (float from, float to, float step)
{
    std::vector<float> v;
    for (float x = from; x <= to + step * 0.001f; x += step)
        v.push_back (x);
    return v;
}

void drawGainKnob (juce::Graphics& g, int param)
{
    drawSmallScale (g, { param,
                         { { -24.0f, "-24" }, { 0.0f, "0" }, { 24.0f, "+24" } },
                         { -18.0f, -12.0f, -6.0f, 6.0f, 12.0f, 18.0f } });
    drawLightKnob (g, knobFor (param), false);
}

void drawShelfAmountKnob (juce::Graphics& g, int param)
{
    drawSmallScale (g, { param, { { 0.0f, "0" }, { 6.0f, "6" }, { 12.0f, "12" } }, { 2.0f, 4.0f, 8.0f, 10.0f } });
    drawLightKnob (g, knobFor (param), false);
}

void drawQKnob (juce::Graphics& g, int param)
{
    drawSmallScale (g,
                    { param, { { 0.7f, "0.7" }, { 5.0f, "5" } }, { 1.0f, 1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f, 4.5f } });
    drawLightKnob (g, knobFor (param), false);
}

void drawDynKnob (juce::Graphics& g, int param)
{
    const auto k = knobFor (param);
    const float inner = k.r + 1.5f;
    const auto ticks = steps (0.1f, 0.9f, 0.1f);
    for (float v : ticks)
        tick (g, k, angleFor (param, v), inner, inner + 1.8f, 0.8f, tickColour.withAlpha (0.75f));

    for (float v : { 0.0f, 1.0f })
        tick (g, k, angleFor (param, v), inner, inner + 3.0f, 1.0f, tickColour);

    labelAt (g, k, "0", smallLabelHeight, angleFor (param, 0.0f), inner + 4.5f, labelColour);
    labelAt (g, k, "MAX", smallLabelHeight, angleFor (param, 1.0f), inner + 4.5f, labelColour);
    drawDynamicsKnob (g, k);
}

void drawReductionLampSocket (juce::Graphics& g, const L::Place& lamp)
{
    const float cx = (float) lamp.x + (float) lamp.w * 0.5f;
    const float cy = (float) lamp.y + (float) lamp.h * 0.5f;
    const float radius = (float) lamp.w * 0.5f;
    drawRoundSocket (g, cx, cy, radius);

    // Beside the socket, level with the lamp: the dynamics knob's value bubble covers the space
    // above it.
    constexpr float height = 7.5f;
    ArtKit::drawPrintedText (g, "GR", height, cx - radius - 4.0f, cy + ArtKit::capHeight (height) * 0.5f, Align::right,
                             labelColour);
}

void drawBandLampSocket (juce::Graphics& g, int param, float lampSize)
{
    const auto& p = L::parameterPlaces[param];
    drawRoundSocket (g, (float) p.x + lampSize * 0.5f, (float) p.y + lampSize * 0.5f, lampSize * 0.5f);
}

void drawInputSection (juce::Graphics& g)
{
    // Power.
    drawBandLampSocket (g, kPower, 8.0f);
    const auto& power = L::parameterPlaces[kPower];
    ArtKit::drawPrintedText (g, "POWER", titleHeight, (float) power.x + 12.0f, (float) power.y + 7.0f, Align::left,
                             titleColour, 0.1f);

    // High-pass selector: four marks at the four pointer angles.
    const auto hp = knobAt (L::parameterPlaces[kHighPass]);
    const char* marks[] = { "OFF", "20", "40", "80" };
    for (int q = 0; q < 4; ++q)
    {
        const float angle = KnobGeometry::highPassAngleForQuarter (q);
        tick (g, hp, angle, hp.r + 2.0f, hp.r + 5.5f, 1.2f, tickColour);
        labelAt (g, hp, marks[q], bigLabelHeight, angle, hp.r + 8.0f, labelColour);
    }
    drawLightKnob (g, hp, true);
    caption (g, "HIGH PASS", hp.cx, 66.0f);
    ArtKit::drawText (g, "Hz", smallLabelHeight, hp.cx + hp.r + 21.0f, hp.cy + 3.0f, Align::left,
                      labelColour.withAlpha (0.7f));

    drawGainKnob (g, kInputGain);
    drawGainKnob (g, kOutputGain);
    captionUnder (g, kInputGain, "INPUT", smallCaptionBaseline);
    captionUnder (g, kOutputGain, "OUTPUT", smallCaptionBaseline);
}

/** A small response sketch of a shelf (boost above, attenuation below the flat line). */
void drawShelfIcon (juce::Graphics& g, float cx, float cy, bool lowShelf, float scale)
{
    constexpr float width = 40.0f, lift = 5.5f;
    const float x0 = cx - width * 0.5f;
    const float dir = lowShelf ? 1.0f : -1.0f;
    const float start = lowShelf ? x0 : x0 + width;

    ArtKit::hairlineH (g, x0 - 2.0f, x0 + width + 2.0f, std::floor (cy), scale, tickColour.withAlpha (0.35f));

    for (float sign : { -1.0f, 1.0f })
    {
        juce::Path curve;
        curve.startNewSubPath (start, cy + 0.5f + sign * lift);
        curve.lineTo (start + dir * 10.0f, cy + 0.5f + sign * lift);
        curve.cubicTo (start + dir * 17.0f, cy + 0.5f + sign * lift, start + dir * 19.0f, cy + 0.5f,
                       start + dir * 27.0f, cy + 0.5f);
        curve.lineTo (start + dir * width, cy + 0.5f);
        g.setColour (labelColour.withAlpha (sign < 0.0f ? 0.75f : 0.45f));
        g.strokePath (curve, juce::PathStrokeType (1.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

/** A band's power lamp socket, its title and its frequency knob with the scale. The knob goes
    without a caption: the small knobs' value bubbles appear right under it, and its scale reads
    in Hz. */
void drawBandHead (juce::Graphics& g, int freqParam, int powerParam, const char* title, const KnobScale& freqScale)
{
    drawBandLampSocket (g, powerParam, 6.0f);
    sectionTitle (g, title, knobFor (freqParam).cx);
    drawLargeScale (g, freqScale);
    drawDarkKnob (g, knobFor (freqParam));
}

void drawShelfSection (juce::Graphics& g, int freqParam, int boostParam, int attenParam, int powerParam,
                       const char* title, const KnobScale& freqScale, float scale)
{
    drawBandHead (g, freqParam, powerParam, title, freqScale);

    drawShelfAmountKnob (g, boostParam);
    drawShelfAmountKnob (g, attenParam);
    captionUnder (g, boostParam, "BOOST", smallCaptionBaseline);
    captionUnder (g, attenParam, "ATTEN", smallCaptionBaseline);

    const auto k = knobFor (freqParam);
    drawShelfIcon (g, k.cx, 224.0f, freqParam == kLowShelfFrequency, scale);
}

void drawMidSection (juce::Graphics& g, int freqParam, int gainParam, int qParam, int dynParam, int powerParam,
                     const L::Place& lamp, const char* title, const KnobScale& freqScale)
{
    drawBandHead (g, freqParam, powerParam, title, freqScale);

    drawGainKnob (g, gainParam);
    drawQKnob (g, qParam);
    captionUnder (g, gainParam, "GAIN", smallCaptionBaseline);
    captionUnder (g, qParam, "Q", smallCaptionBaseline);

    drawReductionLampSocket (g, lamp);
    drawDynKnob (g, dynParam);
    captionUnder (g, dynParam, "DYN", 237.0f);
}

void drawMeterSection (juce::Graphics& g, float scale)
{
    const auto& m = L::levelMeter;
    const float left = (float) m.x, top = (float) m.y, w = (float) m.w, h = (float) m.h;
    const float bottom = top + h;

    sectionTitle (g, "LEVEL", left + w * 0.5f);

    // The well reaches further below the meter than above it, so that the bottom label sits
    // inside it.
    drawWell (g, { left - 3.0f, top - 3.0f, w + 6.0f, h + 8.0f }, 2.0f, scale);

    // Bar channels, twice as wide as the bars and centred on them.
    const float barCentres[] = { left + Meters::leftBarCentre, left + Meters::rightBarCentre (w) };
    constexpr float channelWidth = Meters::barWidth * 2.0f;
    for (float centre : barCentres)
    {
        const float x = centre - channelWidth * 0.5f;
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff1b1f1d), x, 0.0f, juce::Colour (0xff121413),
                                                 x + channelWidth, 0.0f, false));
        g.fillRect (juce::Rectangle<float> (x, top, channelWidth, h));
    }

    // Scale: a mark every 9 pixels, labels between the bars, each centred on its mark's row (the
    // bottom row is the last one inside the meter).
    const struct
    {
        float db;
        const char* text;
    } marks[] = {
        { 6.0f, "+6" },    { 3.0f, "+3" },    { 0.0f, "0" },     { -3.0f, "-3" },   { -6.0f, "-6" },   { -9.0f, "-9" },
        { -12.0f, "-12" }, { -18.0f, "-18" }, { -32.0f, "-32" }, { -46.0f, "-46" }, { -60.0f, "-60" },
    };
    for (const auto& mark : marks)
    {
        const float y = bottom - Meters::positionForDb (mark.db);
        const bool hot = mark.db > 0.0f;
        const auto colour = hot ? juce::Colour (0xffe0665a) : (mark.db == 0.0f ? captionColour : labelColour);
        const float rowY = std::min (y, bottom - 1.0f);
        ArtKit::hairlineH (g, left - 7.0f, left - 4.0f, rowY, scale, colour.withAlpha (0.8f));
        ArtKit::hairlineH (g, left + w + 4.0f, left + w + 7.0f, rowY, scale, colour.withAlpha (0.8f));
        ArtKit::drawText (g, mark.text, 7.5f, left + w * 0.5f, rowY + 2.5f, Align::centre, colour);
    }

    const float legendBaseline = bottom + 14.0f;
    ArtKit::drawPrintedText (g, "L", 8.5f, barCentres[0], legendBaseline, Align::centre, labelColour);
    ArtKit::drawPrintedText (g, "R", 8.5f, barCentres[1], legendBaseline, Align::centre, labelColour);
    ArtKit::drawPrintedText (g, "dB", 8.5f, left + w * 0.5f, legendBaseline, Align::centre, labelColour);

    // Bezel of the input/output switch.
    const auto& sw = L::parameterPlaces[kMeterIO];
    drawWell (g, juce::Rectangle<float> ((float) sw.x, (float) sw.y, (float) sw.w, (float) sw.h).expanded (2.0f), 4.0f,
              scale);

    ArtKit::drawPrintedText (g, "DYNAMIC EQ", captionHeight, (float) sw.x + (float) sw.w * 0.5f, 228.0f, Align::centre,
                             captionColour.withAlpha (0.8f), 0.12f);
}

void drawBannerStrip (juce::Graphics& g, float scale)
{
    g.setColour (juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f));
    g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, (float) L::editorWidth, (float) L::bannerHeight));
    ArtKit::hairlineH (g, 0.0f, (float) L::editorWidth, (float) L::bannerHeight, scale, juce::Colours::black);
    ArtKit::hairlineH (g, 0.0f, (float) L::editorWidth, (float) L::bannerHeight - 1.0f / scale, scale,
                       juce::Colours::white.withAlpha (0.08f));
}
}

void drawMain (juce::Graphics& g, float scale)
{
    g.fillAll (chassisColour);

    ArtKit::Random random (0x5eed1234u);
    {
        // A faint grain on the chassis.
        ArtKit::brushedTexture (g, { 0.0f, 0.0f, (float) L::editorWidth, (float) L::editorHeight }, random, 0.02f);
    }

    for (const auto& plate : plates)
        drawPlate (g, plate, random, scale);

    drawBannerStrip (g, scale);

    drawInputSection (g);

    drawShelfSection (g, kLowShelfFrequency, kLowShelfBoost, kLowShelfAttenuate, kLowShelfPower, "LOW SHELF",
                      { kLowShelfFrequency,
                        { { 20, "20" },
                          { 40, "40" },
                          { 60, "60" },
                          { 80, "80" },
                          { 100, "100" },
                          { 150, "150" },
                          { 200, "200" },
                          { 250, "250" } },
                        { 30, 50, 70, 90, 125, 175, 225 } },
                      scale);

    drawMidSection (g, kLowMidFreq, kLowMidGain, kLowMidQ, kLowDynAttenuation, kLowMidPower, L::lowMidLamp, "LOW MID",
                    { kLowMidFreq,
                      { { 120, "120" },
                        { 200, "200" },
                        { 300, "300" },
                        { 500, "500" },
                        { 800, "800" },
                        { 1200, "1.2k" },
                        { 2000, "2k" },
                        { 3500, "3.5k" } },
                      { 150, 250, 400, 600, 700, 1000, 1500, 2500, 3000 } });

    drawMidSection (g, kHighMidFreq, kHighMidGain, kHighMidQ, kHighDynAttenuation, kHighMidPower, L::highMidLamp,
                    "HIGH MID",
                    { kHighMidFreq,
                      { { 800, "800" },
                        { 1000, "1k" },
                        { 1500, "1.5k" },
                        { 2000, "2k" },
                        { 3000, "3k" },
                        { 4000, "4k" },
                        { 5000, "5k" },
                        { 6000, "6k" },
                        { 8000, "8k" } },
                      { 1200, 2500, 3500, 4500, 7000 } });

    drawShelfSection (g, kHighShelfFrequency, kHighShelfBoost, kHighShelfAttenuate, kHighShelfPower, "HIGH SHELF",
                      { kHighShelfFrequency,
                        { { 3500, "3.5k" },
                          { 4000, "4k" },
                          { 5000, "5k" },
                          { 6000, "6k" },
                          { 7000, "7k" },
                          { 8000, "8k" },
                          { 10000, "10k" },
                          { 12500, "12.5k" } },
                        { 4500, 9000, 11000 } },
                      scale);

    drawMeterSection (g, scale);
}

std::vector<ArtKit::DrawnText> drawnTexts()
{
    std::vector<ArtKit::DrawnText> texts;
    juce::Image image (juce::Image::RGB, L::editorWidth, L::editorHeight, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    const ArtKit::ScopedTextLog log (texts);
    drawMain (g, 1.0f);
    return texts;
}
}
