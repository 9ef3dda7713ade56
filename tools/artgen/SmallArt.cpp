#include "SmallArt.h"

#include "ArtKit.h"

#include <cmath>

namespace SmallArt
{
namespace
{
juce::Rectangle<float> square (float x, float y, float size)
{
    return { x, y, size, size };
}

/** Lays a word out in the interface font so that its capitals span exactly from capTop to
        baseline and the whole word fits between left and right (squeezed horizontally only when
        needed), then fills each letter with the colour `colourFor` gives it and traces it with
        a thin stroke of the same colour to give the small letters some weight. */
template <typename ColourFor>
void drawWordmark (juce::Graphics& g, const juce::String& word, float tracking, float left, float right, float capTop,
                   float baseline, float weight, ColourFor&& colourFor)
{
    constexpr float referenceHeight = 100.0f;
    auto font = ArtKit::font (referenceHeight);
    font.setExtraKerningFactor (tracking);

    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, word, 0.0f, 0.0f);

    // Scale so that the capitals are (baseline - capTop) tall.
    const float cap = ArtKit::capHeight (referenceHeight);
    const float sy = (baseline - capTop) / cap;

    juce::Path all;
    glyphs.createPath (all);
    const auto bounds = all.getBounds();
    const float available = right - left;
    const float sx = std::min (sy, available / bounds.getWidth());
    const float x0 = left + (available - bounds.getWidth() * sx) * 0.5f - bounds.getX() * sx;

    const auto transform = juce::AffineTransform::scale (sx, sy).translated (x0, baseline);

    for (int i = 0; i < glyphs.getNumGlyphs(); ++i)
    {
        juce::Path letter;
        glyphs.getGlyph (i).createPath (letter);
        if (letter.isEmpty())
            continue;

        letter.applyTransform (transform);
        g.setColour (colourFor (i));
        g.fillPath (letter);
        if (weight > 0.0f)
            g.strokePath (letter, juce::PathStrokeType (weight));
    }
}

void fillRadialLamp (juce::Graphics& g, juce::Rectangle<float> lamp, juce::Colour centre, juce::Colour middle,
                     juce::Colour edge)
{
    const auto c = lamp.getCentre();
    juce::ColourGradient gradient (centre, c.x - lamp.getWidth() * 0.12f, c.y - lamp.getHeight() * 0.12f, edge,
                                   c.x + lamp.getWidth() * 0.5f, c.y + lamp.getHeight() * 0.5f, true);
    gradient.addColour (0.45, middle);
    g.setGradientFill (gradient);
    g.fillEllipse (lamp);
}

void lampHighlight (juce::Graphics& g, juce::Rectangle<float> lamp, float alpha)
{
    const auto spot = juce::Rectangle<float> (lamp.getX() + lamp.getWidth() * 0.2f,
                                              lamp.getY() + lamp.getHeight() * 0.12f, lamp.getWidth() * 0.42f,
                                              lamp.getHeight() * 0.32f);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (alpha), spot.getCentreX(), spot.getY(),
                                             juce::Colours::white.withAlpha (0.0f), spot.getCentreX(), spot.getBottom(),
                                             false));
    g.fillEllipse (spot);
}
}

juce::Colour bannerColour()
{
    return juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f);
}

void drawMakerLogo (juce::Graphics& g, float)
{
    const juce::Colour colour (0xffc9c7c0);
    drawWordmark (g, "VANTORELL", 0.12f, 0.0f, 39.0f, 1.0f, 7.0f, 0.25f, [colour] (int) { return colour; });
}

void drawProductLogo (juce::Graphics& g, float)
{
    const juce::Colour letters (0xfff2efe8);
    const juce::Colour accent (0xffe8a83e);
    drawWordmark (g, "QUILLO", 0.16f, 0.0f, 39.0f, 1.0f, 7.0f, 0.3f, [=] (int i) { return i == 0 ? accent : letters; });
}

void drawLed (juce::Graphics& g, float scale, float size, bool lit)
{
    const auto lamp = square (0.0f, 0.0f, size).reduced (0.25f);

    if (lit)
    {
        fillRadialLamp (g, lamp, juce::Colour (0xffe6ffe8), juce::Colour (0xff46dc68), juce::Colour (0xff12802c));
        lampHighlight (g, lamp, 0.75f);
    }
    else
    {
        fillRadialLamp (g, lamp, juce::Colour (0xff3b4a3f), juce::Colour (0xff223026), juce::Colour (0xff0c120e));
        lampHighlight (g, lamp, 0.22f);
    }

    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.drawEllipse (lamp.reduced (0.25f / scale), 0.5f / scale);
}

void drawReductionLamp (juce::Graphics& g, float scale, bool lit)
{
    const auto lamp = square (0.0f, 0.0f, 6.0f).reduced (0.25f);

    if (lit)
    {
        fillRadialLamp (g, lamp, juce::Colour (0xfffff3c4), juce::Colour (0xffffb526), juce::Colour (0xffa85800));
        lampHighlight (g, lamp, 0.7f);
    }
    else
    {
        fillRadialLamp (g, lamp, juce::Colour (0xff4a3a20), juce::Colour (0xff2c2112), juce::Colour (0xff120c05));
        lampHighlight (g, lamp, 0.22f);
    }

    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.drawEllipse (lamp.reduced (0.25f / scale), 0.5f / scale);
}

void drawMeterSwitch (juce::Graphics& g, float scale, bool outputSelected)
{
    const juce::Rectangle<float> face (0.0f, 0.0f, 56.0f, 42.0f);

    g.setGradientFill (
        juce::ColourGradient (juce::Colour (0xff34373c), 0.0f, 0.0f, juce::Colour (0xff1d1f22), 0.0f, 42.0f, false));
    g.fillRoundedRectangle (face, 4.0f);
    ArtKit::hairlineH (g, 3.0f, 53.0f, 1.0f, scale, juce::Colours::white.withAlpha (0.14f));
    g.setColour (juce::Colours::black.withAlpha (0.9f));
    g.drawRoundedRectangle (face.reduced (0.5f / scale), 4.0f, 1.0f / scale);

    // Position labels over the two ends of the slide; the selected one is lit.
    const juce::Colour lit (0xfff4f1ea), unlit (0xff6f737a);
    const auto label = [&g] (const char* text, float x, bool on, juce::Colour colour)
    {
        if (on)
            ArtKit::drawText (g, text, 9.0f, x, 13.0f, ArtKit::Align::centre, juce::Colours::black.withAlpha (0.5f),
                              0.08f);
        ArtKit::drawText (g, text, 9.0f, x, 12.0f, ArtKit::Align::centre, colour, 0.08f);
    };
    label ("IN", 18.5f, ! outputSelected, outputSelected ? unlit : lit);
    label ("OUT", 37.5f, outputSelected, outputSelected ? lit : unlit);

    // A lamp strip under each label, lit under the selected one.
    for (int i = 0; i < 2; ++i)
    {
        const bool on = (i == 1) == outputSelected;
        const juce::Rectangle<float> strip (i == 0 ? 13.0f : 32.0f, 14.0f, 11.0f, 2.0f);
        g.setColour (juce::Colour (0xff050606));
        g.fillRect (strip.expanded (0.5f));
        g.setGradientFill (juce::ColourGradient (on ? juce::Colour (0xffc8ffd2) : juce::Colour (0xff26332a),
                                                 strip.getCentreX(), strip.getY(),
                                                 on ? juce::Colour (0xff2fb653) : juce::Colour (0xff141b16),
                                                 strip.getCentreX(), strip.getBottom(), false));
        g.fillRect (strip);
    }

    // The slide: a recessed slot with a metal cap at the selected end.
    const juce::Rectangle<float> slot (7.0f, 18.0f, 42.0f, 14.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff050505), 0.0f, slot.getY(), juce::Colour (0xff4a4e54),
                                             0.0f, slot.getBottom(), false));
    g.fillRoundedRectangle (slot, 3.0f);
    g.setColour (juce::Colour (0xff08090a));
    g.fillRoundedRectangle (slot.reduced (1.0f), 2.0f);

    const juce::Rectangle<float> cap (outputSelected ? 28.0f : 9.0f, 20.0f, 19.0f, 10.0f);
    ArtKit::roundedShadow (g, cap, 1.5f, 1.0f, 0.5f, 0.6f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffeeeeec), 0.0f, cap.getY(), juce::Colour (0xff8a8d91),
                                             0.0f, cap.getBottom(), false));
    g.fillRoundedRectangle (cap, 1.5f);
    for (int i = -1; i <= 1; ++i)
    {
        const float x = cap.getCentreX() + (float) i * 3.0f - 0.5f;
        ArtKit::hairlineV (g, x, cap.getY() + 2.0f, cap.getBottom() - 2.0f, scale,
                           juce::Colours::black.withAlpha (0.35f));
        ArtKit::hairlineV (g, x + 1.0f / scale, cap.getY() + 2.0f, cap.getBottom() - 2.0f, scale,
                           juce::Colours::white.withAlpha (0.5f));
    }
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawRoundedRectangle (cap.reduced (0.5f / scale), 1.5f, 1.0f / scale);

    ArtKit::drawText (g, "METER", 7.5f, 28.0f, 40.0f, ArtKit::Align::centre, juce::Colour (0xff9a9ea4), 0.12f);
}

void drawArrow (juce::Graphics& g, float, ArrowDirection direction)
{
    juce::Path p;
    switch (direction)
    {
        case ArrowDirection::left:
            p.addTriangle (3.0f, 0.0f, 3.0f, 6.0f, 0.0f, 3.0f);
            break;
        case ArrowDirection::right:
            p.addTriangle (0.0f, 0.0f, 0.0f, 6.0f, 3.0f, 3.0f);
            break;
        case ArrowDirection::down:
            p.addTriangle (0.0f, 0.0f, 6.0f, 0.0f, 3.0f, 3.0f);
            break;
    }
    g.setColour (juce::Colour (0xffe4e2dc));
    g.fillPath (p);
}

void drawDivider (juce::Graphics& g, float scale)
{
    g.fillAll (bannerColour());

    juce::ColourGradient groove (juce::Colours::black.withAlpha (0.0f), 0.0f, 0.0f,
                                 juce::Colours::black.withAlpha (0.0f), 0.0f, 12.0f, false);
    groove.addColour (0.3, juce::Colours::black.withAlpha (0.6f));
    groove.addColour (0.7, juce::Colours::black.withAlpha (0.6f));
    g.setGradientFill (groove);
    g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, 1.0f / scale, 12.0f));

    if (scale >= 2.0f)
    {
        // Only a 2x picture has room for the highlight beside the groove.
        juce::ColourGradient light (juce::Colours::white.withAlpha (0.0f), 0.0f, 0.0f,
                                    juce::Colours::white.withAlpha (0.0f), 0.0f, 12.0f, false);
        light.addColour (0.3, juce::Colours::white.withAlpha (0.22f));
        light.addColour (0.7, juce::Colours::white.withAlpha (0.22f));
        g.setGradientFill (light);
        g.fillRect (juce::Rectangle<float> (1.0f / scale, 0.0f, 1.0f / scale, 12.0f));
    }
}
}
