#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's source of control-surface page tables: copies a stored table into a host page
    table (`table`, created by the plug-in through the host's factory). Ids are four-character
    codes; `tablePageSize` counts slots per page. Non-real-time threads. */
class AAX_IACFPageTableController : public IACFUnknown
{
public:
    /** The table of the effect identified by the three ids. */
    virtual AAX_Result CopyTableForEffect(AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                          AAX_CPropertyValue plugInID, uint32_t tableType, int32_t tablePageSize,
                                          IACFUnknown* table) = 0;

    /** The table of a named layout of the effect `effectID`. */
    virtual AAX_Result CopyTableOfLayoutForEffect(const char* effectID, const char* layoutName, uint32_t tableType,
                                                  int32_t tablePageSize, IACFUnknown* table) = 0;
};

/** Second version: the same copies read from a page-table file. */
class AAX_IACFPageTableController_V2 : public AAX_IACFPageTableController
{
public:
    virtual AAX_Result CopyTableForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                                  AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                                  AAX_CPropertyValue plugInID, uint32_t tableType,
                                                  int32_t tablePageSize, IACFUnknown* table) = 0;

    virtual AAX_Result CopyTableOfLayoutFromFile(const char* path, AAX_ETextEncoding encoding, const char* layoutName,
                                                 uint32_t tableType, int32_t tablePageSize, IACFUnknown* table) = 0;
};
