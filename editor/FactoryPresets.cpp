#include "FactoryPresets.h"

// clang-format off
const char* const FACTORY_PRESET_CATEGORIES[FACTORY_PRESET_NUM_CATEGORIES] = {
    "MASTER", "VOCAL", "GUITAR", "KEYS", "BASS", "DRUMS"
};

const int32_t FACTORY_PRESET_COUNTS[FACTORY_PRESET_NUM_CATEGORIES] = { 6, 5, 6, 5, 5, 5 };

const char* const FTY_T_MASTER[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "Default", "Focused Bass", "Focused Mid", "Very Focused Mid", "HIFI", "Small Speaker"
};
const char* const FTY_T_VOCAL[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "Good Start", "Getting Through", "Smoother Mid", "Very Hard Mid", "LOFI Mid", nullptr
};
const char* const FTY_T_GUITAR[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "Mid 1", "Mid 2", "Taming The Mid", "Unleach The Mid", "Mid Only", "Acoustic Guitar"
};
const char* const FTY_T_KEYS[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "Mid Piano", "Fat Rhodes", "Organ", "Air Pad", "Warm Pad", nullptr
};
const char* const FTY_T_BASS[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "Good Start", "More Mid", "Even More Mid", "Fat Low End", "Subwoofer", nullptr
};
const char* const FTY_T_DRUMS[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "Kick", "Snare", "Toms", "Overhead", "Mid Fest", nullptr
};

const char* const FTY_FN_MASTER[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "01_01_Default", "01_02_Focused_bass", "01_03_Focused_mid", "01_04_Very_focused_mid",
    "01_05_Hifi", "01_06_Small_speaker"
};
const char* const FTY_FN_VOCAL[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "02_01_Good_start", "02_02_Getting_thru", "02_03_Smoother_mid", "02_04_Very_hard_mid",
    "02_05_Lofi_mid", nullptr
};
const char* const FTY_FN_GUITAR[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "03_01_Mid_1", "03_02_Mid_2", "03_03_Taming_the_mid", "03_04_Unleach_the_mid",
    "03_05_Mid_only", "03_06_Acoustic_guitar"
};
const char* const FTY_FN_KEYS[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "04_01_Mid_piano", "04_02_Fat_Rhodes", "04_03_Organ", "04_04_Air_pad", "04_05_Warm_pad", nullptr
};
const char* const FTY_FN_BASS[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "05_01_Good_start", "05_02_More_mid", "05_03_Even_more_mid", "05_04_Fat_low_end",
    "05_05_Subwoofer_bass", nullptr
};
const char* const FTY_FN_DRUMS[FACTORY_PRESET_MAX_PER_CATEGORY] = {
    "06_01_Kick", "06_02_Snare", "06_03_Toms", "06_04_Overhead", "06_05_Mid_fest", nullptr
};

const char* const* const FACTORY_PRESET_TITLES[FACTORY_PRESET_NUM_CATEGORIES] = {
    FTY_T_MASTER, FTY_T_VOCAL, FTY_T_GUITAR, FTY_T_KEYS, FTY_T_BASS, FTY_T_DRUMS
};

const char* const* const FACTORY_PRESET_FILENAMES[FACTORY_PRESET_NUM_CATEGORIES] = {
    FTY_FN_MASTER, FTY_FN_VOCAL, FTY_FN_GUITAR, FTY_FN_KEYS, FTY_FN_BASS, FTY_FN_DRUMS
};
// clang-format on

bool isValidFactoryPreset (int category, int index) noexcept
{
    return category >= 0 && category < FACTORY_PRESET_NUM_CATEGORIES && index >= 0
        && index < FACTORY_PRESET_COUNTS[category];
}

const char* factoryPresetTitle (int category, int index) noexcept
{
    return isValidFactoryPreset (category, index) ? FACTORY_PRESET_TITLES[category][index] : nullptr;
}

std::string factoryPresetResourceName (int category, int index)
{
    if (! isValidFactoryPreset (category, index))
        return {};

    return std::string ("_") + FACTORY_PRESET_FILENAMES[category][index] + "_wmb";
}
