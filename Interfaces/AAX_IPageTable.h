#pragma once

#include "AAX.h"

class AAX_IString;

/** A control-surface page table: numbered pages of numbered slots, each slot mapped to a
    parameter id. Pages and slots count from 0. Non-real-time threads. */
class AAX_IPageTable
{
public:
    virtual ~AAX_IPageTable() = default;

    virtual AAX_Result Clear() = 0;
    virtual AAX_Result Empty(AAX_CBoolean& empty) const = 0;
    virtual AAX_Result GetNumPages(int32_t& count) const = 0;

    /** Inserts an empty page before `page`. */
    virtual AAX_Result InsertPage(int32_t page) = 0;
    virtual AAX_Result RemovePage(int32_t page) = 0;

    /** Number of slots of `page` mapped to a parameter. */
    virtual AAX_Result GetNumMappedParameterIDs(int32_t page, int32_t& count) const = 0;
    virtual AAX_Result ClearMappedParameter(int32_t page, int32_t slot) = 0;
    virtual AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& parameterID) const = 0;
    virtual AAX_Result MapParameterID(AAX_CParamID parameterID, int32_t page, int32_t slot) = 0;
};
