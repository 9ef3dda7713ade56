#include "ArtKit.h"

#include <BinaryData.h>

#include <cmath>

namespace ArtKit
{
namespace
{
juce::Typeface::Ptr arimo()
{
    static juce::Typeface::Ptr typeface =
        juce::Typeface::createSystemTypefaceFor (BinaryData::ArimoRegular_ttf,
                                                 (size_t) BinaryData::ArimoRegular_ttfSize);
    return typeface;
}

thread_local std::vector<DrawnText>* textLog = nullptr;

juce::Font trackedFont (float height, float tracking)
{
    auto f = font (height);
    if (tracking != 0.0f)
        f.setExtraKerningFactor (tracking);
    return f;
}
}

juce::Font font (float height)
{
    return juce::Font (arimo()).withHeight (height);
}

float capHeight (float height)
{
    // Arimo's capitals stand 1409 units tall in a 2048-unit em; the font's height spans
    // ascent + descent (1854 + 434 units).
    return height * 1409.0f / 2288.0f;
}

float textWidth (const juce::String& text, float height, float tracking)
{
    return trackedFont (height, tracking).getStringWidthFloat (text);
}

namespace
{
/** Draws the text and returns its box (see DrawnText). */
juce::Rectangle<float> drawUnlogged (juce::Graphics& g, const juce::String& text, float height, float x, float baseline,
                                     Align align, juce::Colour colour, float tracking)
{
    const auto f = trackedFont (height, tracking);
    auto w = f.getStringWidthFloat (text);

    // Trailing tracking after the last letter is not part of the visible width.
    const float trailing = text.isNotEmpty() ? tracking * height : 0.0f;
    w -= trailing;

    float left = x;
    if (align == Align::centre)
        left = x - w * 0.5f;
    else if (align == Align::right)
        left = x - w;

    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (f, text, std::round (left), std::round (baseline));
    g.setColour (colour);
    glyphs.draw (g);
    return glyphs.getBoundingBox (0, -1, true).withTrimmedRight (trailing);
}

void logText (const juce::String& text, juce::Rectangle<float> box)
{
    if (textLog != nullptr)
        textLog->push_back ({ text, box });
}
}

ScopedTextLog::ScopedTextLog (std::vector<DrawnText>& log) : previous (textLog)
{
    textLog = &log;
}

ScopedTextLog::~ScopedTextLog()
{
    textLog = previous;
}

void drawText (juce::Graphics& g, const juce::String& text, float height, float x, float baseline, Align align,
               juce::Colour colour, float tracking)
{
    logText (text, drawUnlogged (g, text, height, x, baseline, align, colour, tracking));
}

void drawPrintedText (juce::Graphics& g, const juce::String& text, float height, float x, float baseline, Align align,
                      juce::Colour colour, float tracking)
{
    const auto shadow = drawUnlogged (g, text, height, x, baseline + 1.0f, align,
                                      juce::Colours::black.withAlpha (0.45f), tracking);
    logText (text, shadow.getUnion (drawUnlogged (g, text, height, x, baseline, align, colour, tracking)));
}

void ellipseShadow (juce::Graphics& g, juce::Rectangle<float> area, float spread, float offsetY, float alpha)
{
    constexpr int steps = 6;
    for (int i = steps; i >= 1; --i)
    {
        const float t = (float) i / (float) steps;
        g.setColour (juce::Colours::black.withAlpha (alpha * (1.0f - t) * (2.0f / steps) + alpha * 0.02f));
        g.fillEllipse (area.expanded (spread * t).translated (0.0f, offsetY));
    }
}

void roundedShadow (juce::Graphics& g, juce::Rectangle<float> area, float corner, float spread, float offsetY,
                    float alpha)
{
    constexpr int steps = 6;
    for (int i = steps; i >= 1; --i)
    {
        const float t = (float) i / (float) steps;
        g.setColour (juce::Colours::black.withAlpha (alpha * (1.0f - t) * (2.0f / steps) + alpha * 0.02f));
        g.fillRoundedRectangle (area.expanded (spread * t).translated (0.0f, offsetY), corner + spread * t);
    }
}

void hairlineH (juce::Graphics& g, float x1, float x2, float y, float scale, juce::Colour colour)
{
    g.setColour (colour);
    g.fillRect (juce::Rectangle<float> (x1, y, x2 - x1, 1.0f / scale));
}

void hairlineV (juce::Graphics& g, float x, float y1, float y2, float scale, juce::Colour colour)
{
    g.setColour (colour);
    g.fillRect (juce::Rectangle<float> (x, y1, 1.0f / scale, y2 - y1));
}

void brushedTexture (juce::Graphics& g, juce::Rectangle<float> area, Random& random, float strength)
{
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (area.getSmallestIntegerContainer());

    for (float y = area.getY(); y < area.getBottom(); y += 0.5f)
    {
        float x = area.getX() - random.nextFloat() * 40.0f;
        while (x < area.getRight())
        {
            const float length = 12.0f + random.nextFloat() * 70.0f;
            const float v = random.nextSigned();
            const auto colour = v > 0.0f ? juce::Colours::white : juce::Colours::black;
            g.setColour (colour.withAlpha (std::abs (v) * strength));
            g.fillRect (juce::Rectangle<float> (x, y, length, 0.5f));
            x += length;
        }
    }
}
}
