#pragma once

#include <stdexcept>
#include <string>

#include "AAX.h"

namespace aaxhost
{
/** A step of the stand-in host's sequence that failed: the plug-in's (or the host's own) result
    code and what the host was doing. */
class HostError : public std::runtime_error
{
public:
    HostError(const std::string& what, AAX_Result code = 0)
        : std::runtime_error(code != 0 ? what + " (result " + std::to_string(code) + ")" : what), mCode(code)
    {
    }

    AAX_Result Code() const { return mCode; }

private:
    AAX_Result mCode;
};
} // namespace aaxhost
