#include "AAX_Exception.h"

#include <cstdio>

#include "AAX_StringUtilities.h"

namespace AAX
{
namespace Exception
{
Any::Any(const std::string& description, const std::string& function, const std::string& line)
    : mDesc(description)
    , mFunction(function)
    , mLine(line)
    , mWhat(CreateWhat(description, function, line))
{
}

std::string Any::CreateWhat(const std::string& description, const std::string& function, const std::string& line)
{
    std::string what = description;
    if (!function.empty())
        what += " func:" + function;
    if (!line.empty())
        what += " line:" + line;
    return what;
}

ResultError::ResultError(AAX_Result result)
    : Any(FormatResult(result))
    , mResult(result)
{
}

std::string ResultError::FormatResult(AAX_Result result)
{
    char code[32];
    std::snprintf(code, sizeof(code), " (%ld)", static_cast<long>(result));
    return AsStringResult(result) + code;
}
} // namespace Exception
} // namespace AAX
