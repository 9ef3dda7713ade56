#include "VLUICallback.h"

VLUICallback::~VLUICallback() = default;

void VLUICallback::valueChanged (EComponent*, int, float) {}
void VLUICallback::paramHooverStart (EComponent*, int) {}
void VLUICallback::paramHooverEnd (EComponent*, int) {}
void VLUICallback::paramStartChange (EComponent*, int, juce::Point<float>) {}
void VLUICallback::paramEndChange (EComponent*, int) {}
void VLUICallback::paramCenterUpdated (EComponent*, int, juce::Point<float>) {}
void VLUICallback::buttonClicked (EComponent*) {}

juce::String VLUICallback::getStringValue (int)
{
    return "strVal";
}
juce::String VLUICallback::getParamName (int paramId)
{
    return "PAR" + juce::String (paramId);
}
float VLUICallback::defaultValueForParamId (int)
{
    return 0.0f;
}
float VLUICallback::currentValueForParamId (int)
{
    return 0.0f;
}

void VLUICallback::ui_beginGesture (EComponent*, int) {}
void VLUICallback::ui_endGesture (EComponent*, int) {}
