#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class EComponent;

/** The owner side of the editor's parameter widgets.

    Every knob, selector and switch reports to its owner through this interface and asks it for
    a parameter's default and current value; the widgets never talk to the engine. Values that
    cross it are normalised parameter values from 0 to 1, and paramId is a parameter index 0..22.

    Each operation has a harmless default, so an owner overrides only what it needs.
    All calls arrive on the message thread.
*/
class VLUICallback
{
public:
    virtual ~VLUICallback();

    /** A widget changed its parameter to the normalised value. */
    virtual void valueChanged (EComponent* widget, int paramId, float value);

    /** The mouse entered or left a widget. */
    virtual void paramHooverStart (EComponent* widget, int paramId);
    virtual void paramHooverEnd (EComponent* widget, int paramId);

    /** A knob drag begins; centre is the knob's centre in the knob's own coordinates. */
    virtual void paramStartChange (EComponent* widget, int paramId, juce::Point<float> centre);

    /** A knob drag ends. */
    virtual void paramEndChange (EComponent* widget, int paramId);

    /** For owners that track a moving widget; no widget of the kit calls it. */
    virtual void paramCenterUpdated (EComponent* widget, int paramId, juce::Point<float> centre);

    /** For owners with plain buttons; no widget of the kit calls it. */
    virtual void buttonClicked (EComponent* widget);

    /** Display text of a parameter's value. The default answers "strVal". */
    virtual juce::String getStringValue (int paramId);

    /** Display name of a parameter. The default answers "PAR" followed by the index. */
    virtual juce::String getParamName (int paramId);

    /** The parameter's normalised default value. The default answers 0. */
    virtual float defaultValueForParamId (int paramId);

    /** The parameter's current normalised value. The default answers 0. */
    virtual float currentValueForParamId (int paramId);

    /** A change gesture (a press-drag-release) begins or ends on a widget. Every begin is
        followed by exactly one end for the same widget. */
    virtual void ui_beginGesture (EComponent* widget, int paramId);
    virtual void ui_endGesture (EComponent* widget, int paramId);
};
