// The chunk data format that stored sessions hold: big-endian values after a tag and a
// zero-terminated name padded to four bytes, behind the marker 01 01 01 01.

#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CChunkDataParser.h"

using aaxtest::BigEndian;
using aaxtest::ChunkBuffer;
using aaxtest::Entry;
using aaxtest::Join;
using aaxtest::kMarker;
using Bytes = std::vector<uint8_t>;

namespace
{
/** Exposes the cursor search for tests. */
class Parser : public AAX_CChunkDataParser
{
public:
    using AAX_CChunkDataParser::FindName;
};

template <class T>
uint64_t Bits(T value)
{
    static_assert(sizeof(T) == 4 || sizeof(T) == 8);
    std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t> bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

/** The bits of an entry's number (0 for a text). */
uint64_t NumberBits(const AAX_CChunkDataParser::DataValue& value)
{
    if (value.type == AAX_CChunkDataParser::eType_Double)
        return Bits(value.number.asDouble);
    return value.type == AAX_CChunkDataParser::eType_Int32 ? uint32_t(value.number.asInt32) : 0;
}

/** The data `parser` writes, through a record sized exactly by GetChunkDataSize. */
Bytes Written(const AAX_CChunkDataParser& parser)
{
    const int32_t size = parser.GetChunkDataSize();
    ChunkBuffer chunk { size_t(size) };
    chunk->fSize = -1;
    EXPECT_EQ(parser.GetChunkData(chunk.get()), 0);
    EXPECT_EQ(chunk->fSize, size);
    return chunk.Data();
}
} // namespace

using ChunkFormat = aaxtest::HostTest;

TEST_F(ChunkFormat, WritesTheDocumentedEntriesByteForByte)
{
    AAX_CChunkDataParser none; // no values: the marker alone
    EXPECT_EQ(Written(none), kMarker);
    EXPECT_EQ(none.GetChunkVersion(), -1);

    AAX_CChunkDataParser parser;
    parser.AddDouble("Gain", 0.5);
    parser.AddInt32("ab", 1);
    parser.AddInt32("x", -2);        // "l_x" + zero: 4 bytes, no padding
    parser.AddString("t", "abcd");   // text of 5 bytes with its zero: 3 padding bytes
    parser.AddString("u", "abc");    // exactly 4: none
    parser.AddDouble("name5", -1.0); // "d_name5" + zero: 8 bytes
    const Bytes expected = Join({ kMarker,
                                  { 0x64, 0x5F, 0x47, 0x61, 0x69, 0x6E, 0x00, 0x00, 0x3F, 0xE0, 0, 0, 0, 0, 0, 0 },
                                  { 0x6C, 0x5F, 0x61, 0x62, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01 },
                                  { 'l', '_', 'x', 0, 0xFF, 0xFF, 0xFF, 0xFE },
                                  { 'r', '_', 't', 0, 'a', 'b', 'c', 'd', 0, 0, 0, 0 },
                                  { 'r', '_', 'u', 0, 'a', 'b', 'c', 0 },
                                  Entry("d_name5", BigEndian(Bits(-1.0), 8)) });
    ASSERT_EQ(expected.size(), 4u + 16 + 12 + 8 + 12 + 8 + 16);
    EXPECT_EQ(parser.GetChunkDataSize(), int32_t(expected.size()));
    EXPECT_EQ(Written(parser), expected);
}

TEST_F(ChunkFormat, ReadsEveryTagAndWritesItBackUnchanged)
{
    const Bytes data = Join({ kMarker, Entry("f_flt", BigEndian(Bits(-0.25f), 4)),
                              Entry("l_int", BigEndian(uint32_t(-123456), 4)), Entry("d_dbl", BigEndian(Bits(0.1), 8)),
                              Entry("s_sht", Join({ BigEndian(uint16_t(-300), 2), { 0, 0 } })),
                              Entry("r_txt", { 'h', 'i', 0, 0 }), Entry("r_pad", { 'a', 'b', 'c', 'd', 0, 0, 0, 0 }),
                              Entry("d_end", BigEndian(Bits(2.0), 8)) });
    ChunkBuffer chunk = ChunkBuffer::Holding(data);
    chunk->fVersion = 3;

    AAX_CChunkDataParser parser;
    ASSERT_TRUE(parser.LoadChunk(chunk.get()));
    EXPECT_EQ(parser.GetChunkVersion(), 3);
    const auto& values = parser.GetValues();
    ASSERT_EQ(values.size(), 7u);
    EXPECT_EQ(values[0].type, AAX_CChunkDataParser::eType_Float);
    EXPECT_EQ(values[0].name, AAX_CString("flt"));
    EXPECT_EQ(values[0].number.asFloat, -0.25f);
    EXPECT_EQ(values[1].number.asInt32, -123456);
    EXPECT_EQ(values[2].number.asDouble, 0.1);
    EXPECT_EQ(values[3].type, AAX_CChunkDataParser::eType_Int16);
    EXPECT_EQ(values[3].number.asInt16, -300);
    EXPECT_EQ(values[4].text, AAX_CString("hi"));
    EXPECT_EQ(values[5].text, AAX_CString("abcd"));
    EXPECT_EQ(values[6].number.asDouble, 2.0); // read from the aligned position after the padding

    // Floats and int16s are held but no finder hands them out.
    double asDouble = 0.0;
    int32_t asInt = 0;
    EXPECT_FALSE(parser.FindDouble("flt", &asDouble) || parser.FindInt32("sht", &asInt));
    EXPECT_TRUE(parser.FindInt32("int", &asInt));
    EXPECT_EQ(asInt, -123456);
    EXPECT_EQ(Written(parser), data);

    // Written then read: the same values, bit for bit, in order, up to the longest name.
    AAX_CChunkDataParser written;
    written.AddDouble(std::string(AAX_CChunkDataParser::kMaxNameLength, 'n').c_str(), std::nan(""));
    written.AddInt32("", INT32_MIN);
    ChunkBuffer again = ChunkBuffer::Holding(Written(written));
    AAX_CChunkDataParser read;
    ASSERT_TRUE(read.LoadChunk(again.get()));
    ASSERT_EQ(read.GetValues().size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_TRUE(written.GetValues()[i].name == read.GetValues()[i].name
                    && NumberBits(written.GetValues()[i]) == NumberBits(read.GetValues()[i]))
            << i;
}

TEST_F(ChunkFormat, LookupsResumeAfterTheLastHitAndWrapAround)
{
    Parser parser;
    parser.AddDouble("a", 1.0);
    parser.AddInt32("b", 2);
    parser.AddDouble("c", 3.0);
    parser.AddDouble("a", 4.0); // a second entry of the same name

    const std::pair<const char*, int32_t> lookups[] = {
        { "a", 0 },   { "a", 3 }, { "a", 0 }, // the search goes on after the hit and wraps to the start
        { "zz", -1 }, { "a", 3 },             // a miss leaves the cursor
        { "b", 1 },   { "b", 1 },             // the entry just found is found again
        { "c", 2 },   { "b", 1 }
    };
    for (const auto& [name, index] : lookups)
        EXPECT_EQ(parser.FindName(name), index) << name;

    double value = 0.0;
    int32_t intValue = 0;
    EXPECT_FALSE(parser.FindDouble("b", &value)); // found, but stored as an int32
    EXPECT_TRUE(parser.FindDouble("c", &value) && parser.FindInt32("b", &intValue));
    EXPECT_EQ(value + intValue, 5.0);
    EXPECT_FALSE(parser.FindDouble(nullptr, &value) || parser.FindDouble("a", nullptr));
}

TEST_F(ChunkFormat, ShortOrForeignChunksGiveNoValuesButAreNoError)
{
    AAX_CChunkDataParser parser;
    for (const auto& [data, size] : { std::pair { kMarker, 4 },
                                      { Bytes(8), 0 },
                                      { Bytes(8), 2 },
                                      { Bytes(8), -8 },
                                      { Join({ { 1, 1, 1, 2 }, Entry("d_x", BigEndian(0, 8)) }), 16 } })
    {
        parser.AddDouble("old", 1.0);
        ChunkBuffer chunk = ChunkBuffer::Holding(data);
        chunk->fSize = size;
        chunk->fVersion = 9;
        EXPECT_TRUE(parser.LoadChunk(chunk.get())) << size;
        EXPECT_TRUE(parser.GetValues().empty()) << size;
        EXPECT_EQ(parser.GetChunkVersion(), 9);
    }
    EXPECT_FALSE(parser.LoadChunk(nullptr));
}

TEST_F(ChunkFormat, MalformedDataLeavesNothingAndIsRefused)
{
    // Each chunk's data ends exactly where its record does: the sanitizer builds see any read past it.
    const Bytes good = Join({ kMarker, Entry("d_ok", BigEndian(Bits(0.5), 8)) });
    const std::vector<std::pair<const char*, Bytes>> cases = {
        { "name without its zero byte", Join({ good, { 'd', '_', 'a', 'b' } }) },
        { "name shorter than its tag", Join({ good, { 'd', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } }) },
        { "trailing zero bytes", Join({ good, { 0, 0, 0, 0 } }) },
        { "unknown tag", Join({ good, Entry("x_a", BigEndian(1, 4)) }) },
        { "tag without underscore", Join({ good, Entry("dXa", BigEndian(1, 8)) }) },
        { "double cut short", Join({ good, Entry("d_a", BigEndian(1, 4)) }) },
        { "int32 missing", Join({ good, Entry("l_abcd", {}) }) },
        { "int16 without its padding", Join({ good, Entry("s_a", { 0, 1 }) }) },
        { "text without its zero byte", Join({ good, Entry("r_a", { 'x', 'y', 'z', 'w' }) }) },
        { "name longer than any entry may be", Join({ kMarker, { 'd', '_' }, Bytes(300, 'n'), Bytes(12, 0) }) },
        { "name running to the end", Join({ kMarker, Bytes(252, 'n') }) },
    };
    for (const auto& [what, data] : cases)
    {
        ChunkBuffer chunk = ChunkBuffer::Holding(data);
        chunk->fVersion = 5;
        AAX_CChunkDataParser parser;
        parser.AddDouble("kept?", 1.0);
        EXPECT_FALSE(parser.LoadChunk(chunk.get())) << what;
        EXPECT_TRUE(parser.GetValues().empty()) << what;
        EXPECT_EQ(parser.GetChunkVersion(), -1) << what;
    }
}

TEST_F(ChunkFormat, ANameTheReaderCouldNotTakeBackIsRefusedAndTraced)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    AAX_CChunkDataParser parser;
    parser.AddDouble("fine", 1.0);
    parser.AddDouble(std::string(AAX_CChunkDataParser::kMaxNameLength + 1, 'n').c_str(), 2.0);

    ChunkBuffer chunk { size_t(parser.GetChunkDataSize()) };
    chunk->fSize = 77;
    EXPECT_EQ(parser.GetChunkData(chunk.get()), AAX_CChunkDataParser::kWriteFailed);
    EXPECT_EQ(chunk->fSize, 77); // the size is left alone
    EXPECT_EQ(parser.GetChunkData(nullptr), AAX_CChunkDataParser::kWriteFailed);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, AAX_eTracePriorityHost_High);
    EXPECT_EQ(traces[0].message, "AAX_CChunkDataParser::GetChunkData ERROR: aborting: chunk entry name too long");
}
