#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

class AAX_IHostServices;

/** The process-wide holder of the host's diagnostics services, through which the whole library
    traces. Services exist between module start-up and shutdown; outside that span every trace
    is dropped.

    Set runs only at start-up and shutdown, which the host never overlaps with other calls into
    the module; Trace may run on any thread in between.
*/
class AAX_CHostServices
{
public:
    /** Non-null host and no services yet: creates the services over `host`. Null host and
        services present: deletes them. Any other combination changes nothing. */
    static void Set(IACFUnknown* host);

    /** The current services, or null. */
    static AAX_IHostServices* Get();

    /** Formats printf-style into at most 511 characters (a longer text is cut) and writes it to
        the host's log. Without services nothing is formatted and the result is 0; otherwise the
        host's result. */
    static AAX_Result Trace(AAX_ETracePriorityHost priority, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};
