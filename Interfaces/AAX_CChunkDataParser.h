#pragma once

#include <cstdint>
#include <vector>

#include "AAX.h"
#include "AAX_CString.h"

/** Writes and reads the tagged, big-endian chunk data in which the effect-parameters base saves
    its parameter values.

    Layout of the data (no count, no terminator: entries run to the chunk's size): the marker
    01 01 01 01, then one entry per value, each starting at a multiple of 4: a two-letter tag
    ("f_" float, "l_" int32, "d_" double, "s_" int16, "r_" text), the name and a zero byte, zero
    bytes up to the next multiple of 4, then the value most significant byte first (4 bytes;
    8 for "d_"; an int16 followed by 2 zero bytes; a text with its zero byte, padded to a
    multiple of 4).

    Reading is bounded by the chunk's declared size and all-or-nothing: a chunk that does not
    parse as a whole leaves no values. Lookups resume after the last hit, so reading values back
    in the order they were written costs one comparison each. Not synchronised.
*/
class AAX_CChunkDataParser
{
public:
    /** Value types; 0 is never written or kept. */
    enum EValueType : int32_t
    {
        eType_None = 0,
        eType_Float = 1,
        eType_Int32 = 2,
        eType_Double = 3,
        eType_Int16 = 4,
        eType_String = 5
    };

    /** One named value. Only the member of `number` that `type` names is meaningful. */
    struct DataValue
    {
        int32_t type = eType_None;
        AAX_CString name;
        union
        {
            double asDouble;
            float asFloat;
            int32_t asInt32;
            int16_t asInt16;
        } number { 0.0 };
        AAX_CString text;
    };

    /** Longest name (without its tag) that a chunk can carry and give back. */
    static constexpr uint32_t kMaxNameLength = 252;

    /** The result of GetChunkData when the data cannot be written. */
    static constexpr int32_t kWriteFailed = -333;

    AAX_CChunkDataParser();
    virtual ~AAX_CChunkDataParser();

    /** Append one value; a null name counts as empty. There are no adders for floats and int16:
        those only come from reading. */
    void AddDouble(const char* name, double value);
    void AddInt32(const char* name, int32_t value);
    void AddString(const char* name, const AAX_CString& value);

    /** Finds `name` (see FindName) and writes its value when the entry found has the finder's
        type; "f_" and "s_" entries are never returned. False for a null name or output. */
    bool FindDouble(const char* name, double* value);
    bool FindInt32(const char* name, int32_t* value);
    bool FindString(const char* name, AAX_CString* value);

    /** No values, cursor -1, version -1. */
    void Clear();

    /** Size in bytes of the data for the current values: 4 with none; -1 beyond 2 GB. */
    int32_t GetChunkDataSize() const;

    /** Writes the data into `chunk->fData` and its size into `chunk->fSize`; the caller provides
        GetChunkDataSize() bytes. 0 on success; kWriteFailed (traced) when a name is longer than
        kMaxNameLength or the data would not fit, with `fSize` then left alone. */
    int32_t GetChunkData(AAX_SPlugInChunk* chunk) const;

    /** Replaces the values with those of `chunk`, reading nothing past its declared size. A size
        of 4 or less, or data that does not start with the marker, gives no values. True when
        the chunk parsed; false for a null chunk or malformed data (a name without its zero byte
        or shorter than its tag, an unknown tag, a value running past the end), which leaves
        the parser cleared. The chunk's version is kept when it parsed. */
    bool LoadChunk(const AAX_SPlugInChunk* chunk);

    /** The version of the last chunk read; -1 after Clear. */
    int32_t GetChunkVersion() const { return mChunkVersion; }

    /** The values, in order. */
    const std::vector<DataValue>& GetValues() const { return mDataValues; }

protected:
    /** Index of the value called `name`, searching from just after the last hit and wrapping to
        the start; the hit becomes the new cursor. -1 (cursor unchanged) when there is none. */
    int32_t FindName(const AAX_CString& name);

private:
    int32_t mLastFoundIndex = -1;
    int32_t mChunkVersion = -1;
    std::vector<DataValue> mDataValues;
};
