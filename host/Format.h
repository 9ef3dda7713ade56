#pragma once

#include <cstdint>
#include <string>

#include "ACF/IACFUnknown.h"

/** Argument texts of call records: one exact, stable spelling per kind of value. */
namespace aaxhost
{
/** "\"text\"", or null. */
std::string Quote(const char* text);

/** Decimal. */
std::string Int(int64_t value);

/** Shortest text that reads back as the same double: 1 for 1.0, 0.5, 250, 1e+21 ... */
std::string Real(double value);

/** "0x..." for a non-null pointer, null otherwise. */
std::string Ptr(const void* pointer);

/** The name of a known id (IID_..., AAXCompID_..., AAXATTR_...), or its hex digits. */
std::string UidName(const acfUID& id);

/** The name of the host object behind `unknown`, "foreign" for an object of another host, or
    null. */
std::string ObjectName(IACFUnknown* unknown);
} // namespace aaxhost
