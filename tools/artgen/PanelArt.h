#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor's background: the whole 800 x 250 front panel with its plates, captions, knob
    bodies, scales, selector marks, sockets and the meter well. */
namespace PanelArt
{
    void drawMain (juce::Graphics& g, float scale);
}
