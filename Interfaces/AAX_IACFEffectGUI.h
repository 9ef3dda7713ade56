#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

class AAX_IString;

/** The plug-in's editor of one instance as the host calls it. Editor (message) thread. */
class AAX_IACFEffectGUI : public IACFUnknown
{
public:
    virtual AAX_Result Initialize(IACFUnknown* context) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;

    /** Attaches the editor to the host's view; null detaches it. */
    virtual AAX_Result SetViewContainer(IACFUnknown* viewContainer) = 0;

    /** Writes the editor's size in pixels. */
    virtual AAX_Result GetViewSize(AAX_Point* size) const = 0;

    virtual AAX_Result Draw(AAX_Rect* area) = 0;
    virtual AAX_Result TimerWakeup() = 0;
    virtual AAX_Result ParameterUpdated(AAX_CParamID parameterID) = 0;
    virtual AAX_Result GetCustomLabel(AAX_EPlugInStrings selector, AAX_IString* label) const = 0;
    virtual AAX_Result SetControlHighlightInfo(AAX_CParamID parameterID, AAX_CBoolean highlighted,
                                               AAX_EHighlightColor colour) = 0;
};
