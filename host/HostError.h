#pragma once

#include <stdexcept>
#include <string>

#include "AAX.h"
#include "AAX_StringUtilities.h"

namespace aaxhost
{
/** A step of the stand-in host's sequence that failed: the plug-in's (or the host's own) result
    code and what the host was doing. The message gives the code with its name:
    "... (result -20026 AAX_ERROR_MALFORMED_CHUNK)". */
class HostError : public std::runtime_error
{
public:
    HostError(const std::string& what, AAX_Result code = 0)
        : std::runtime_error(code != 0 ? what + " (result " + ResultText(code) + ")" : what)
        , mCode(code)
    {
    }

    /** A result code as its number followed by its name ("-20026 AAX_ERROR_MALFORMED_CHUNK"),
        or the number alone when it has none. */
    static std::string ResultText(AAX_Result code)
    {
        const std::string name = AAX::AsStringResult(code);
        return std::to_string(code) + (name.empty() || name[0] == '<' ? "" : " " + name);
    }

    AAX_Result Code() const { return mCode; }

private:
    AAX_Result mCode;
};
} // namespace aaxhost
