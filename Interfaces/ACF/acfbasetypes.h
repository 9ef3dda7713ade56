#pragma once

#include <cstdint>
#include <cstring>

/** Basic types of the host's component framework (ACF): results and 16-byte ids.

    Everything here is plain data, usable from any thread.
*/

/** A framework result: 0 for success, negative for failure. */
typedef int32_t ACFRESULT;

/** Framework results that this side produces. */
constexpr ACFRESULT ACF_OK = 0;
constexpr ACFRESULT ACF_E_UNEXPECTED = static_cast<ACFRESULT>(0x8000FFFFu);  ///< an exception escaped an entry point
constexpr ACFRESULT ACF_E_INVALIDARG = static_cast<ACFRESULT>(0x80000003u);  ///< a required object was null
constexpr ACFRESULT ACF_E_NOINTERFACE = static_cast<ACFRESULT>(0x80000004u); ///< the object does not answer that id
constexpr ACFRESULT ACF_E_POINTER = static_cast<ACFRESULT>(0x80000005u);     ///< member access through an empty holder

/** A 16-byte id naming an interface, a component class or a feature; compared as a whole. */
struct _acfUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

typedef _acfUID acfUID;
typedef _acfUID acfIID;   ///< an interface id
typedef _acfUID acfCLSID; ///< a component class id

static_assert(sizeof(_acfUID) == 16, "ids are 16 bytes");

inline bool operator==(const _acfUID& a, const _acfUID& b) noexcept
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3
        && std::memcmp(a.Data4, b.Data4, sizeof(a.Data4)) == 0;
}

inline bool operator!=(const _acfUID& a, const _acfUID& b) noexcept
{
    return !(a == b);
}

/** Strict order, so that ids can key ordered containers. */
inline bool operator<(const _acfUID& a, const _acfUID& b) noexcept
{
    if (a.Data1 != b.Data1)
        return a.Data1 < b.Data1;
    if (a.Data2 != b.Data2)
        return a.Data2 < b.Data2;
    if (a.Data3 != b.Data3)
        return a.Data3 < b.Data3;
    return std::memcmp(a.Data4, b.Data4, sizeof(a.Data4)) < 0;
}

/** Succeeded / failed tests for framework results. */
inline bool ACFSUCCEEDED(ACFRESULT r) noexcept
{
    return r >= 0;
}
inline bool ACFFAILED(ACFRESULT r) noexcept
{
    return r < 0;
}
