#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor's small images: wordmarks, lamps, switch faces, arrows and the banner divider.
    Each is drawn in 1x coordinates starting at the origin; `scale` only serves pixel snapping. */
namespace SmallArt
{
/** The maker's wordmark, 39 x 8, light on the dark panel. */
void drawMakerLogo (juce::Graphics& g, float scale);

/** The product's wordmark for the banner, 39 x 8. */
void drawProductLogo (juce::Graphics& g, float scale);

/** A round power lamp filling a square of the given side: lit green or dark. */
void drawLed (juce::Graphics& g, float scale, float size, bool lit);

/** The 6 x 6 gain-reduction lamp: lit amber or dark. */
void drawReductionLamp (juce::Graphics& g, float scale, bool lit);

/** The 56 x 42 face of the meter's input/output slide switch. */
void drawMeterSwitch (juce::Graphics& g, float scale, bool outputSelected);

enum class ArrowDirection
{
    left,
    right,
    down
};

/** A small triangle: 3 x 6 pointing left or right, 6 x 3 pointing down. */
void drawArrow (juce::Graphics& g, float scale, ArrowDirection direction);

/** The banner's 1 x 12 divider: a dark groove with a highlight on its right side. */
void drawDivider (juce::Graphics& g, float scale);

/** The banner's background colour, which the divider blends into. */
juce::Colour bannerColour();
}
