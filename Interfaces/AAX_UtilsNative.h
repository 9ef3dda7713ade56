#pragma once

#include "AAX.h"

/** Helpers for native algorithms. */
namespace AAX
{
/** Number of samples in a block of the given length code. */
constexpr int32_t BlockSize(AAX_EAudioBufferLength length)
{
    return length < 0 ? 0 : (int32_t { 1 } << length);
}
}
