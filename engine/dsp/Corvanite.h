#pragma once

#include <cmath>
#include <cstdint>
#include <emmintrin.h>

/**
    Four-lane single-precision vectors over SSE registers, and the lane-parallel logarithm,
    exponential and sine/cosine approximations that every stage of the engine uses to compute
    filter coefficients and levels on each sample frame.

    Every operation works lane by lane in 32-bit float with round-to-nearest, so the results are
    the same bits on every call. Nothing here allocates, locks or fails; any thread may use it.
*/
namespace Corvanite
{

struct v4i;

//==============================================================================
/** Four 32-bit floats, lanes 0 to 3, 16-byte aligned, copied by value.

    Comparisons give lane masks (all 32 bits set where true, all clear where false; a NaN
    compares false except in !=), which the bitwise operators and select() combine.
*/
struct alignas (16) v4f
{
    __m128 v;

    /** All lanes zero. */
    v4f() noexcept : v (_mm_setzero_ps()) {}

    /** The same value in all four lanes. */
    v4f (float x) noexcept : v (_mm_set1_ps (x)) {}

    /** Lanes 0 to 3 in this order. */
    v4f (float x0, float x1, float x2, float x3) noexcept : v (_mm_setr_ps (x0, x1, x2, x3)) {}

    v4f (__m128 x) noexcept : v (x) {}

    // clang-format off
    /** Loads four floats from a 16-byte aligned address. */
    static v4f load (const float* alignedSource) noexcept       { return _mm_load_ps (alignedSource); }

    /** Stores the four lanes to a 16-byte aligned address. */
    void store (float* alignedDestination) const noexcept       { _mm_store_ps (alignedDestination, v); }

    /** The lanes as an array of four floats in memory order (for lane access in place). */
    float* data() noexcept                                      { return reinterpret_cast<float*> (&v); }
    const float* data() const noexcept                          { return reinterpret_cast<const float*> (&v); }

    float& operator[] (int lane) noexcept                       { return data()[lane]; }
    float operator[] (int lane) const noexcept                  { return data()[lane]; }

    v4f& operator+= (v4f o) noexcept                            { v = _mm_add_ps (v, o.v); return *this; }
    v4f& operator-= (v4f o) noexcept                            { v = _mm_sub_ps (v, o.v); return *this; }
    v4f& operator*= (v4f o) noexcept                            { v = _mm_mul_ps (v, o.v); return *this; }
    v4f& operator/= (v4f o) noexcept                            { v = _mm_div_ps (v, o.v); return *this; }
    // clang-format on
};

// clang-format off
inline v4f operator+ (v4f a, v4f b) noexcept    { return _mm_add_ps (a.v, b.v); }
inline v4f operator- (v4f a, v4f b) noexcept    { return _mm_sub_ps (a.v, b.v); }
inline v4f operator* (v4f a, v4f b) noexcept    { return _mm_mul_ps (a.v, b.v); }
inline v4f operator/ (v4f a, v4f b) noexcept    { return _mm_div_ps (a.v, b.v); }
/** Exact negation: the sign bit of every lane flipped. */
inline v4f operator- (v4f a) noexcept           { return _mm_xor_ps (a.v, _mm_set1_ps (-0.0f)); }

inline v4f operator<  (v4f a, v4f b) noexcept   { return _mm_cmplt_ps (a.v, b.v); }
inline v4f operator<= (v4f a, v4f b) noexcept   { return _mm_cmple_ps (a.v, b.v); }
inline v4f operator>  (v4f a, v4f b) noexcept   { return _mm_cmpgt_ps (a.v, b.v); }
inline v4f operator>= (v4f a, v4f b) noexcept   { return _mm_cmpge_ps (a.v, b.v); }
inline v4f operator== (v4f a, v4f b) noexcept   { return _mm_cmpeq_ps (a.v, b.v); }
/** True where a == b is false, NaN lanes included. */
inline v4f operator!= (v4f a, v4f b) noexcept   { return _mm_cmpneq_ps (a.v, b.v); }
/** True where a < b is false, NaN lanes included. */
inline v4f notLess (v4f a, v4f b) noexcept      { return _mm_cmpnlt_ps (a.v, b.v); }
/** True where a <= b is false, NaN lanes included. */
inline v4f notLessEqual (v4f a, v4f b) noexcept { return _mm_cmpnle_ps (a.v, b.v); }

inline v4f operator& (v4f a, v4f b) noexcept    { return _mm_and_ps (a.v, b.v); }
inline v4f operator| (v4f a, v4f b) noexcept    { return _mm_or_ps (a.v, b.v); }
inline v4f operator^ (v4f a, v4f b) noexcept    { return _mm_xor_ps (a.v, b.v); }
/** (not a) and b, bit by bit. */
inline v4f andNot (v4f a, v4f b) noexcept       { return _mm_andnot_ps (a.v, b.v); }

/** a where the mask is set, b where it is clear (mask lanes all ones or all zeros). */
inline v4f select (v4f mask, v4f a, v4f b) noexcept
{
    return _mm_or_ps (_mm_and_ps (mask.v, a.v), _mm_andnot_ps (mask.v, b.v));
}

/** Lane-wise minimum; where either operand is NaN the second operand is returned. */
inline v4f min (v4f a, v4f b) noexcept          { return _mm_min_ps (a.v, b.v); }
/** Lane-wise maximum; where either operand is NaN the second operand is returned. */
inline v4f max (v4f a, v4f b) noexcept          { return _mm_max_ps (a.v, b.v); }
inline v4f sqrt (v4f a) noexcept                { return _mm_sqrt_ps (a.v); }

/** True when the masks of all four lanes are set. */
inline bool allTrue (v4f mask) noexcept         { return _mm_movemask_ps (mask.v) == 0xf; }
/** True when no lane of the mask is set. */
inline bool noneTrue (v4f mask) noexcept        { return _mm_movemask_ps (mask.v) == 0; }
// clang-format on

/** True when every lane is neither infinite nor NaN. */
inline bool allFinite (v4f a) noexcept
{
    // x * 0 is 0 for every finite x and NaN for infinities and NaNs.
    const auto zero = _mm_setzero_ps();
    return _mm_movemask_ps (_mm_cmpeq_ps (_mm_mul_ps (a.v, zero), zero)) == 0xf;
}

/** True when the two vectors hold the same 128 bits (so +0 and -0 differ, and a NaN equals
    an identical NaN). */
inline bool bitsEqual (v4f a, v4f b) noexcept
{
    const auto eq = _mm_cmpeq_epi32 (_mm_castps_si128 (a.v), _mm_castps_si128 (b.v));
    return _mm_movemask_epi8 (eq) == 0xffff;
}

//==============================================================================
/** Four 32-bit signed integers, for the bit-level steps of the approximations. */
struct alignas (16) v4i
{
    __m128i v;

    v4i() noexcept : v (_mm_setzero_si128()) {}
    v4i (std::int32_t x) noexcept : v (_mm_set1_epi32 (x)) {}
    v4i (__m128i x) noexcept : v (x) {}

    std::int32_t operator[] (int lane) const noexcept
    {
        alignas (16) std::int32_t lanes[4];
        _mm_store_si128 (reinterpret_cast<__m128i*> (lanes), v);
        return lanes[lane];
    }
};

// clang-format off
inline v4i operator+ (v4i a, v4i b) noexcept    { return _mm_add_epi32 (a.v, b.v); }
inline v4i operator- (v4i a, v4i b) noexcept    { return _mm_sub_epi32 (a.v, b.v); }
inline v4i operator& (v4i a, v4i b) noexcept    { return _mm_and_si128 (a.v, b.v); }
inline v4i operator| (v4i a, v4i b) noexcept    { return _mm_or_si128 (a.v, b.v); }
/** (not a) and b, bit by bit. */
inline v4i andNot (v4i a, v4i b) noexcept       { return _mm_andnot_si128 (a.v, b.v); }
/** Lane mask: all ones where a == b. */
inline v4i operator== (v4i a, v4i b) noexcept   { return _mm_cmpeq_epi32 (a.v, b.v); }

template <int bits> inline v4i shiftLeft (v4i a) noexcept           { return _mm_slli_epi32 (a.v, bits); }
template <int bits> inline v4i shiftRightLogical (v4i a) noexcept   { return _mm_srli_epi32 (a.v, bits); }

/** Float to integer lanes, truncating toward zero (out of range gives INT32_MIN). */
inline v4i truncateToInt (v4f a) noexcept       { return _mm_cvttps_epi32 (a.v); }
/** Integer lanes to float. */
inline v4f toFloat (v4i a) noexcept             { return _mm_cvtepi32_ps (a.v); }
/** The same 128 bits seen as integers or as floats. */
inline v4i asInt (v4f a) noexcept               { return _mm_castps_si128 (a.v); }
inline v4f asFloat (v4i a) noexcept             { return _mm_castsi128_ps (a.v); }
// clang-format on

//==============================================================================
/** Four identical float lanes in memory, 16-byte aligned. Converts to v4f with one aligned
    load, which the compiler folds into the instruction that uses it. */
struct alignas (16) FloatLanes
{
    float value[4];
    operator v4f() const noexcept { return _mm_load_ps (value); }
};

/** Four identical integer lanes in memory, 16-byte aligned. */
struct alignas (16) IntLanes
{
    std::int32_t value[4];
    operator v4i() const noexcept { return _mm_load_si128 (reinterpret_cast<const __m128i*> (value)); }
};

/** The constants of the approximations and the filter makers, as broadcast vectors.

    They live out of line (Corvanite.cpp) on purpose: a broadcast whose value the compiler
    knows is rebuilt from a scalar at every use (a load and a shuffle), while an opaque aligned
    vector is used straight from memory. The values are those written in the functions' notes.
*/
struct ConstantTable
{
    FloatLanes one, half, two, minusTwo, twenty, ten, minus500, signMask;
    FloatLanes twoPi, pi;

    // s4f_log
    FloatLanes smallestNormal, sqrtHalf, logPolynomial[9], lnTwoLow, lnTwoHigh;
    IntLanes mantissaMask, exponentBias;

    // s4f_exp
    FloatLanes expUpper, expLower, log2e, expPolynomial[6];

    // s4f_sincos
    FloatLanes fourOverPi, piOverFour[3], cosPolynomial[3], sinPolynomial[3];
    IntLanes intOne, intTwo, intFour;
};

extern const ConstantTable constants;

//==============================================================================
/** Natural logarithm, lane-wise (single-precision Cephes formulation, branch-free).

    Lanes that are 0 or negative give NaN; positive subnormals are taken as the smallest
    normal float (about -87.34). A NaN lane gives the same -87.34, because the lower clamp
    returns its second operand for NaN.
*/
inline v4f s4f_log (v4f x) noexcept
{
    const auto& k = constants;
    const v4f invalid = x <= v4f (0.0f);

    x = max (x, k.smallestNormal);

    v4i exponent = shiftRightLogical<23> (asInt (x));
    x = asFloat (asInt (x) & k.mantissaMask) | k.half;   // mantissa into [0.5, 1)
    exponent = exponent - k.exponentBias;
    v4f e = toFloat (exponent) + k.one;

    // Keep the reduced argument within [sqrt(1/2) - 1, sqrt(2) - 1].
    const v4f below = x < k.sqrtHalf;
    const v4f belowPart = x & below;
    x = x - k.one;
    e = e - (k.one & below);
    x = x + belowPart;

    const v4f z = x * x;

    v4f y = k.logPolynomial[0];

    for (int i = 1; i < 9; ++i)
        y = y * x + k.logPolynomial[i];

    y = y * x;
    y = y * z;

    y = y + e * k.lnTwoLow;
    y = y - z * k.half;
    x = x + y;
    x = x + e * k.lnTwoHigh;

    return x | invalid;   // all bits set: NaN
}

/** e to the power x, lane-wise (single-precision Cephes formulation, branch-free).

    x is clamped to +-88.3762589 first; a NaN lane is taken as the upper clamp.
*/
inline v4f s4f_exp (v4f x) noexcept
{
    const auto& k = constants;

    x = min (x, k.expUpper);
    x = max (x, k.expLower);

    // n = floor (x / ln 2 + 1/2)
    v4f fx = x * k.log2e + k.half;
    const v4f truncated = toFloat (truncateToInt (fx));
    fx = truncated - ((truncated > fx) & k.one);

    // x - n ln 2, with ln 2 split in two for extra precision
    x = x - fx * k.lnTwoHigh;
    x = x - fx * k.lnTwoLow;

    const v4f z = x * x;

    v4f y = k.expPolynomial[0];

    for (int i = 1; i < 6; ++i)
        y = y * x + k.expPolynomial[i];

    y = y * z + x;
    y = y + k.one;

    const v4i exponent = shiftLeft<23> (truncateToInt (fx) + k.exponentBias);
    return y * asFloat (exponent);
}

/** Sine and cosine of the same argument, from one range reduction. */
struct SinCos
{
    v4f sin, cos;
};

/** Sine and cosine, lane-wise (single-precision Cephes formulation, branch-free). Accurate for
    arguments of moderate size (the range reduction works in float), which is all the filters
    need: their angles stay within [0, pi]. */
inline SinCos s4f_sincos (v4f x) noexcept
{
    const auto& k = constants;

    v4f signBitSin = x & k.signMask;
    x = andNot (k.signMask, x);

    // j = (int) (x * 4/pi), rounded up to even: the octant pair
    v4i j = truncateToInt (x * k.fourOverPi);
    j = andNot (k.intOne, j + k.intOne);
    const v4f y = toFloat (j);

    const v4f swapSignSin = asFloat (shiftLeft<29> (j & k.intFour));
    const v4f useSinPoly = asFloat ((j & k.intTwo) == v4i (0));
    const v4f signBitCos = asFloat (shiftLeft<29> (andNot (j - k.intTwo, k.intFour)));

    // Extended-precision modular arithmetic: x - y * pi/4 in three parts
    x = x + y * k.piOverFour[0];
    x = x + y * k.piOverFour[1];
    x = x + y * k.piOverFour[2];

    signBitSin = signBitSin ^ swapSignSin;

    const v4f z = x * x;

    v4f c = k.cosPolynomial[0];
    c = c * z + k.cosPolynomial[1];
    c = c * z + k.cosPolynomial[2];
    c = c * z;
    c = c * z;
    c = c - z * k.half;
    c = c + k.one;

    v4f s = k.sinPolynomial[0];
    s = s * z + k.sinPolynomial[1];
    s = s * z + k.sinPolynomial[2];
    s = s * z;
    s = s * x;
    s = s + x;

    return { select (useSinPoly, s, c) ^ signBitSin, select (useSinPoly, c, s) ^ signBitCos };
}

/** Absolute value, lane-wise: the sign bit of every lane cleared. */
inline v4f s4f_abs (v4f x) noexcept
{
    static const v4f sign_mask (-0.0f);
    return andNot (sign_mask, x);
}

/** ln (10) in every lane, as s4f_log computes it (2.3025851). */
inline const v4f __constLog10 = s4f_log (v4f (10.0f));

//==============================================================================
/** ln (10) / 20: decibels times this is the natural logarithm of the linear gain. */
constexpr float decibelsToNepers = 0.115129255f;

/** Decibels to linear gain, 10^(dB / 20), through the C library's expf. */
inline float decibelsToGain (float dB) noexcept
{
    return std::exp (dB * decibelsToNepers);
}

/** An attenuation given as a positive number of decibels to linear gain, 10^(-dB / 20). */
inline float attenuationToGain (float dB) noexcept
{
    return std::exp (dB * -decibelsToNepers);
}

/** Decibels to linear gain, lane-wise: s4f_exp (ln 10 * dB / 20). */
inline v4f s4f_decibelsToGain (v4f dB) noexcept
{
    return s4f_exp (s4f_log (constants.ten) * (dB / constants.twenty));
}

/** Linear gain to decibels, lane-wise: 20 * ln (x) / ln (10). 0 or negative lanes give NaN. */
inline v4f s4f_gainToDecibels (v4f x) noexcept
{
    return constants.twenty * s4f_log (x) / __constLog10;
}

}   // namespace Corvanite

// The approximations are also reachable without the namespace, as the stages write them.
using Corvanite::s4f_log;
using Corvanite::s4f_exp;
using Corvanite::s4f_sincos;
using Corvanite::s4f_abs;
using Corvanite::__constLog10;
