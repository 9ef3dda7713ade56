#pragma once

#include <cstddef>
#include <cstdint>

#include "ACF/acfbasetypes.h"
#include "AAX_Enums.h"
#include "AAX_Errors.h"

/** Basic types shared by the plug-in and the host. Only <cstdint> integer types are used, so that
    these headers sit beside frameworks that define their own int32 or uint32. */

/** Calling convention of procedures the host calls directly; empty on this platform. */
#ifndef AAX_CALLBACK
#define AAX_CALLBACK
#endif

typedef uint32_t AAX_CTypeID;       ///< four-character codes: meter, chunk, notification ids
typedef int32_t AAX_CFieldIndex;    ///< index of a field in an algorithm's context block
typedef const char* AAX_CParamID;   ///< a parameter id: a zero-terminated text of at most 31 characters
typedef int32_t AAX_CPropertyValue; ///< the value of an integer property
typedef uint8_t AAX_CBoolean;       ///< 0 = false, anything else = true
typedef float AAX_CSampleRate;      ///< samples per second
typedef uint32_t AAX_CSelector;     ///< id of a registered process procedure
typedef int64_t AAX_CTimestamp;     ///< samples
typedef int32_t AAX_CProcPtrID;     ///< which factory procedure AddProcPtr registers
typedef _acfUID AAX_Feature_UID;    ///< id of a host feature

/** AddProcPtr ids. */
constexpr AAX_CProcPtrID kAAX_ProcPtrID_Create_EffectParameters = 0;
constexpr AAX_CProcPtrID kAAX_ProcPtrID_Create_EffectGUI = 1;

/** Index of member `member` in the context block `type`, whose members are all pointer-sized. */
#define AAX_FIELD_INDEX(type, member) ((AAX_CFieldIndex)(offsetof(type, member) / sizeof(void*)))

/** A native process procedure: runs the instances from `begin` up to `end` on the real-time thread. */
typedef void(AAX_CALLBACK* AAX_CProcessProc)(void* const begin[], const void* end);

/** Called when an instance's context block is added, removed or reset; returns 0 on success. */
typedef int32_t(AAX_CALLBACK* AAX_CInstanceInitProc)(const void* instanceContext,
                                                     AAX_EComponentInstanceInitAction action);

/** A background procedure, called off the real-time thread; returns 0 on success. */
typedef int32_t(AAX_CALLBACK* AAX_CBackgroundProc)();

/** A size or position in the host's view, in pixels: vertical first. */
struct AAX_Point
{
    float vert;
    float horz;
};

/** A rectangle in the host's view, in pixels. */
struct AAX_Rect
{
    float top;
    float left;
    float width;
    float height;
};

/** Identifies one plug-in type: manufacturer, product and plug-in four-character codes. */
struct AAX_SPlugInIdentifierTriad
{
    AAX_CTypeID mManufacturerID;
    AAX_CTypeID mProductID;
    AAX_CTypeID mPlugInID;
};

/** A state chunk exchanged with the host, in memory the host provides: a 56-byte header followed
    by fSize bytes of data. The host fills the ids; the plug-in writes size, version, name and
    data. */
struct AAX_SPlugInChunk
{
    int32_t fSize;    ///< number of bytes in fData
    int32_t fVersion; ///< chunk version
    AAX_CTypeID fManufacturerID;
    AAX_CTypeID fProductID;
    AAX_CTypeID fPlugInID;
    AAX_CTypeID fChunkID;
    char fName[32]; ///< zero-terminated chunk name
    char fData[1];  ///< fSize bytes of data, continuing past the struct
};

static_assert(offsetof(AAX_SPlugInChunk, fChunkID) == 20 && offsetof(AAX_SPlugInChunk, fName) == 24
                  && offsetof(AAX_SPlugInChunk, fData) == 56,
              "the chunk header is 56 bytes");

/** One MIDI message of up to four bytes at a sample offset within the current block. */
struct AAX_CMidiPacket
{
    uint32_t mTimestamp;
    uint32_t mLength;
    unsigned char mData[4];
    AAX_CBoolean mIsImmediate;
};

/** The MIDI messages of a node for the current block. */
struct AAX_CMidiStream
{
    uint32_t mBufferSize; ///< number of packets in mBuffer
    AAX_CMidiPacket* mBuffer;
};

/** Buffers of a hybrid render call. */
struct AAX_SHybridRenderInfo
{
    float** mAudioInputs;
    int32_t* mNumAudioInputs;
    float** mAudioOutputs;
    int32_t* mNumAudioOutputs;
    int32_t* mNumSamples;
    AAX_CTimestamp* mClock;
};
