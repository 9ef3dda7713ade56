#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"

namespace
{
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

template <class Display, class T>
std::string Text(const Display& display, T value, int32_t limit)
{
    AAX_CString text("stale");
    EXPECT_TRUE(display.ValueToString(value, limit, &text));
    return text.Get();
}
} // namespace

TEST(LinearTaper, MapsAndClampsBetweenItsBounds)
{
    const AAX_CLinearTaperDelegate<float, 0> unit;
    EXPECT_EQ(unit.GetMaximumValue(), 1.0f);
    const AAX_CLinearTaperDelegate<float, 0> same(3.0f, 3.0f);      // equal bounds: the bound and one half
    const AAX_CLinearTaperDelegate<float, 0> reversed(1.0f, 0.0f);  // from minimum to maximum
    const AAX_CLinearTaperDelegate<float, 0> wide(-24.0f, 24.0f);   // non-finite values land on a bound
    const AAX_CLinearTaperDelegate<float, 10> rounded(0.0f, 10.0f); // precision rounds real values
    const AAX_CLinearTaperDelegate<float, 0> exact(0.0f, 10.0f);
    const std::tuple<const AAX_ITaperDelegate<float>*, double, float> toReal[] = {
        { &unit, 1.5, 1.0f },       { &unit, -0.2, 0.0f },     { &unit, 0.7, 0.7f },     { &same, -1.0, 3.0f },
        { &same, 0.5, 3.0f },       { &same, 7.0, 3.0f },      { &reversed, 0.0, 1.0f }, { &reversed, 1.0, 0.0f },
        { &wide, kNaN, -24.0f },    { &wide, kInf, 24.0f },    { &wide, -kInf, -24.0f }, { &wide, 1e300, 24.0f },
        { &rounded, 0.123, 1.2f },  { &exact, 0.123, 1.23f } };
    for (const auto& [taper, normalized, real] : toReal)
        EXPECT_EQ(taper->NormalizedToReal(normalized), real) << normalized;

    const float nanF = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<const AAX_ITaperDelegate<float>*, float, double> toNormalized[] = {
        { &unit, 2.0f, 1.0 },     { &unit, 0.25f, 0.25 },     { &same, -5.0f, 0.5 }, { &same, 100.0f, 0.5 },
        { &reversed, 0.25f, 0.75 }, { &wide, nanF, 0.0 }, { &wide, std::numeric_limits<float>::infinity(), 1.0 } };
    for (const auto& [taper, real, normalized] : toNormalized)
        EXPECT_EQ(taper->RealToNormalized(real), normalized) << real;

    EXPECT_EQ(reversed.ConstrainRealValue(5.0f), 1.0f);
    EXPECT_EQ(reversed.ConstrainRealValue(-5.0f), 0.0f);
    EXPECT_EQ(wide.ConstrainRealValue(nanF), -24.0f);

    std::unique_ptr<AAX_ITaperDelegate<float>> clone(AAX_CLinearTaperDelegate<float, 0>(-6.0f, 12.0f).Clone());
    EXPECT_EQ(clone->GetMinimumValue(), -6.0f);
    EXPECT_EQ(clone->NormalizedToReal(0.5), 3.0f);
}

TEST(BinaryTaper, AnythingAboveZeroIsOn)
{
    const AAX_CBinaryTaperDelegate<bool> taper;
    for (double off : { 0.0, -1.0, kNaN })
        EXPECT_FALSE(taper.NormalizedToReal(off)) << off;
    for (double on : { 0.000001, kInf })
        EXPECT_TRUE(taper.NormalizedToReal(on)) << on;
    EXPECT_EQ(taper.RealToNormalized(true), 1.0);
    EXPECT_EQ(taper.RealToNormalized(false), 0.0);
    std::unique_ptr<AAX_ITaperDelegate<bool>> clone(taper.Clone());
    EXPECT_TRUE(clone->NormalizedToReal(0.3));
}

TEST(NumberDisplay, ThreeDecimalsCutToTheLimit)
{
    const AAX_CNumberDisplayDelegate<float, 3> display;
    AAX_CString full;
    EXPECT_TRUE(display.ValueToString(-1.0f, &full));
    EXPECT_STREQ(full.Get(), "-1.000");

    const std::tuple<float, int32_t, const char*> cases[] = {
        { 0.5f, 9, "0.500" }, { 0.5f, 5, "0.500" }, { 0.5f, 4, "0.50" }, { 0.5f, 3, "0.5" },
        { 0.5f, 2, "0" }, // "0." loses its point
        { 0.5f, 1, "0" },     { 0.5f, 0, "" },       { 0.5f, -3, "" },     { 12.345f, 3, "12" },
        { 12.345f, 4, "12.3" },
        { 0.9996f, 5, "1.000" } }; // rounded by the number, then cut
    for (const auto& [value, limit, text] : cases)
        EXPECT_EQ(Text(display, value, limit), text) << value << " " << limit;

    EXPECT_FALSE(display.ValueToString(0.5f, nullptr));
}

TEST(NumberDisplay, ParsesALeadingNumber)
{
    const AAX_CNumberDisplayDelegate<float, 3> display;
    float value = -1.0f;
    EXPECT_TRUE(display.StringToValue(AAX_CString("1.5"), &value));
    EXPECT_EQ(value, 1.5f);
    EXPECT_TRUE(display.StringToValue(AAX_CString("-3 dB"), &value));
    EXPECT_EQ(value, -3.0f);

    value = 9.0f;
    EXPECT_FALSE(display.StringToValue(AAX_CString("dB"), &value));
    EXPECT_EQ(value, 0.0f);

    // Numbers beyond the value type's range become its largest value, not undefined ones.
    EXPECT_TRUE(display.StringToValue(AAX_CString("1e300"), &value));
    EXPECT_EQ(value, FLT_MAX);
    EXPECT_TRUE(display.StringToValue(AAX_CString("-1e300"), &value));
    EXPECT_EQ(value, -FLT_MAX);

    EXPECT_FALSE(display.StringToValue(AAX_CString("1"), nullptr));

    AAX_CString spaced;
    AAX_CNumberDisplayDelegate<float, 1, 2>().ValueToString(2.0f, &spaced);
    EXPECT_STREQ(spaced.Get(), "2.0  "); // the space after is appended
}

TEST(BinaryDisplay, FullTextsWithoutShortenedForms)
{
    const AAX_CBinaryDisplayDelegate<bool> display("bypass", "on");
    for (int32_t limit : { 100, 6, 2, 1, 0, -5 })
    {
        EXPECT_EQ(Text(display, false, limit), "bypass") << limit;
        EXPECT_EQ(Text(display, true, limit), "on") << limit;
    }

    bool value = false;
    EXPECT_TRUE(display.StringToValue(AAX_CString("on"), &value));
    EXPECT_TRUE(value);
    EXPECT_TRUE(display.StringToValue(AAX_CString("bypass"), &value));
    EXPECT_FALSE(value);
    value = true;
    EXPECT_FALSE(display.StringToValue(AAX_CString("On"), &value));
    EXPECT_FALSE(value);
    EXPECT_FALSE(display.StringToValue(AAX_CString("byp"), &value));
}

TEST(BinaryDisplay, ShortenedFormsByLimit)
{
    AAX_CBinaryDisplayDelegate<bool> display("inactive", "active");   // longest: 8 characters
    display.AddShortenedStrings("inac", "actv", 4);
    display.AddShortenedStrings("in", "ac", 2);

    for (int32_t limit : { 8, 9, 50 })
        EXPECT_EQ(Text(display, false, limit), "inactive") << limit;
    for (int32_t limit : { 4, 5, 6, 7 })
        EXPECT_EQ(Text(display, true, limit), "actv") << limit;
    for (int32_t limit : { 2, 3, 1, 0, -1 })
        EXPECT_EQ(Text(display, false, limit), "in") << limit;

    // A clone keeps the table; the original's later additions do not reach it.
    std::unique_ptr<AAX_IDisplayDelegate<bool>> clone(display.Clone());
    display.AddShortenedStrings("i", "a", 1);
    EXPECT_EQ(Text(*clone, true, 1), "ac");
    EXPECT_EQ(Text(display, true, 1), "a");
}

TEST(BinaryDisplay, EqualLimitsAreAllKept)
{
    AAX_CBinaryDisplayDelegate<bool> display("disabled", "enabled");
    display.AddShortenedStrings("dis1", "en1", 3);
    display.AddShortenedStrings("dis2", "en2", 3);
    const std::string chosen = Text(display, true, 3);
    EXPECT_TRUE(chosen == "en1" || chosen == "en2") << chosen;

    const AAX_CBinaryDisplayDelegate<bool> nulls(nullptr, nullptr);
    EXPECT_EQ(Text(nulls, true, 4), "");
    bool value = true;
    EXPECT_TRUE(nulls.StringToValue(AAX_CString(""), &value));
}
