#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

class AAX_IString;

/** The host's control-surface page table: pages of slots, each slot mapped to a parameter id. */
class AAX_IACFPageTable : public IACFUnknown
{
public:
    virtual AAX_Result Clear() = 0;
    virtual AAX_Result Empty(AAX_CBoolean& empty) = 0;
    virtual AAX_Result GetNumPages(int32_t& count) = 0;
    virtual AAX_Result InsertPage(int32_t page) = 0;
    virtual AAX_Result RemovePage(int32_t page) = 0;
    virtual AAX_Result GetNumMappedParameterIDs(int32_t page, int32_t& count) = 0;
    virtual AAX_Result ClearMappedParameter(int32_t page, int32_t slot) = 0;
    virtual AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& parameterID) = 0;
    virtual AAX_Result MapParameterID(AAX_CParamID parameterID, int32_t page, int32_t slot) = 0;
};
