#pragma once

#include "ArtKit.h"

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** The editor's background: the whole 800 x 250 front panel with its plates, captions, knob
    bodies, scales, selector marks, sockets and the meter well. */
namespace PanelArt
{
void drawMain (juce::Graphics& g, float scale);

/** Every line of text the panel shows, in drawing order, with its box in editor pixels (the
        same at 1x and 2x: text is snapped to whole 1x pixels). */
std::vector<ArtKit::DrawnText> drawnTexts();
}
