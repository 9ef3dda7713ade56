// The embedded resources as the editor and a saved session rely on them: the images by name at 1x
// and 2x, the interface font, and the factory preset catalogue (categories, titles, resources).

#include "EditorTestSupport.h"

#include <numeric>

namespace
{
    // clang-format off
    const struct { const char* base; int width, height; bool alpha; } images[] = {
        { "main", 800, 250, false },          { "vantor_logo", 39, 8, true },        { "quillo_logo", 39, 8, true },
        { "vu_input", 56, 42, true },         { "vu_output", 56, 42, true },         { "bypass_main_on", 8, 8, true },
        { "bypass_main_off", 8, 8, true },    { "bypass_on", 6, 6, true },           { "bypass_off", 6, 6, true },
        { "compression_active", 6, 6, true }, { "compression_inactive", 6, 6, true }, { "arrow_left", 3, 6, true },
        { "arrow_right", 3, 6, true },        { "arrow_down", 6, 3, true },          { "divider", 1, 12, false },
    };
    // clang-format on

    const char* const categories[] = { "MASTER", "VOCAL", "GUITAR", "KEYS", "BASS", "DRUMS" };

    // In catalogue order, category by category: title, resource stem.
    // clang-format off
    const char* const presets[32][2] = {
        { "Default", "01_01_Default" },            { "Focused Bass", "01_02_Focused_bass" },  { "Focused Mid", "01_03_Focused_mid" },
        { "Very Focused Mid", "01_04_Very_focused_mid" }, { "HIFI", "01_05_Hifi" },           { "Small Speaker", "01_06_Small_speaker" },
        { "Good Start", "02_01_Good_start" },      { "Getting Through", "02_02_Getting_thru" }, { "Smoother Mid", "02_03_Smoother_mid" },
        { "Very Hard Mid", "02_04_Very_hard_mid" }, { "LOFI Mid", "02_05_Lofi_mid" },          { "Mid 1", "03_01_Mid_1" },
        { "Mid 2", "03_02_Mid_2" },                { "Taming The Mid", "03_03_Taming_the_mid" }, { "Unleach The Mid", "03_04_Unleach_the_mid" },
        { "Mid Only", "03_05_Mid_only" },          { "Acoustic Guitar", "03_06_Acoustic_guitar" }, { "Mid Piano", "04_01_Mid_piano" },
        { "Fat Rhodes", "04_02_Fat_Rhodes" },      { "Organ", "04_03_Organ" },                { "Air Pad", "04_04_Air_pad" },
        { "Warm Pad", "04_05_Warm_pad" },          { "Good Start", "05_01_Good_start" },      { "More Mid", "05_02_More_mid" },
        { "Even More Mid", "05_03_Even_more_mid" }, { "Fat Low End", "05_04_Fat_low_end" },   { "Subwoofer", "05_05_Subwoofer_bass" },
        { "Kick", "06_01_Kick" },                  { "Snare", "06_02_Snare" },                { "Toms", "06_03_Toms" },
        { "Overhead", "06_04_Overhead" },          { "Mid Fest", "06_05_Mid_fest" },
    };
    // clang-format on
}

TEST (Resources, everyImageLoadsAtOneAndTwoTimesItsSizeAndTheFontIsEmbedded)
{
    for (const auto& image : images)
        for (int scale : { 1, 2 })
        {
            const auto name = std::string (image.base) + (scale == 2 ? "2x_png" : "_png");
            int size = 0;
            const char* data = BinaryData::getNamedResource (name.c_str(), size);
            const auto decoded = juce::ImageFileFormat::loadFrom (data, data != nullptr ? (size_t) size : 0);
            EXPECT_EQ (decoded.getBounds(), juce::Rectangle<int> (image.width * scale, image.height * scale)) << name;
            EXPECT_EQ (decoded.hasAlphaChannel(), image.alpha) << name;
        }

    int size = 0;
    const char* font = BinaryData::getNamedResource ("ArimoRegular_ttf", size);
    ASSERT_TRUE (size == BinaryData::ArimoRegular_ttfSize && size > 4);
    EXPECT_EQ (std::memcmp (font, "\0\1\0\0", 4), 0) << "TrueType signature";
}

TEST (FactoryPresets, catalogueNamesEachPresetByTitleAndResourceAndRefusesPairsOutside)
{
    ASSERT_EQ (FACTORY_PRESET_NUM_CATEGORIES, 6);
    int row = 0;
    for (int c = 0; c < 6; ++c)
    {
        EXPECT_STREQ (FACTORY_PRESET_CATEGORIES[c], categories[c]);
        for (int i = 0; i < FACTORY_PRESET_COUNTS[c] && row < 32; ++i, ++row)
        {
            EXPECT_STREQ (factoryPresetTitle (c, i), presets[row][0]);
            EXPECT_EQ (factoryPresetResourceName (c, i), "_" + std::string (presets[row][1]) + "_wmb");
            int size = 0;
            EXPECT_TRUE (BinaryData::getNamedResource (factoryPresetResourceName (c, i).c_str(), size) != nullptr
                         && size == 92)
                << presets[row][1];
        }
    }
    EXPECT_EQ (std::accumulate (FACTORY_PRESET_COUNTS, FACTORY_PRESET_COUNTS + 6, 0), 32);

    // Slot 5 of "VOCAL" exists (null) but is outside the catalogue.
    for (auto [c, i] : { std::pair (1, 5),
                         { 0, 6 },
                         { 6, 0 },
                         { -1, 0 },
                         { 0, -1 },
                         { 3, 5 },
                         { 1 << 30, 0 },
                         { INT32_MIN, INT32_MIN } })
    {
        EXPECT_FALSE (isValidFactoryPreset (c, i)) << c << "/" << i;
        EXPECT_TRUE (factoryPresetTitle (c, i) == nullptr && factoryPresetResourceName (c, i).empty()) << c << "/" << i;
    }
}
