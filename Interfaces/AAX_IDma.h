#pragma once

#include "AAX.h"

/** A DMA channel of a DSP algorithm. Native algorithms never use one; the type exists for the
    component descriptor's AddDmaInstance. */
class AAX_IDma
{
public:
    enum EMode : int32_t
    {
        eMode_Error = 0,
        eMode_Burst = 1,
        eMode_Gather = 2,
        eMode_Scatter = 3
    };

    virtual ~AAX_IDma() = default;
};
