#include "VLParameterInfo.h"

// The Q rows give 0.7f and 1.4f: the single-precision values nearest 0.7 and 1.4.
// clang-format off
const VLParameterInfo VL_PARAMS[VL_NUM_PARAMS] = {
    {  0, 0,  -24.0f,    24.0f,    0.0f, 0.0f, "Input Gain",           "dB", "Input Gain",           nullptr },
    {  1, 0,  -24.0f,    24.0f,    0.0f, 0.0f, "Output Gain",          "dB", "Output Gain",          nullptr },
    {  2, 0,    0.0f,     1.0f,    1.0f, 0.0f, "Power",                "%",  "Power",                nullptr },
    {  3, 0,    5.0f,   100.0f,   20.0f, 0.0f, "High Pass",            "Hz", "High Pass",            nullptr },
    {  4, 0,    0.0f,     1.0f,    1.0f, 0.0f, "Meter IO",             "%",  "Meter IO",             nullptr },
    {  5, 0,    0.0f,    12.0f,    0.0f, 0.0f, "Low Shelf Boost",      "dB", "Low Shelf Boost",      nullptr },
    {  6, 0,    0.0f,    12.0f,    0.0f, 0.0f, "Low Shelf Attenuate",  "dB", "Low Shelf Attenuate",  nullptr },
    {  7, 0,   20.0f,   250.0f,   80.0f, 0.0f, "Low Shelf Frequency",  "Hz", "Low Shelf Frequency",  nullptr },
    {  8, 0,    0.0f,    12.0f,    0.0f, 0.0f, "High Shelf Boost",     "dB", "High Shelf Boost",     nullptr },
    {  9, 0,    0.0f,    12.0f,    0.0f, 0.0f, "High Shelf Attenuate", "dB", "High Shelf Attenuate", nullptr },
    { 10, 0, 3500.0f, 12500.0f, 7000.0f, 0.0f, "High Shelf Frequency", "Hz", "High Shelf Frequency", nullptr },
    { 11, 0,  120.0f,  3500.0f,  500.0f, 0.0f, "Low Mid Freq",         "Hz", "Low Mid Frequency",    nullptr },
    { 12, 0,  -24.0f,    24.0f,    0.0f, 0.0f, "Low Mid Gain",         "dB", "Low Mid Gain",         nullptr },
    { 13, 0,    0.7f,     5.0f,    1.4f, 0.0f, "Low Mid Q",            "dB", "Low Mid Q",            nullptr },
    { 14, 0,    0.0f,     1.0f,    0.0f, 0.0f, "Low Dyn Attenuation",  "%",  "Low Dyn Attenuation",  nullptr },
    { 15, 0,  800.0f,  8000.0f, 1200.0f, 0.0f, "High Mid Freq",        "Hz", "High Mid Frequency",   nullptr },
    { 16, 0,  -24.0f,    24.0f,    0.0f, 0.0f, "High Mid Gain",        "dB", "High Mid Gain",        nullptr },
    { 17, 0,    0.7f,     5.0f,    1.4f, 0.0f, "High Mid Q",           "dB", "High Mid Q",           nullptr },
    { 18, 0,    0.0f,     1.0f,    0.0f, 0.0f, "High Dyn Attenuation", "%",  "High Dyn Attenuation", nullptr },
    { 19, 0,    0.0f,     1.0f,    1.0f, 0.0f, "Low Shelf Power",      "%",  "Low Shelf Power",      nullptr },
    { 20, 0,    0.0f,     1.0f,    1.0f, 0.0f, "Low Mid Power",        "%",  "Low Mid Power",        nullptr },
    { 21, 0,    0.0f,     1.0f,    1.0f, 0.0f, "High Mid Power",       "%",  "High Mid Power",       nullptr },
    { 22, 0,    0.0f,     1.0f,    1.0f, 0.0f, "High Shelf Power",     "%",  "High Shelf Power",     nullptr },
};
// clang-format on
