#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstdint>
#include <vector>

/** Drawing helpers shared by every picture of the generator.

    Every picture is drawn once in 1x coordinates into a Graphics whose transform may scale it;
    `scale` is passed along only so that hairlines can be snapped to whole device pixels.
*/
namespace ArtKit
{
/** The interface font (Arimo Regular from the resource catalogue) at the given height. */
juce::Font font (float height);

/** Height above the baseline of the capitals of `font (height)`. */
float capHeight (float height);

enum class Align
{
    left,
    centre,
    right
};

/** Draws one line of text with its baseline at `baseline`, anchored at x by `align`.
        The anchor and the baseline are snapped to whole 1x pixels so that small text keeps its
        vertical hinting and sits on the pixel grid at both scales. `tracking` adds space between
        letters, as a fraction of the height. */
void drawText (juce::Graphics& g, const juce::String& text, float height, float x, float baseline, Align align,
               juce::Colour colour, float tracking = 0.0f);

/** Text as printed on the panel: a light fill over a faint dark shadow one pixel below. */
void drawPrintedText (juce::Graphics& g, const juce::String& text, float height, float x, float baseline, Align align,
                      juce::Colour colour, float tracking = 0.0f);

/** One line of text as drawn: its string and the box its glyphs occupy (first to last glyph,
        the font's ascent above the baseline to its descent below), in 1x pixels after snapping.
        For printed text the box also holds the shadow. */
struct DrawnText
{
    juce::String text;
    juce::Rectangle<float> box;
};

/** While one exists, every drawText() and drawPrintedText() on this thread appends what it
        drew to `log`, so that what a picture shows can be checked against other geometry. */
class ScopedTextLog
{
public:
    explicit ScopedTextLog (std::vector<DrawnText>& log);
    ~ScopedTextLog();

private:
    std::vector<DrawnText>* previous;
    JUCE_DECLARE_NON_COPYABLE (ScopedTextLog)
};

/** Width of a line of text drawn with the same arguments. */
float textWidth (const juce::String& text, float height, float tracking = 0.0f);

/** A small deterministic pseudo-random generator (xorshift32), so that textures come out the
        same on every run. */
class Random
{
public:
    explicit Random (uint32_t seed) noexcept : state (seed != 0 ? seed : 0x9e3779b9u) {}

    uint32_t nextUint() noexcept
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }

    /** Uniform in [0, 1). */
    float nextFloat() noexcept { return (float) (nextUint() >> 8) * (1.0f / 16777216.0f); }

    /** Uniform in [-1, 1). */
    float nextSigned() noexcept { return nextFloat() * 2.0f - 1.0f; }

private:
    uint32_t state;
};

/** Soft drop shadow of an ellipse, built from concentric translucent ellipses (no blur pass,
        so that it scales as vector art). */
void ellipseShadow (juce::Graphics& g, juce::Rectangle<float> area, float spread, float offsetY, float alpha);

/** Soft drop shadow of a rounded rectangle, the same way. */
void roundedShadow (juce::Graphics& g, juce::Rectangle<float> area, float corner, float spread, float offsetY,
                    float alpha);

/** A horizontal hairline one device pixel high at the top edge of 1x row y (crisp at any
        integer scale). */
void hairlineH (juce::Graphics& g, float x1, float x2, float y, float scale, juce::Colour colour);

/** A vertical hairline one device pixel wide at the left edge of 1x column x. */
void hairlineV (juce::Graphics& g, float x, float y1, float y2, float scale, juce::Colour colour);

/** Brushed-metal streaks over an area: thin horizontal strokes of random length and
        brightness, drawn at half-pixel rows so that the 2x picture shows the finer grain. */
void brushedTexture (juce::Graphics& g, juce::Rectangle<float> area, Random& random, float strength);
}
