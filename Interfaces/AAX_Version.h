#pragma once

/** Version of the interface set these headers describe: 2.3.

    AAX_SDK_VERSION is the major/minor pair (0x0203 = 2.3), AAX_SDK_CURRENT_REVISION the revision
    within it; ACFGetSDKVersion reports the two as one 64-bit value (version in the upper half).
    Later revisions' macros stay undefined: nothing here offers their interfaces.
*/
#define AAX_SDK_VERSION 0x00000203
#define AAX_SDK_2p3p0_REVISION 0x00BF7318
#define AAX_SDK_CURRENT_REVISION AAX_SDK_2p3p0_REVISION
