#pragma once

// Helpers for the widget, editor and window tests and the editor benchmarks: hand-made mouse
// events, rendering a component into an image, and a fake display scale.

#include <juce_gui_basics/juce_gui_basics.h>

namespace UiTest
{
/** A mouse event at pos (component coordinates) whose press happened at downPos. */
inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> pos, juce::Point<float> downPos,
                                 juce::ModifierKeys mods = {}, int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &c, &c, now, downPos, now, clicks, false);
}

inline juce::MouseEvent mouseAt (juce::Component& c, float x, float y, juce::ModifierKeys mods = {})
{
    return mouseAt (c, { x, y }, { x, y }, mods);
}

inline juce::ModifierKeys alt()
{
    return juce::ModifierKeys (juce::ModifierKeys::altModifier);
}

inline juce::MouseWheelDetails wheel (float deltaY)
{
    juce::MouseWheelDetails w {};
    w.deltaY = deltaY;
    return w;
}

/** Press at (x, y0), drag to (x, y1) in one event, release there. */
inline void pressDragRelease (juce::Component& c, float x, float y0, float y1, juce::ModifierKeys mods = {})
{
    c.mouseDown (mouseAt (c, { x, y0 }, { x, y0 }, mods));
    c.mouseDrag (mouseAt (c, { x, y1 }, { x, y0 }, mods));
    c.mouseUp (mouseAt (c, { x, y1 }, { x, y0 }, mods));
}

inline void clickAt (juce::Component& c, float x, float y)
{
    c.mouseDown (mouseAt (c, x, y));
    c.mouseUp (mouseAt (c, x, y));
}

/** Paints the component with its children into a transparent image of its size. */
inline juce::Image render (juce::Component& c, float scale = 1.0f)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, juce::roundToInt ((float) c.getWidth() * scale)),
                       juce::jmax (1, juce::roundToInt ((float) c.getHeight() * scale)), true);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (scale));
    c.paintEntireComponent (g, true);
    return image;
}

/** True when the pixel carries any paint. */
inline bool painted (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getAlpha() > 0;
}

/** Makes the primary display report the given scale while it lives, so that images are loaded
        as on such a screen. Adds a display when the process has none (no X server). */
class ScopedDisplayScale
{
public:
    explicit ScopedDisplayScale (double scale)
        : displays (const_cast<juce::Displays&> (juce::Desktop::getInstance().getDisplays())), saved (displays.displays)
    {
        if (displays.displays.isEmpty())
        {
            juce::Displays::Display d;
            d.isMain = true;
            d.totalArea = d.userArea = { 0, 0, 1280, 800 };
            d.dpi = 96.0;
            displays.displays.add (d);
        }

        for (auto& d : displays.displays)
            d.scale = scale;
    }

    ~ScopedDisplayScale() { displays.displays = saved; }

private:
    juce::Displays& displays;
    juce::Array<juce::Displays::Display> saved;
    JUCE_DECLARE_NON_COPYABLE (ScopedDisplayScale)
};
}
