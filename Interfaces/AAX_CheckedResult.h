#pragma once

#include <set>

#include "AAX_Errors.h"

/** Turns a failing result code into an AAX::Exception::ResultError, for code that uses exceptions
    (registration). Each failure is traced to the host at AAX_eTracePriorityHost_Normal before the
    throw. One object per thread. */
class AAX_CheckedResult
{
public:
    /** Holds `result` and checks it at once: a failing code throws. */
    AAX_CheckedResult(AAX_Result result = AAX_SUCCESS);

    /** Holds a new result and checks it. */
    AAX_CheckedResult& operator=(AAX_Result result);

    /** Nothing when the held result is accepted (0 and any added with AddAcceptedResult). Else the
        held result becomes 0, the last error the code, "AAX_CheckedResult - throwing %s" is
        traced, and a ResultError for the code is thrown. */
    void Check();

    /** Treats `result` as success from now on. */
    void AddAcceptedResult(AAX_Result result);
    void ResetAcceptedResults();

    AAX_Result Result() const { return mCurResult; }
    AAX_Result LastError() const { return mLastError; }

private:
    AAX_Result mCurResult;
    AAX_Result mLastError = AAX_SUCCESS;
    std::set<AAX_Result> mAcceptedResults { AAX_SUCCESS };
};
