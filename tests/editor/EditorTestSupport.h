#pragma once

// Helpers for driving and inspecting the editor's widgets without a window.

#include "EComponent.h"
#include "FontManager.h"
#include "VLGraphics.h"
#include "VLUICallback.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <vector>

namespace EditorTest
{
    /** A mouse event at pos (component coordinates) whose press happened at downPos. */
    inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> pos,
                                     juce::Point<float> downPos,
                                     juce::ModifierKeys mods = juce::ModifierKeys(),
                                     int clicks = 1)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                                 juce::MouseInputSource::defaultPressure,
                                 juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation,
                                 juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY,
                                 &c, &c, now, downPos, now, clicks, false);
    }

    inline juce::MouseEvent mouseAt (juce::Component& c, float x, float y,
                                     juce::ModifierKeys mods = juce::ModifierKeys())
    {
        return mouseAt (c, { x, y }, { x, y }, mods);
    }

    inline juce::ModifierKeys alt()
    {
        return juce::ModifierKeys (juce::ModifierKeys::altModifier | juce::ModifierKeys::leftButtonModifier);
    }

    inline juce::MouseWheelDetails wheel (float deltaY)
    {
        juce::MouseWheelDetails w;
        w.deltaX = 0.0f;
        w.deltaY = deltaY;
        w.isReversed = false;
        w.isSmooth = false;
        w.isInertial = false;
        return w;
    }

    /** Press at (x, y0), drag to (x, y1) in one event, release there. */
    inline void pressDragRelease (juce::Component& c, float x, float y0, float y1,
                                  juce::ModifierKeys mods = juce::ModifierKeys())
    {
        c.mouseDown (mouseAt (c, { x, y0 }, { x, y0 }, mods));
        c.mouseDrag (mouseAt (c, { x, y1 }, { x, y0 }, mods));
        c.mouseUp (mouseAt (c, { x, y1 }, { x, y0 }, mods));
    }

    /** Paints the component with its children into a transparent image of its size. */
    inline juce::Image render (juce::Component& c, float scale = 1.0f)
    {
        juce::Image image (juce::Image::ARGB,
                           juce::jmax (1, juce::roundToInt ((float) c.getWidth() * scale)),
                           juce::jmax (1, juce::roundToInt ((float) c.getHeight() * scale)), true);
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (scale));
        c.paintEntireComponent (g, true);
        return image;
    }

    /** A solid image of the given colour, recorded as loaded at the given density. */
    inline juce::Image solidImage (int w, int h, juce::Colour colour, float scale = 1.0f)
    {
        juce::Image image (juce::Image::ARGB, w, h, true);
        image.clear (image.getBounds(), colour);
        VLGraphics::setImageScale (image, scale);
        return image;
    }

    /** True when the pixel carries any paint. */
    inline bool painted (const juce::Image& image, int x, int y)
    {
        return image.getPixelAt (x, y).getAlpha() > 0;
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
        float defaultValue = 0.0f;
        float currentValue = 0.0f;

        void log (const char* what, int id)      { events.push_back (std::string (what) + " " + std::to_string (id)); }

        void valueChanged (EComponent*, int id, float v) override      { log ("value", id); values.push_back (v); }
        void paramHooverStart (EComponent*, int id) override           { log ("hoverStart", id); }
        void paramHooverEnd (EComponent*, int id) override             { log ("hoverEnd", id); }
        void paramStartChange (EComponent*, int id, juce::Point<float> c) override
        {
            log ("startChange", id);
            lastCentre = c;
        }
        void paramEndChange (EComponent*, int id) override             { log ("endChange", id); }
        float defaultValueForParamId (int id) override                 { log ("default?", id); return defaultValue; }
        float currentValueForParamId (int) override                    { return currentValue; }
        void ui_beginGesture (EComponent*, int id) override            { log ("beginGesture", id); }
        void ui_endGesture (EComponent*, int id) override              { log ("endGesture", id); }

        void clear()    { events.clear(); values.clear(); }

        juce::Point<float> lastCentre;
    };

    using Events = std::vector<std::string>;
}
