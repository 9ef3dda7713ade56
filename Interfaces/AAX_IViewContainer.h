#pragma once

#include "AAX.h"

/** The host's view that holds the editor: its native view, the keyboard modifiers, its size, and
    the mouse events the host handles itself (automation shortcuts). None of the operations is
    overloaded, so that their addresses can be taken. Editor (message) thread. */
class AAX_IViewContainer
{
public:
    virtual ~AAX_IViewContainer() = default;

    /** AAX_EViewContainer_Type of the native view; 0 when there is none. */
    virtual int32_t GetType() = 0;

    /** The native view, or null. */
    virtual void* GetPtr() = 0;

    /** Writes the AAX_EModifiers flags held down now. */
    virtual AAX_Result GetModifiers(uint32_t* modifiers) = 0;

    /** Asks the host to resize the view, in pixels; the host may adjust `size`. */
    virtual AAX_Result SetViewSize(AAX_Point& size) = 0;

    /** Hands a mouse event on a parameter's control to the host; AAX_SUCCESS means the host
        consumed it. */
    virtual AAX_Result HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) = 0;
    virtual AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* parameterIDs, uint32_t count,
                                                         uint32_t modifiers) = 0;
    virtual AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* parameterIDs, uint32_t count,
                                                         uint32_t modifiers) = 0;
    virtual AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* parameterIDs, uint32_t count,
                                                       uint32_t modifiers) = 0;
};
