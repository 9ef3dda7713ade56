#pragma once

#include <string>

#include "AAX_Errors.h"

namespace AAX
{
/** The name of a result code: "AAX_SUCCESS" for 0, the code's name for the named failures from
    -20046 to -20001, "<unknown error code>" for anything else. Any thread. */
std::string AsStringResult(AAX_Result result);
}
