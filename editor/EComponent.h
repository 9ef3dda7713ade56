#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class VLUICallback;

/** Base of every editor control that stands for one engine parameter (knob, high-pass selector,
    switch).

    It carries the parameter's index (0..22, -1 until the owner sets it), the widget's stored
    value and a non-owning pointer to the owner, which receives the widget's reports through
    VLUICallback. The owner sets the index and the callback, gives the widget its bounds and
    its first value with setValue(), which repaints but reports nothing; from then on user input
    reports to the callback and refresh() keeps the widget in step with the parameter.

    Message thread only.
*/
class EComponent : public juce::Component
{
public:
    EComponent() = default;
    ~EComponent() override = default;

    /** Sets the owner that receives this widget's reports (not owned; may be null). */
    virtual void setCallback (VLUICallback* cb);

    /** Stores a normalised parameter value and repaints. Reports nothing. */
    virtual void setValue (float v);

    /** Stores a normalised parameter value, repainting only when asked. Reports nothing. */
    virtual void setValue (float v, bool repaintNow);

    virtual float getMinWidth();
    virtual float getMinHeight();

    /** The stored value (a knob stores its pointer position, see VLKnob). */
    virtual float getValue();

    virtual void setParamId (int id);
    virtual int getParamId();

    /** Same as getValue() and setValue(); the index is ignored. */
    virtual float getValueForParamId (int id);
    virtual void setValueForParamId (int id, float v);

    virtual void tick();

    /** Pulls the parameter's current value from the owner. When it differs from the stored one
        (exact comparison; NaN always differs) the widget stores it and repaints, and with
        notify set also reports it through valueChanged. Without a callback it does nothing.
        The editor's 60 Hz timer calls this with notify false. */
    virtual void refresh (bool notify);

    virtual void reinitImages();

    /** True between the begin and the end of a change gesture this widget opened. */
    bool isGestureOpen() const noexcept { return gestureOpen; }

protected:
    /** What setValue (v) stores for the normalised value v; refresh() compares against it. */
    virtual float storedValueFor (float v) const { return v; }

    /** Opens a change gesture with the owner, unless one is already open or there is no owner.
        Returns true when a gesture is open afterwards. */
    bool openGesture();

    /** Closes the gesture this widget opened, if any. Returns true when one was closed. */
    bool closeGesture();

    /** v limited to 0..1; a NaN becomes 0, so that no NaN ever reaches the owner. */
    static float clampToUnit (float v) noexcept { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

    VLUICallback* callback = nullptr;
    float value = 0.0f;
    int paramId = -1;

private:
    bool gestureOpen = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EComponent)
};
