#include "AAX_CheckedResult.h"

#include "AAX_CHostServices.h"
#include "AAX_Exception.h"

AAX_CheckedResult::AAX_CheckedResult(AAX_Result result)
    : mCurResult(result)
{
    Check();
}

AAX_CheckedResult& AAX_CheckedResult::operator=(AAX_Result result)
{
    mCurResult = result;
    Check();
    return *this;
}

void AAX_CheckedResult::Check()
{
    const AAX_Result result = mCurResult;
    if (mAcceptedResults.count(result) != 0)
        return;

    const AAX::Exception::ResultError error(result);
    mCurResult = AAX_SUCCESS;
    mLastError = result;
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "AAX_CheckedResult - throwing %s", error.What().c_str());
    throw error;
}

void AAX_CheckedResult::AddAcceptedResult(AAX_Result result)
{
    mAcceptedResults.insert(result);
}

void AAX_CheckedResult::ResetAcceptedResults()
{
    mAcceptedResults = { AAX_SUCCESS };
}
