#include "Corvanite.h"

namespace Corvanite
{

namespace
{
constexpr FloatLanes all (float x)
{
    return { { x, x, x, x } };
}
constexpr IntLanes all (std::int32_t x)
{
    return { { x, x, x, x } };
}
}

// Cephes single-precision constants, written with the digits of their published values.
constexpr ConstantTable constants {
    all (1.0f),
    all (0.5f),
    all (2.0f),
    all (-2.0f),
    all (20.0f),
    all (10.0f),
    all (-500.0f),
    all (-0.0f),
    all (6.28318548f),
    all (3.14159274f),

    // s4f_log
    all (1.17549435e-38f),
    all (0.707106781186547524f),
    { all (7.0376836292e-2f), all (-1.1514610310e-1f), all (1.1676998740e-1f), all (-1.2420140846e-1f),
      all (1.4249322787e-1f), all (-1.6668057665e-1f), all (2.0000714765e-1f), all (-2.4999993993e-1f),
      all (3.3333331174e-1f) },
    all (-2.12194440e-4f),
    all (0.693359375f),
    all (~0x7f800000),
    all (0x7f),

    // s4f_exp
    all (88.3762626647949f),
    all (-88.3762626647949f),
    all (1.44269504088896341f),
    { all (1.9875691500e-4f), all (1.3981999507e-3f), all (8.3334519073e-3f), all (4.1665795894e-2f),
      all (1.6666665459e-1f), all (5.0000001201e-1f) },

    // s4f_sincos
    all (1.27323954473516f),
    { all (-0.78515625f), all (-2.4187564849853515625e-4f), all (-3.77489497744594108e-8f) },
    { all (2.443315711809948e-5f), all (-1.388731625493765e-3f), all (4.166664568298827e-2f) },
    { all (-1.9515295891e-4f), all (8.3321608736e-3f), all (-1.6666654611e-1f) },
    all (1),
    all (2),
    all (4)
};

}   // namespace Corvanite
