#pragma once

// Helpers for driving and inspecting the editor's widgets without a window.

#include "EComponent.h"
#include "FontManager.h"
#include "UiTestSupport.h"
#include "VLGraphics.h"
#include "VLUICallback.h"

#include <string>
#include <vector>

namespace EditorTest
{
    using namespace UiTest;

    /** A solid image of the given colour, recorded as loaded at the given density. */
    inline juce::Image solidImage (int w, int h, juce::Colour colour, float scale = 1.0f)
    {
        juce::Image image (juce::Image::ARGB, w, h, true);
        image.clear (image.getBounds(), colour);
        VLGraphics::setImageScale (image, scale);
        return image;
    }

    /** Holds the shared fonts for the life of a test, as an open editor does. */
    struct ScopedFonts
    {
        ScopedFonts()  { FontManager::createFromEmbeddedFont(); }
        ~ScopedFonts() { FontManager::destroy(); }
    };

    /** A widget owner that records every report, in order, as short texts. */
    struct RecordingCallback : public VLUICallback
    {
        std::vector<std::string> events;
        std::vector<float> values;      ///< the values of the valueChanged reports, in order
        float defaultValue = 0.0f, currentValue = 0.0f;
        juce::Point<float> lastCentre;

        void log (const char* what, int id)      { events.push_back (std::string (what) + " " + std::to_string (id)); }

        void valueChanged (EComponent*, int id, float v) override      { log ("value", id); values.push_back (v); }
        void paramHooverStart (EComponent*, int id) override           { log ("hoverStart", id); }
        void paramHooverEnd (EComponent*, int id) override             { log ("hoverEnd", id); }
        void paramStartChange (EComponent*, int id, juce::Point<float> c) override { log ("startChange", id); lastCentre = c; }
        void paramEndChange (EComponent*, int id) override             { log ("endChange", id); }
        float defaultValueForParamId (int id) override                 { log ("default?", id); return defaultValue; }
        float currentValueForParamId (int) override                    { return currentValue; }
        void ui_beginGesture (EComponent*, int id) override            { log ("beginGesture", id); }
        void ui_endGesture (EComponent*, int id) override              { log ("endGesture", id); }

        void clear()    { events.clear(); values.clear(); }
    };

    using Events = std::vector<std::string>;
}
