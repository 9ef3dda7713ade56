#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's diagnostics services (created through the host's component factory). */
class AAX_IACFHostServices : public IACFUnknown
{
public:
    /** Reports a failed assertion: source file, line and a note. */
    virtual AAX_Result Assert(const char* file, int32_t line, const char* note) = 0;

    /** Writes `message` to the host's trace log at `priority` (AAX_ETracePriorityHost). */
    virtual AAX_Result Trace(int32_t priority, const char* message) = 0;
};

/** Second version: adds a stack trace. */
class AAX_IACFHostServices_V2 : public AAX_IACFHostServices
{
public:
    /** Writes `message` and the current stack to the log. */
    virtual AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) = 0;
};
