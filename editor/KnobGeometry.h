#pragma once

#include <cmath>

/** Pointer geometry of the editor's knobs, shared by the knob widgets (which draw the pointer
    line) and the art generator (which draws the scales, labels and selector marks under it), so
    that a label always sits exactly where the pointer points for its value. Plain C++, no JUCE.

    Angles are in radians in screen coordinates: 0 points right, angles grow clockwise (y grows
    downward). A knob's travel is a 270-degree sweep from -225 degrees (lower left, position 0)
    through -90 degrees (straight up, position 0.5) to +45 degrees (lower right, position 1).

    The float/double mix below is deliberate: the widgets and the artwork must agree bit for bit,
    so every function rounds exactly where the widgets do.
*/
namespace KnobGeometry
{
    constexpr double pi = 3.14159265358979323846;

    /** Line thickness of a knob's pointer and of the high-pass selector's pointer. */
    constexpr float knobPointerThickness = 1.5f;
    constexpr float highPassPointerThickness = 2.0f;

    //==============================================================================================
    // Value <-> pointer position (skew)

    /** Pointer position p (0..1) for a normalised parameter value v: p = v^(1/skew).
        A skew above 1 spreads the low part of the range over more of the travel. */
    inline float positionForValue (float value, float skew)
    {
        return std::pow (value, 1.0f / skew);
    }

    /** Normalised parameter value for a pointer position p: v = p^skew (inverse of the above). */
    inline float valueForPosition (float position, float skew)
    {
        return std::pow (position, skew);
    }

    //==============================================================================================
    // Angles

    /** Pointer angle for a pointer position p (0..1) of a `VLKnob`. */
    inline float pointerAngle (float position)
    {
        float theta = (float) ((double) position * pi * 1.5 - 2.356194490192345);
        theta = (float) ((double) theta - pi / 2.0);
        return theta;
    }

    /** Pointer angle for a normalised parameter value of a knob with the given skew. */
    inline float pointerAngleForValue (float value, float skew)
    {
        return pointerAngle (positionForValue (value, skew));
    }

    /** The high-pass selector's four positions, as read from its normalised value. */
    enum HighPassPosition
    {
        highPassOff = 0,    ///< value < 0.25
        highPass20Hz = 1,   ///< 0.25 <= value < 0.5
        highPass40Hz = 2,   ///< 0.5 <= value < 0.75
        highPass80Hz = 3    ///< value >= 0.75
    };

    /** Quarter of the high-pass value: each boundary belongs to the upper quarter, exactly as the
        engine reads the parameter. */
    inline int highPassQuarter (float value)
    {
        if (value < 0.25f)
            return highPassOff;
        if (value < 0.5f)
            return highPass20Hz;
        if (value < 0.75f)
            return highPass40Hz;
        return highPass80Hz;
    }

    /** Base angles of the four selector positions, measured clockwise from straight up. */
    constexpr float highPassBaseAngles[4] = { 0.9801769f, 1.3524556f, 1.7624335f, 2.1912608f };

    /** Pointer angle (screen convention as above) of selector position 0..3 (clamped). */
    inline float highPassAngleForQuarter (int quarter)
    {
        const int q = quarter < 0 ? 0 : (quarter > 3 ? 3 : quarter);
        return (float) ((double) highPassBaseAngles[q] - pi / 2.0);
    }

    /** Pointer angle of the high-pass selector for its normalised value. */
    inline float highPassPointerAngle (float value)
    {
        return highPassAngleForQuarter (highPassQuarter (value));
    }

    //==============================================================================================
    // Pointer line

    /** Distance from the knob's centre to the pointer's outer end (near the rim), about
        0.8667 x radius. */
    inline float pointerOuterDistance (float radius)
    {
        return radius + (float) ((double) radius * -0.1333333333);
    }

    /** Distance from the knob's centre to the pointer's inner end, about 0.4 x radius. */
    inline float pointerInnerDistance (float radius)
    {
        const float outer = pointerOuterDistance (radius);
        return outer + (float) ((double) radius * -0.46666666);
    }

    /** End points of a pointer line: from the outer end (x1, y1) to the inner end (x2, y2). */
    struct PointerLine
    {
        float x1, y1, x2, y2;
    };

    /** The pointer line of a knob of the given centre and radius at the given angle, computed
        with the same single-precision trigonometry the widgets draw with. */
    inline PointerLine pointerLine (float centreX, float centreY, float radius, float angle)
    {
        const float a = pointerOuterDistance (radius);
        const float b = pointerInnerDistance (radius);
        const float c = std::cos (angle);
        const float s = std::sin (angle);
        return { centreX + a * c, centreY + a * s, centreX + b * c, centreY + b * s };
    }

    /** Centre and radius of a knob laid out in a (square) rectangle of the given size, in the
        knob's own coordinates: centre = (w / 2, h / 2), radius = w / 2. */
    inline float knobCentreX (int width)
    {
        return (float) ((double) width * 0.5);
    }
    inline float knobCentreY (int height)
    {
        return (float) ((double) height * 0.5);
    }
    inline float knobRadius (int width)
    {
        return (float) width * 0.5f;
    }

    //==============================================================================================
    // Mouse

    /** True for a point less than radius + 10 pixels from the knob's centre: the margin lets a
        knob be caught a little outside its rim. */
    inline bool withinReach (float centreX, float centreY, float radius, int x, int y)
    {
        return std::hypot (centreX - (float) x, centreY - (float) y) < radius + 10.0f;
    }

    /** The travel of a vertical drag by `pixelsDown` pixels (negative upwards), a tenth of it in
        fine mode (Alt held). Each widget divides it by its own travel for the whole range. */
    inline float dragTravel (int pixelsDown, bool fine)
    {
        float travel = (float) pixelsDown * 0.45f;

        if (fine)
            travel *= 0.1f;

        return travel;
    }
}
