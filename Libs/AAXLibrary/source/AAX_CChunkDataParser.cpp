#include "AAX_CChunkDataParser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "AAX_CHostServices.h"

namespace
{
constexpr unsigned char kMarker[4] = { 1, 1, 1, 1 };

/** A name ends within this many bytes of its entry's start (tag and zero byte included). */
constexpr int64_t kMaxNameBytes = 255;

int64_t RoundUp4(int64_t value)
{
    return (value + 3) & ~int64_t(3);
}

const char* TagOf(int32_t type)
{
    switch (type)
    {
    case AAX_CChunkDataParser::eType_Float: return "f_";
    case AAX_CChunkDataParser::eType_Int32: return "l_";
    case AAX_CChunkDataParser::eType_Double: return "d_";
    case AAX_CChunkDataParser::eType_Int16: return "s_";
    case AAX_CChunkDataParser::eType_String: return "r_";
    default: return nullptr;
    }
}

int64_t NameLength(const AAX_CChunkDataParser::DataValue& value)
{
    return int64_t(std::strlen(value.name.Get()));
}

/** Bytes of the value itself, padding included. */
int64_t ValueSize(const AAX_CChunkDataParser::DataValue& value)
{
    switch (value.type)
    {
    case AAX_CChunkDataParser::eType_Double: return 8;
    case AAX_CChunkDataParser::eType_String: return RoundUp4(int64_t(std::strlen(value.text.Get())) + 1);
    default: return 4;
    }
}

void PutBigEndian(unsigned char* out, uint64_t bits, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(bits >> (8 * (bytes - 1 - i)));
}

uint64_t GetBigEndian(const unsigned char* in, int bytes)
{
    uint64_t bits = 0;
    for (int i = 0; i < bytes; ++i)
        bits = (bits << 8) | in[i];
    return bits;
}

template <typename To, typename From>
To BitCast(From from)
{
    static_assert(sizeof(To) == sizeof(From), "same size");
    To to;
    std::memcpy(&to, &from, sizeof(To));
    return to;
}
} // namespace

AAX_CChunkDataParser::AAX_CChunkDataParser() = default;

AAX_CChunkDataParser::~AAX_CChunkDataParser() = default;

void AAX_CChunkDataParser::AddDouble(const char* name, double value)
{
    DataValue entry;
    entry.type = eType_Double;
    entry.name = name;
    entry.number.asDouble = value;
    mDataValues.push_back(std::move(entry));
}

void AAX_CChunkDataParser::AddInt32(const char* name, int32_t value)
{
    DataValue entry;
    entry.type = eType_Int32;
    entry.name = name;
    entry.number.asInt32 = value;
    mDataValues.push_back(std::move(entry));
}

void AAX_CChunkDataParser::AddString(const char* name, const AAX_CString& value)
{
    DataValue entry;
    entry.type = eType_String;
    entry.name = name;
    entry.text = value;
    mDataValues.push_back(std::move(entry));
}

void AAX_CChunkDataParser::Clear()
{
    mLastFoundIndex = -1;
    mChunkVersion = -1;
    mDataValues.clear();
}

int32_t AAX_CChunkDataParser::FindName(const AAX_CString& name)
{
    const int32_t count = static_cast<int32_t>(mDataValues.size());
    if (mLastFoundIndex >= count - 1)
        mLastFoundIndex = -1;

    for (int32_t i = mLastFoundIndex + 1; i < count; ++i)
    {
        if (mDataValues[size_t(i)].name == name)
            return mLastFoundIndex = i;
    }
    for (int32_t i = 0; i <= mLastFoundIndex; ++i)
    {
        if (mDataValues[size_t(i)].name == name)
            return mLastFoundIndex = i;
    }
    return -1;
}

bool AAX_CChunkDataParser::FindDouble(const char* name, double* value)
{
    if (name == nullptr || value == nullptr)
        return false;
    const int32_t index = FindName(AAX_CString(name));
    if (index < 0 || mDataValues[size_t(index)].type != eType_Double)
        return false;
    *value = mDataValues[size_t(index)].number.asDouble;
    return true;
}

bool AAX_CChunkDataParser::FindInt32(const char* name, int32_t* value)
{
    if (name == nullptr || value == nullptr)
        return false;
    const int32_t index = FindName(AAX_CString(name));
    if (index < 0 || mDataValues[size_t(index)].type != eType_Int32)
        return false;
    *value = mDataValues[size_t(index)].number.asInt32;
    return true;
}

bool AAX_CChunkDataParser::FindString(const char* name, AAX_CString* value)
{
    if (name == nullptr || value == nullptr)
        return false;
    const int32_t index = FindName(AAX_CString(name));
    if (index < 0 || mDataValues[size_t(index)].type != eType_String)
        return false;
    *value = mDataValues[size_t(index)].text;
    return true;
}

int32_t AAX_CChunkDataParser::GetChunkDataSize() const
{
    int64_t size = 4;
    for (const DataValue& value : mDataValues)
    {
        if (TagOf(value.type) == nullptr)
            continue; // untyped values are never written
        size += RoundUp4(NameLength(value) + 3) + ValueSize(value);
        if (size > std::numeric_limits<int32_t>::max())
            return -1;
    }
    return static_cast<int32_t>(size);
}

int32_t AAX_CChunkDataParser::GetChunkData(AAX_SPlugInChunk* chunk) const
{
    if (chunk == nullptr)
        return kWriteFailed;

    try
    {
        const int32_t size = GetChunkDataSize();
        if (size < 4)
            return kWriteFailed;

        unsigned char* const data = reinterpret_cast<unsigned char*>(chunk->fData);
        std::memset(data, 0, size_t(size));
        std::memcpy(data, kMarker, sizeof(kMarker));

        int64_t position = 4;
        for (const DataValue& value : mDataValues)
        {
            const char* const tag = TagOf(value.type);
            if (tag == nullptr)
                continue;

            // The reader looks for a name's zero byte within a bounded span; a longer name would
            // be written but could never be read back.
            const int64_t nameLength = NameLength(value);
            if (nameLength > int64_t(kMaxNameLength))
                throw std::length_error("aborting: chunk entry name too long");

            // The bound counts the padding before the value as well as the value itself.
            const int64_t valuePosition = RoundUp4(position + 2 + nameLength + 1);
            const int64_t valueSize = ValueSize(value);
            if (valuePosition + valueSize > size)
                throw std::out_of_range("aborting: chunk data will overflow buffer");

            std::memcpy(data + position, tag, 2);
            std::memcpy(data + position + 2, value.name.Get(), size_t(nameLength));

            unsigned char* const out = data + valuePosition;
            switch (value.type)
            {
            case eType_Float: PutBigEndian(out, BitCast<uint32_t>(value.number.asFloat), 4); break;
            case eType_Int32: PutBigEndian(out, BitCast<uint32_t>(value.number.asInt32), 4); break;
            case eType_Double: PutBigEndian(out, BitCast<uint64_t>(value.number.asDouble), 8); break;
            case eType_Int16: PutBigEndian(out, BitCast<uint16_t>(value.number.asInt16), 2); break;
            default: std::memcpy(out, value.text.Get(), std::strlen(value.text.Get())); break;
            }
            position = valuePosition + valueSize;
        }

        chunk->fSize = size;
        return AAX_SUCCESS;
    }
    catch (const std::exception& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "AAX_CChunkDataParser::GetChunkData ERROR: %s",
                                 error.what());
        return kWriteFailed;
    }
    catch (...)
    {
        return kWriteFailed;
    }
}

bool AAX_CChunkDataParser::LoadChunk(const AAX_SPlugInChunk* chunk)
{
    Clear();
    if (chunk == nullptr)
        return false;

    const int64_t size = chunk->fSize;
    const unsigned char* const data = reinterpret_cast<const unsigned char*>(chunk->fData);
    if (size <= 4 || std::memcmp(data, kMarker, sizeof(kMarker)) != 0)
    {
        mChunkVersion = chunk->fVersion;
        return true;
    }

    // Parsed aside and kept only as a whole: a chunk that breaks off half-way restores nothing.
    std::vector<DataValue> values;
    int64_t position = 4;
    while (position < size)
    {
        const int64_t span = std::min(size - position, kMaxNameBytes);
        const void* const zero = std::memchr(data + position, 0, size_t(span));
        if (zero == nullptr)
            return false;

        const int64_t nameBytes = static_cast<const unsigned char*>(zero) - (data + position);
        if (nameBytes < 2 || data[position + 1] != '_')
            return false;

        DataValue value;
        const int64_t valuePosition = RoundUp4(position + nameBytes + 1);
        int64_t valueSize = 4;
        switch (data[position])
        {
        case 'f': value.type = eType_Float; break;
        case 'l': value.type = eType_Int32; break;
        case 'd':
            value.type = eType_Double;
            valueSize = 8;
            break;
        case 's': value.type = eType_Int16; break;
        case 'r': value.type = eType_String; break;
        default: return false;
        }
        if (valuePosition + (value.type == eType_String ? 1 : valueSize) > size)
            return false;

        const unsigned char* const in = data + valuePosition;
        switch (value.type)
        {
        case eType_Float: value.number.asFloat = BitCast<float>(uint32_t(GetBigEndian(in, 4))); break;
        case eType_Int32: value.number.asInt32 = BitCast<int32_t>(uint32_t(GetBigEndian(in, 4))); break;
        case eType_Double: value.number.asDouble = BitCast<double>(GetBigEndian(in, 8)); break;
        case eType_Int16: value.number.asInt16 = BitCast<int16_t>(uint16_t(GetBigEndian(in, 2))); break;
        default:
        {
            const void* const end = std::memchr(in, 0, size_t(size - valuePosition));
            if (end == nullptr)
                return false;
            const int64_t textLength = static_cast<const unsigned char*>(end) - in;
            value.text = AAX_CString(std::string(reinterpret_cast<const char*>(in), size_t(textLength)));
            valueSize = RoundUp4(textLength + 1); // the writer pads texts to a multiple of 4
            break;
        }
        }

        value.name = AAX_CString(
            std::string(reinterpret_cast<const char*>(data + position + 2), size_t(nameBytes - 2)));
        values.push_back(std::move(value));
        position = valuePosition + valueSize;
    }

    mDataValues = std::move(values);
    mChunkVersion = chunk->fVersion;
    return true;
}
