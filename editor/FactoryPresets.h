#pragma once

#include <cstdint>
#include <string>

/** The factory preset catalogue: six categories of 6, 5, 6, 5, 5 and 5 presets.

    A preset is addressed by (category, index), both 0-based. Titles are what the user sees; the
    file stems name the embedded resources ("_" + stem + "_wmb"). In a category of five presets the
    sixth slot of its title and stem arrays is null. Read-only static data, safe on any thread.
*/
constexpr int FACTORY_PRESET_NUM_CATEGORIES = 6;
constexpr int FACTORY_PRESET_MAX_PER_CATEGORY = 6;

extern const char* const FACTORY_PRESET_CATEGORIES[FACTORY_PRESET_NUM_CATEGORIES];
extern const int32_t FACTORY_PRESET_COUNTS[FACTORY_PRESET_NUM_CATEGORIES];

extern const char* const FTY_T_MASTER[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_T_VOCAL[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_T_GUITAR[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_T_KEYS[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_T_BASS[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_T_DRUMS[FACTORY_PRESET_MAX_PER_CATEGORY];

extern const char* const FTY_FN_MASTER[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_FN_VOCAL[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_FN_GUITAR[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_FN_KEYS[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_FN_BASS[FACTORY_PRESET_MAX_PER_CATEGORY];
extern const char* const FTY_FN_DRUMS[FACTORY_PRESET_MAX_PER_CATEGORY];

extern const char* const* const FACTORY_PRESET_TITLES[FACTORY_PRESET_NUM_CATEGORIES];
extern const char* const* const FACTORY_PRESET_FILENAMES[FACTORY_PRESET_NUM_CATEGORIES];

/** True when (category, index) names a preset of the catalogue. A pair restored from host state
    may lie outside it; nothing may index the tables before this check. */
bool isValidFactoryPreset (int category, int index) noexcept;

/** The preset's title, or null for a pair outside the catalogue. */
const char* factoryPresetTitle (int category, int index) noexcept;

/** The preset's resource name ("_" + stem + "_wmb"), or an empty string for a pair outside the
    catalogue. */
std::string factoryPresetResourceName (int category, int index);
