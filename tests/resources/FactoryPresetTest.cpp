// The factory preset catalogue: its tables, the rule from a (category, index) pair to a resource
// name, and the contents of the 32 embedded presets.

#include "FactoryPresets.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace
{
constexpr int numParameters = 23;

// The parameters the table gives, in column order; every other one is 1.0 in every preset.
constexpr std::array<int, 17> tableColumns { 0, 1, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18 };
constexpr std::array<int, 6> alwaysOne { 2, 4, 19, 20, 21, 22 };

struct PresetRow
{
    const char* stem;
    std::array<double, 17> values;   // to four decimals
};

// clang-format off
const PresetRow presetTable[] = {
    { "01_01_Default", { 0.5000, 0.5000, 0.1579, 0.0000, 0.0000, 0.2609, 0.0000, 0.0000, 0.3889, 0.1124, 0.5000, 0.1628, 0.0000, 0.0556, 0.5000, 0.1628, 0.0000 } },
    { "01_02_Focused_bass", { 0.5000, 0.5000, 0.3287, 0.5179, 0.1643, 0.1687, 0.1800, 0.0000, 0.9243, 0.1124, 0.5000, 1.0000, 0.1607, 0.3652, 0.5193, 0.0064, 0.0000 } },
    { "01_03_Focused_mid", { 0.5000, 0.5000, 0.6087, 0.5179, 0.1643, 0.1687, 0.1929, 0.0000, 0.1589, 0.1124, 0.5000, 1.0000, 0.1607, 0.1205, 0.5707, 0.0000, 0.0000 } },
    { "01_04_Very_focused_mid", { 0.5000, 0.4486, 0.6587, 0.2736, 0.7236, 0.1687, 0.1929, 0.0000, 0.1589, 0.1124, 0.5000, 1.0000, 0.1607, 0.0695, 0.7186, 0.0000, 0.1479 } },
    { "01_05_Hifi", { 0.5000, 0.5000, 0.3779, 0.5464, 0.0000, 0.1687, 0.2957, 0.0000, 0.7421, 0.0999, 0.3457, 0.8779, 0.0679, 0.3549, 0.5514, 0.0000, 0.0000 } },
    { "01_06_Small_speaker", { 0.5000, 0.5000, 1.0000, 0.3986, 1.0000, 0.5649, 0.0000, 1.0000, 0.5236, 0.0874, 0.3007, 0.1628, 0.0000, 0.0478, 0.6414, 0.0000, 0.0000 } },
    { "02_01_Good_start", { 0.5000, 0.5000, 0.6279, 0.6464, 0.0000, 0.3433, 0.6400, 0.0000, 0.5184, 0.1082, 0.3764, 0.8121, 0.2029, 0.2429, 0.6079, 0.0000, 0.1707 } },
    { "02_02_Getting_thru", { 0.5000, 0.5000, 0.6279, 0.5757, 0.0000, 0.4453, 0.6400, 0.0000, 0.5184, 0.1082, 0.3764, 0.8121, 0.1257, 0.1471, 0.7300, 0.0000, 0.2121 } },
    { "02_03_Smoother_mid", { 0.5000, 0.5000, 0.6279, 0.0000, 0.0000, 0.4453, 0.3471, 0.0000, 0.5561, 0.1303, 0.3700, 1.0000, 0.3664, 0.1949, 0.5000, 0.5464, 0.4214 } },
    { "02_04_Very_hard_mid", { 0.6271, 0.0000, 0.9319, 0.0000, 1.0000, 0.4453, 0.5050, 0.0129, 0.1161, 0.3510, 1.0000, 0.0000, 0.0900, 0.1205, 1.0000, 0.0000, 0.1221 } },
    { "02_05_Lofi_mid", { 0.5000, 0.5000, 0.8279, 0.0000, 0.6207, 0.2609, 0.5529, 0.0000, 0.3347, 0.2722, 0.6464, 0.0000, 0.0550, 0.1343, 0.6479, 0.0000, 0.0000 } },
    { "03_01_Mid_1", { 0.5000, 0.5000, 0.5379, 1.0000, 0.0000, 0.2546, 0.2543, 0.0000, 0.0629, 0.0880, 0.4407, 0.7028, 0.4664, 0.1205, 0.6414, 0.0000, 0.2414 } },
    { "03_02_Mid_2", { 0.5000, 0.5000, 0.5379, 0.9164, 0.0000, 0.5381, 0.2543, 1.0000, 0.3464, 0.1920, 0.3957, 0.7028, 0.4664, 0.2025, 0.6671, 0.0000, 0.2414 } },
    { "03_03_Taming_the_mid", { 0.5000, 0.5000, 0.5379, 0.6271, 0.0000, 0.4915, 0.2286, 0.3150, 0.3853, 0.1496, 0.2864, 0.7028, 0.4921, 0.2025, 0.5000, 0.0000, 0.2929 } },
    { "03_04_Unleach_the_mid", { 0.5000, 0.5000, 0.9479, 1.0000, 0.0000, 0.2546, 0.6400, 0.0000, 0.0992, 0.0880, 0.2314, 1.0000, 0.5307, 0.1911, 0.7571, 0.0000, 0.3571 } },
    { "03_05_Mid_only", { 0.5000, 0.3457, 1.0000, 0.3986, 1.0000, 0.5649, 0.0000, 1.0000, 0.0279, 0.1968, 0.7043, 0.1628, 0.5721, 0.1117, 1.0000, 0.0000, 0.3729 } },
    { "03_06_Acoustic_guitar", { 0.5000, 0.5000, 0.6192, 0.5821, 0.0000, 0.4276, 0.2543, 0.0000, 0.1161, 0.0700, 0.3379, 0.7092, 0.1964, 0.1800, 0.5757, 0.0000, 0.0000 } },
    { "04_01_Mid_piano", { 0.5000, 0.5000, 1.0000, 0.4921, 0.0000, 0.6392, 0.2764, 0.0000, 0.4518, 0.3285, 0.6464, 0.0321, 0.1864, 0.2450, 0.6286, 0.0000, 0.1479 } },
    { "04_02_Fat_Rhodes", { 0.5000, 0.5000, 0.3079, 0.8971, 0.0000, 0.3050, 0.2286, 0.0000, 0.0238, 0.0734, 0.7171, 0.0000, 0.2507, 0.0219, 0.6850, 0.1628, 0.1900 } },
    { "04_03_Organ", { 0.5000, 0.5000, 0.5279, 0.2479, 0.2057, 0.2156, 0.0000, 0.0000, 0.6830, 0.0602, 0.5000, 0.4006, 0.5757, 0.0695, 0.6786, 0.0000, 0.2186 } },
    { "04_04_Air_pad", { 0.5000, 0.5000, 0.7479, 0.0000, 0.7171, 0.5048, 0.7493, 0.0000, 0.5371, 0.0958, 0.5000, 0.1628, 0.3571, 0.5657, 0.6593, 0.0000, 0.1350 } },
    { "04_05_Warm_pad", { 0.5000, 0.5000, 0.6779, 0.7621, 0.0000, 0.5448, 0.0000, 0.0000, 0.3889, 0.2083, 0.6529, 0.0000, 0.4050, 0.2182, 0.5000, 0.0664, 0.4886 } },
    { "05_01_Good_start", { 0.5000, 0.5000, 0.6000, 0.6850, 0.0000, 0.1990, 0.0000, 0.0000, 0.3889, 0.1082, 0.3007, 0.6321, 0.7750, 0.0556, 0.5000, 0.1628, 0.0000 } },
    { "05_02_More_mid", { 0.5000, 0.4550, 0.6000, 0.6850, 0.0000, 0.1990, 0.0000, 0.0000, 0.3889, 0.1082, 0.1350, 0.6321, 0.7750, 0.0837, 0.9164, 0.0000, 0.0000 } },
    { "05_03_Even_more_mid", { 0.5000, 0.4036, 0.7300, 0.6529, 0.1193, 0.1990, 0.0000, 0.0000, 0.3889, 0.1082, 0.1350, 0.6321, 0.9550, 0.0837, 1.0000, 0.0000, 0.0614 } },
    { "05_04_Fat_low_end", { 0.5000, 0.5000, 0.3000, 0.6529, 0.1193, 0.1990, 0.0000, 1.0000, 0.0000, 0.1082, 0.2443, 0.6321, 0.9550, 0.0000, 0.5000, 0.0000, 0.0614 } },
    { "05_05_Subwoofer_bass", { 0.5000, 0.5000, 0.0000, 0.6529, 0.0421, 0.1990, 0.0000, 1.0000, 0.0000, 0.1082, 0.2443, 0.6321, 0.7686, 0.0279, 0.0000, 0.0000, 0.5243 } },
    { "06_01_Kick", { 0.5000, 0.5000, 0.5279, 0.7814, 0.0000, 0.2236, 0.3664, 0.0000, 0.0695, 0.0540, 0.5000, 0.5421, 0.6750, 0.2779, 0.5886, 0.0000, 0.0229 } },
    { "06_02_Snare", { 0.5000, 0.5000, 0.5300, 0.8071, 0.0000, 0.4783, 0.4436, 0.0000, 0.1390, 0.1124, 0.5000, 0.1628, 0.4821, 0.2557, 0.6157, 0.0000, 0.0000 } },
    { "06_03_Toms", { 0.5000, 0.5000, 0.3879, 0.9100, 0.0000, 0.1929, 0.0000, 0.0000, 0.3889, 0.0540, 0.2993, 0.7606, 0.7943, 0.2429, 0.5371, 0.0000, 0.0000 } },
    { "06_04_Overhead", { 0.5000, 0.5000, 0.5679, 0.4857, 0.0000, 0.1990, 0.1929, 0.0000, 0.7201, 0.0401, 0.2671, 0.6207, 0.5886, 0.4105, 0.5514, 0.0000, 0.0000 } },
    { "06_05_Mid_fest", { 0.5000, 0.5000, 1.0000, 0.5950, 0.0000, 0.5448, 0.7071, 0.3600, 0.0000, 0.0958, 0.3186, 1.0000, 0.4500, 0.1728, 0.8007, 0.0000, 0.6593 } },
};
// clang-format on

// The "Default" preset's exact float32 bits, parameter by parameter.
constexpr std::array<uint32_t, numParameters> defaultBits {
    0x3F000000, 0x3F000000, 0x3F800000, 0x3E21AF28, 0x3F800000, 0x00000000, 0x00000000, 0x3E8590B2,
    0x00000000, 0x00000000, 0x3EC71C72, 0x3DE63F9F, 0x3F000000, 0x3E26B29A, 0x00000000, 0x3D638E39,
    0x3F000000, 0x3E26B29A, 0x00000000, 0x3F800000, 0x3F800000, 0x3F800000, 0x3F800000
};

uint32_t littleEndianWord (const char* data, int parameter)
{
    const auto* b = reinterpret_cast<const unsigned char*> (data) + 4 * parameter;
    return (uint32_t) b[0] | ((uint32_t) b[1] << 8) | ((uint32_t) b[2] << 16) | ((uint32_t) b[3] << 24);
}

float floatFromBits (uint32_t bits)
{
    float f;
    std::memcpy (&f, &bits, sizeof f);
    return f;
}

uint32_t bitsOf (float f)
{
    uint32_t bits;
    std::memcpy (&bits, &f, sizeof bits);
    return bits;
}
} // namespace

//==============================================================================
TEST (FactoryPresetTables, HaveSixCategoriesOf32PresetsInAll)
{
    const char* const categories[] = { "MASTER", "VOCAL", "GUITAR", "KEYS", "BASS", "DRUMS" };
    const int32_t counts[] = { 6, 5, 6, 5, 5, 5 };
    ASSERT_EQ (FACTORY_PRESET_NUM_CATEGORIES, 6);

    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
    {
        EXPECT_STREQ (FACTORY_PRESET_CATEGORIES[c], categories[c]);
        EXPECT_EQ (FACTORY_PRESET_COUNTS[c], counts[c]);

        // Exactly the used slots are filled; stems start with the 1-based category and preset numbers.
        for (int i = 0; i < FACTORY_PRESET_MAX_PER_CATEGORY; ++i)
        {
            const bool used = i < FACTORY_PRESET_COUNTS[c];
            EXPECT_EQ (FACTORY_PRESET_TITLES[c][i] != nullptr, used) << c << "/" << i;
            EXPECT_EQ (FACTORY_PRESET_FILENAMES[c][i] != nullptr, used) << c << "/" << i;
            char prefix[32];
            std::snprintf (prefix, sizeof prefix, "%02d_%02d_", c + 1, i + 1);
            EXPECT_TRUE (! used || std::string (FACTORY_PRESET_FILENAMES[c][i]).rfind (prefix, 0) == 0) << c << "/" << i;
        }
    }
}

TEST (FactoryPresetTables, NameTheResourcesByTheirStemsAndRefusePairsOutsideTheCatalogue)
{
    EXPECT_EQ (factoryPresetResourceName (0, 0), "_01_01_Default_wmb");
    EXPECT_EQ (factoryPresetResourceName (4, 4), "_05_05_Subwoofer_bass_wmb");
    EXPECT_STREQ (factoryPresetTitle (4, 4), "Subwoofer");
    EXPECT_EQ (factoryPresetResourceName (5, 4), "_06_05_Mid_fest_wmb");
    EXPECT_STREQ (factoryPresetTitle (5, 4), "Mid Fest");
    EXPECT_EQ (factoryPresetResourceName (1, 1), "_02_02_Getting_thru_wmb");
    EXPECT_STREQ (factoryPresetTitle (1, 1), "Getting Through");

    // Titles repeat across categories; only the pair tells them apart.
    EXPECT_STREQ (factoryPresetTitle (1, 0), "Good Start");
    EXPECT_STREQ (factoryPresetTitle (4, 0), "Good Start");
    EXPECT_NE (factoryPresetResourceName (1, 0), factoryPresetResourceName (4, 0));

    const int outside[][2] = { { 1, 5 }, { 0, 6 }, { 6, 0 }, { -1, 0 }, { 0, -1 }, { 3, 5 },
                               { 1 << 30, 0 }, { 0, 1 << 30 }, { INT32_MIN, INT32_MIN } };

    for (const auto& pair : outside)
    {
        EXPECT_FALSE (isValidFactoryPreset (pair[0], pair[1])) << pair[0] << "/" << pair[1];
        EXPECT_EQ (factoryPresetTitle (pair[0], pair[1]), nullptr);
        EXPECT_EQ (factoryPresetResourceName (pair[0], pair[1]), "");
    }

    EXPECT_TRUE (isValidFactoryPreset (0, 5));
    EXPECT_TRUE (isValidFactoryPreset (1, 4));
    EXPECT_TRUE (isValidFactoryPreset (5, 4));
}

//==============================================================================
TEST (FactoryPresetContents, DefaultHoldsExactlyTheDefaultBits)
{
    ASSERT_EQ (BinaryData::_01_01_Default_wmbSize, 92);

    for (int p = 0; p < numParameters; ++p)
        EXPECT_EQ (littleEndianWord (BinaryData::_01_01_Default_wmb, p), defaultBits[(size_t) p]) << "parameter " << p;

    // Parameters 13 and 17: one float32 step below the value nearest 7/43.
    EXPECT_EQ (floatFromBits (defaultBits[13]), std::nextafter ((float) (7.0 / 43.0), 0.0f));
    EXPECT_EQ (floatFromBits (defaultBits[3]), (float) (3.0 / 19.0));
    EXPECT_EQ (floatFromBits (defaultBits[11]), (float) (19.0 / 169.0));
}

TEST (FactoryPresetContents, EveryPairNamesAPresetThatMatchesTheTable)
{
    ASSERT_EQ (std::size (presetTable), 32u);
    const auto& defaults = presetTable[0].values;
    size_t row = 0;

    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
        for (int i = 0; i < FACTORY_PRESET_COUNTS[c]; ++i, ++row)
        {
            const auto& expected = presetTable[row];
            ASSERT_EQ (factoryPresetResourceName (c, i), std::string ("_") + expected.stem + "_wmb");
            int size = 0;
            const char* data = BinaryData::getNamedResource (factoryPresetResourceName (c, i).c_str(), size);
            ASSERT_NE (data, nullptr) << expected.stem;
            ASSERT_EQ (size, 92) << expected.stem;

            for (const int p : alwaysOne)
                EXPECT_EQ (littleEndianWord (data, p), 0x3F800000u) << expected.stem << " parameter " << p;

            // To four decimals; a value equal to a "Default" value takes that value's bits, any
            // other is the float nearest its decimal text.
            for (size_t col = 0; col < tableColumns.size(); ++col)
            {
                const uint32_t bits = littleEndianWord (data, tableColumns[col]);
                const auto d = std::find (defaults.begin(), defaults.end(), expected.values[col]);
                const float value = floatFromBits (bits);
                EXPECT_NEAR (value, expected.values[col], 0.00005) << expected.stem << " parameter " << tableColumns[col];
                EXPECT_TRUE (value >= 0.0f && value <= 1.0f);

                const uint32_t expectedBits = d != defaults.end() ? defaultBits[(size_t) tableColumns[(size_t) (d - defaults.begin())]]
                                                                  : bitsOf ((float) expected.values[col]);
                EXPECT_EQ (bits, expectedBits) << expected.stem << " parameter " << tableColumns[col];
            }
        }
}
