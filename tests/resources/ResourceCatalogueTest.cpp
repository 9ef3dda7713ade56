// The embedded resource catalogue: lookup by name, the name hash it is keyed on, and the font.

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

namespace
{
// The catalogue's name hash: h = 31 h + c over the name's bytes, each read as a signed char.
uint32_t nameHash (const char* name)
{
    uint32_t h = 0;

    for (auto* p = reinterpret_cast<const signed char*> (name); *p != 0; ++p)
        h = 31u * h + (uint32_t) (int32_t) *p;

    return h;
}

const char* lookUp (const char* name, int& size)
{
    size = -12345;   // a lookup must always overwrite the size
    return BinaryData::getNamedResource (name, size);
}

bool endsWith (const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && s.compare (s.size() - suffix.size(), suffix.size(), suffix) == 0;
}
} // namespace

//==============================================================================
TEST (NameHash, FollowsTheWorkedValuesAndIsDistinctForEveryResource)
{
    EXPECT_EQ (nameHash ("abc"), 96354u);
    EXPECT_EQ (nameHash (""), 0u);

    // A byte of 0x80 or above counts as its value minus 256.
    EXPECT_EQ (nameHash ("\xC3"), (uint32_t) -61);
    EXPECT_EQ (nameHash ("a\xC3"), 31u * 97u - 61u);

    std::set<uint32_t> hashes;

    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
        EXPECT_TRUE (hashes.insert (nameHash (BinaryData::namedResourceList[i])).second)
            << BinaryData::namedResourceList[i];
}

TEST (NameHash, IsWhatTheLookupIsKeyedOn)
{
    int size = 0;
    const char* byName = lookUp ("_01_01_Default_wmb", size);
    ASSERT_NE (byName, nullptr);

    // "mb" -> "nC": 31 * ('n' - 'm') == 'b' - 'C', so the hash is the same.
    ASSERT_EQ (nameHash ("_01_01_Default_wnC"), nameHash ("_01_01_Default_wmb"));
    EXPECT_EQ (lookUp ("_01_01_Default_wnC", size), byName);
    EXPECT_EQ (size, 92);

    // "mb" -> "r\xC7": 31 * 5 == 98 - (-57) only when 0xC7 counts as -57, not as 199.
    ASSERT_EQ (nameHash ("_01_01_Default_wr\xC7"), nameHash ("_01_01_Default_wmb"));
    EXPECT_EQ (lookUp ("_01_01_Default_wr\xC7", size), byName);
    EXPECT_EQ (size, 92);
}

//==============================================================================
TEST (GetNamedResource, YieldsTheDefaultPresetAndTheFontAsTheirConstants)
{
    int size = 0;
    EXPECT_EQ (lookUp ("_01_01_Default_wmb", size), BinaryData::_01_01_Default_wmb);
    EXPECT_EQ (size, 92);

    const char* font = lookUp ("ArimoRegular_ttf", size);
    EXPECT_EQ (font, BinaryData::ArimoRegular_ttf);
    EXPECT_EQ (size, BinaryData::ArimoRegular_ttfSize);
    ASSERT_GE (size, 4);
    EXPECT_EQ (std::memcmp (font, "\0\1\0\0", 4), 0) << "TrueType signature";
}

TEST (GetNamedResource, RejectsNamesThatAreNotInTheCatalogue)
{
    const char* const missing[] = {
        nullptr,
        "",                       // empty
        "_01_01_Default",         // no suffix
        "_01_01_DEFAULT_WMB",     // other case
        "_01_01_default_wmb",
        "_01_01_Default_wmb ",    // trailing blank
        " _01_01_Default_wmb",
        "ArimoRegular_TTF",
        "\xC3\xA9",               // non-ASCII bytes
        "_01_01_Default_wmb\xC3",
        "_07_01_None_wmb",
    };

    for (const char* name : missing)
    {
        int size = 0;
        EXPECT_EQ (lookUp (name, size), nullptr) << '"' << (name ? name : "null") << '"';
        EXPECT_EQ (size, 0) << '"' << (name ? name : "null") << '"';
    }
}

TEST (Catalogue, FindsEveryResourceByNameAndHoldsTheFontAndExactlyThe32PresetsOf92Bytes)
{
    int presets = 0, fonts = 0;

    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        const std::string name = BinaryData::namedResourceList[i];
        int size = 0;
        EXPECT_NE (lookUp (name.c_str(), size), nullptr) << name;
        EXPECT_GT (size, 0) << name;

        if (endsWith (name, "_wmb"))
        {
            ++presets;
            EXPECT_EQ (size, 92) << name;
        }
        else
        {
            fonts += endsWith (name, "_ttf") ? 1 : 0;
            EXPECT_TRUE (endsWith (name, "_ttf") || endsWith (name, "_png")) << name << ": anything else is an image";
        }
    }

    EXPECT_EQ (presets, 32);
    EXPECT_EQ (fonts, 1);
}
