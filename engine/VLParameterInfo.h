#pragma once

#include <cstdint>

/** One row of the parameter table: a parameter's range, default and texts in real units.

    Every parameter travels as a normalised value from 0 to 1; real = min + v * (max - min).
    The table is read-only static data, safe to read from any thread.
*/
struct VLParameterInfo
{
    int32_t index;                   ///< the parameter index, equal to the row's position
    int32_t kind;                    ///< 0 = continuous; 1 and 2 = discrete (honoured by the value text only)
    float min;                       ///< lowest value in real units
    float max;                       ///< highest value in real units
    float defaultValue;              ///< default in real units
    float reserved;                  ///< always 0
    const char* name;                ///< display name, and the text part of the host id
    const char* unit;                ///< unit label of the value text
    const char* longName;            ///< longer name
    const char* const* valueNames;   ///< names of discrete values, or null

    /** The default as a normalised value, computed in single precision. */
    float normalisedDefault() const noexcept { return (defaultValue - min) / (max - min); }
};

/** Number of parameters of the engine. */
constexpr int VL_NUM_PARAMS = 23;

/** The 23 parameters in index order. */
extern const VLParameterInfo VL_PARAMS[VL_NUM_PARAMS];

/** Parameter indices, for readability where code addresses one parameter. */
enum VLParameterIndex : int
{
    kInputGain = 0,
    kOutputGain,
    kPower,
    kHighPass,
    kMeterIO,
    kLowShelfBoost,
    kLowShelfAttenuate,
    kLowShelfFrequency,
    kHighShelfBoost,
    kHighShelfAttenuate,
    kHighShelfFrequency,
    kLowMidFreq,
    kLowMidGain,
    kLowMidQ,
    kLowDynAttenuation,
    kHighMidFreq,
    kHighMidGain,
    kHighMidQ,
    kHighDynAttenuation,
    kLowShelfPower,
    kLowMidPower,
    kHighMidPower,
    kHighShelfPower
};
