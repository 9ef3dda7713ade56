#include "EComponent.h"
#include "VLUICallback.h"

// clang-format off
void EComponent::setCallback (VLUICallback* cb)     { callback = cb; }
void EComponent::setValue (float v)                 { setValue (v, true); }

void EComponent::setValue (float v, bool repaintNow)
{
    value = v;

    if (repaintNow)
        repaint();
}

float EComponent::getMinWidth()                     { return 0.0f; }
float EComponent::getMinHeight()                    { return 0.0f; }
float EComponent::getValue()                        { return value; }
void EComponent::setParamId (int id)                { paramId = id; }
int EComponent::getParamId()                        { return paramId; }
float EComponent::getValueForParamId (int)          { return getValue(); }
void EComponent::setValueForParamId (int, float v)  { setValue (v); }
void EComponent::tick()                             {}
void EComponent::reinitImages()                     {}
// clang-format on

void EComponent::refresh (bool notify)
{
    if (callback == nullptr)
        return;

    const float v = callback->currentValueForParamId (paramId);

    // Exact comparison on purpose: any movement of the parameter must show, and an unchanged
    // one must cost nothing on the 60 Hz timer. A NaN compares unequal and so always refreshes.
    if (value == storedValueFor (v))
        return;

    setValue (v);

    if (notify && callback != nullptr)
        callback->valueChanged (this, paramId, v);
}

bool EComponent::openGesture()
{
    if (! gestureOpen && callback != nullptr)
    {
        gestureOpen = true;
        callback->ui_beginGesture (this, paramId);
    }

    return gestureOpen;
}

bool EComponent::closeGesture()
{
    if (! gestureOpen)
        return false;

    gestureOpen = false;

    if (callback != nullptr)
        callback->ui_endGesture (this, paramId);

    return true;
}
