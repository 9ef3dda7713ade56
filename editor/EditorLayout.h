#pragma once

/** The fixed layout of the 800 x 250 editor, in editor pixels (1x).

    One table serves the editor, which places its widgets with it, and the art generator, which
    draws the panel artwork (scales, captions, sockets) around the same rectangles, so that the
    pictures cannot drift from the controls. Plain constants, no JUCE.
*/
namespace EditorLayout
{
    constexpr int editorWidth = 800;
    constexpr int editorHeight = 250;
    constexpr int bannerHeight = 20;

    /** Where the maker's logo is drawn: x, and its distance above the editor's bottom edge. */
    constexpr int logoX = 12;
    constexpr int logoFromBottom = 18;

    enum class WidgetKind
    {
        knob,            ///< VLKnob
        highPassKnob,    ///< HPFilterKnob
        mainSwitch,      ///< VLSwitchImage with "bypass_main_on" / "bypass_main_off"
        bandSwitch,      ///< VLSwitchImage with "bypass_on" / "bypass_off"
        meterSwitch,     ///< VLSwitchImage with "vu_output" / "vu_input"
        reductionLamp,   ///< VLReductionIndicator
        levelMeter,      ///< Meters
        banner           ///< VLBanner (spans the editor's width)
    };

    struct Place
    {
        int paramIndex;   ///< 0..22, or -1 for a widget without a parameter
        WidgetKind kind;
        int x, y, w, h;
        float skew;           ///< knobs only; 1 elsewhere
        bool whitePointer;    ///< knobs only: white pointer instead of black
        float pointerAlpha;   ///< knobs only
    };

    /** Every parameter widget, indexed by parameter index. */
    // clang-format off
    constexpr Place parameterPlaces[23] = {
        {  0, WidgetKind::knob,         43, 161, 23, 23, 1.0f, false, 0.65f },
        {  1, WidgetKind::knob,         97, 161, 23, 23, 1.0f, false, 0.65f },
        {  2, WidgetKind::mainSwitch,   10,  29, 15, 15, 1.0f, false, 0.0f  },
        {  3, WidgetKind::highPassKnob, 62,  75, 45, 45, 1.0f, false, 0.95f },
        {  4, WidgetKind::meterSwitch, 710, 161, 56, 42, 1.0f, false, 0.0f  },
        {  5, WidgetKind::knob,        164, 161, 23, 23, 1.0f, false, 0.65f },
        {  6, WidgetKind::knob,        218, 161, 23, 23, 1.0f, false, 0.65f },
        {  7, WidgetKind::knob,        173,  65, 60, 60, 1.1f, true,  0.95f },
        {  8, WidgetKind::knob,        599, 161, 23, 23, 1.0f, false, 0.65f },
        {  9, WidgetKind::knob,        652, 161, 23, 23, 1.0f, false, 0.65f },
        { 10, WidgetKind::knob,        606,  65, 60, 60, 2.0f, true,  0.95f },
        { 11, WidgetKind::knob,        311,  65, 60, 60, 2.0f, true,  0.95f },
        { 12, WidgetKind::knob,        282, 161, 23, 23, 1.0f, false, 0.65f },
        { 13, WidgetKind::knob,        376, 161, 23, 23, 1.0f, false, 0.65f },
        { 14, WidgetKind::knob,        326, 189, 30, 30, 1.0f, true,  0.65f },
        { 15, WidgetKind::knob,        469,  65, 60, 60, 2.0f, true,  0.95f },
        { 16, WidgetKind::knob,        440, 161, 23, 23, 1.0f, false, 0.65f },
        { 17, WidgetKind::knob,        534, 161, 23, 23, 1.0f, false, 0.65f },
        { 18, WidgetKind::knob,        484, 189, 30, 30, 1.0f, true,  0.65f },
        { 19, WidgetKind::bandSwitch,  180,  38, 60, 15, 1.0f, false, 0.0f  },
        { 20, WidgetKind::bandSwitch,  309,  38, 60, 15, 1.0f, false, 0.0f  },
        { 21, WidgetKind::bandSwitch,  465,  38, 60, 15, 1.0f, false, 0.0f  },
        { 22, WidgetKind::bandSwitch,  614,  38, 60, 15, 1.0f, false, 0.0f  },
    };

    constexpr Place lowMidLamp  { -1, WidgetKind::reductionLamp, 338, 169,  6,  6, 1.0f, false, 0.0f };
    constexpr Place highMidLamp { -1, WidgetKind::reductionLamp, 496, 169,  6,  6, 1.0f, false, 0.0f };
    constexpr Place levelMeter  { -1, WidgetKind::levelMeter,    721,  48, 28, 91, 1.0f, false, 0.0f };
    constexpr Place banner      { -1, WidgetKind::banner,          0,   0, editorWidth, bannerHeight, 1.0f, false, 0.0f };
    // clang-format on
}
