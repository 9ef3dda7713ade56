#pragma once

#include <exception>

#include "AAX_CHostServices.h"

/** Runs a host-facing operation of `owner` (a class name, for the trace) so that nothing thrown
    below it, by a host callback, a derived class or an allocation, reaches the host: the
    exception becomes -20042 and a trace "<owner>::<where> exception caught: <what>". */
template <class Operation>
AAX_Result AAX_CallGuarded(const char* owner, const char* where, Operation&& operation) noexcept
{
    try
    {
        return operation();
    }
    catch (const std::exception& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s::%s exception caught: %s", owner, where,
                                 error.what());
    }
    catch (...)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s::%s exception caught", owner, where);
    }
    return AAX_ERROR_UNKNOWN_EXCEPTION;
}
