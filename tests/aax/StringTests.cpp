#include <locale>
#include <tuple>
#include <string>

#include <gtest/gtest.h>

#include "AAX_CString.h"

namespace
{
/** A locale whose decimal point is a comma, to show that texts ignore the global locale. */
struct CommaDecimal : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

class ScopedGlobalLocale
{
public:
    explicit ScopedGlobalLocale(const std::locale& locale) : mPrevious(std::locale::global(locale)) {}
    ~ScopedGlobalLocale() { std::locale::global(mPrevious); }

private:
    std::locale mPrevious;
};

double Parse(const char* text, bool* ok)
{
    double value = -99.0;
    *ok = AAX_CString(text).ToDouble(&value);
    return value;
}
} // namespace

TEST(Text, NullEmptyAndCopies)
{
    EXPECT_STREQ(AAX_CString(nullptr).Get(), "");
    EXPECT_EQ(AAX_CString("abc").MaxLength(), 4294967294u);

    AAX_CString text("abc");
    text.Set(nullptr);
    EXPECT_STREQ(text.Get(), "");
    text = "def";
    text = static_cast<const char*>(nullptr);
    EXPECT_STREQ(text.Get(), "");

    AAX_CString original("value");
    AAX_CString copy = original;
    copy[0] = 'V';
    EXPECT_STREQ(original.Get(), "value");
    EXPECT_STREQ(AAX_CString(static_cast<const AAX_IString&>(original)).Get(), "value");

    // Assigning a text to itself through the interface keeps it.
    static_cast<AAX_IString&>(copy) = static_cast<const AAX_IString&>(copy);
    EXPECT_STREQ(copy.Get(), "Value");

    // Setting from a pointer into the text itself is safe.
    AAX_CString overlap("abcdef");
    overlap.Set(overlap.Get() + 2);
    EXPECT_STREQ(overlap.Get(), "cdef");
}

TEST(Text, EraseAndSubStringClampToTheText)
{
    const std::tuple<uint32_t, uint32_t, const char*> erasures[] = {
        { 2, 4, "12" }, { 2, 100, "12" }, { 6, 1, "12.345" }, { 1, 1, "1.345" },
        { 7, 1, "12.345" }, { 0xFFFFFFFFu, 0xFFFFFFFFu, "12.345" }, { 0, 0xFFFFFFFFu, "" } };
    for (const auto& [pos, count, expected] : erasures)
    {
        AAX_CString text("12.345");
        EXPECT_STREQ(text.Erase(pos, count).Get(), expected) << pos << " " << count;
    }

    const AAX_CString text("abcd");
    AAX_CString out("unchanged");
    text.SubString(1, 2, &out);
    EXPECT_STREQ(out.Get(), "bc");
    text.SubString(3, 10, &out);
    EXPECT_STREQ(out.Get(), "d");
    out = "x";
    text.SubString(9, 1, &out);
    EXPECT_STREQ(out.Get(), "");
    text.SubString(0, 2, nullptr); // ignored
}

TEST(Text, AppendNumberUsesFixedNotationInTheClassicLocale)
{
    ScopedGlobalLocale comma(std::locale(std::locale::classic(), new CommaDecimal));

    AAX_CString text("x=");
    EXPECT_STREQ(text.AppendNumber(0.5, 3).Get(), "x=0.500");
    EXPECT_STREQ(AAX_CString().AppendNumber(1.5, 3).Get(), "1.500");
    EXPECT_STREQ(AAX_CString().AppendNumber(7, 0).Get(), "7");
    EXPECT_STREQ(AAX_CString().AppendNumber(-1, 3).Get(), "-1.000");
    EXPECT_STREQ(AAX_CString().AppendNumber(1234567.25, 2).Get(), "1234567.25");
    EXPECT_STREQ(AAX_CString().AppendNumber(1e21, 1).Get(), "1000000000000000000000.0");
    EXPECT_STREQ(AAX_CString().AppendNumber(2.5, -4).Get(), "2");
}

TEST(Text, ToDoubleReadsALeadingNumberInTheClassicLocale)
{
    ScopedGlobalLocale comma(std::locale(std::locale::classic(), new CommaDecimal));
    bool ok = false;
    const std::pair<const char*, double> good[] = {
        { "12abc", 12.0 }, { "1e3", 1000.0 }, { " 2.5", 2.5 }, { "-0.25 dB", -0.25 },
        { "1,5", 1.0 } }; // the comma is no decimal point here
    for (const auto& [input, expected] : good)
    {
        EXPECT_EQ(Parse(input, &ok), expected) << input;
        EXPECT_TRUE(ok) << input;
    }
    for (const char* bad : { "", "-", "abc", " ", "nan", "inf", "1e999" })
    {
        EXPECT_EQ(Parse(bad, &ok), 0.0) << bad;
        EXPECT_FALSE(ok) << bad;
    }

    EXPECT_FALSE(AAX_CString("1").ToDouble(nullptr));
}

TEST(Text, ComparisonStopsAtTheFirstZeroByte)
{
    AAX_CString a("abXd");
    AAX_CString b("abYd");
    a[2] = '\0';
    b[2] = '\0';
    EXPECT_EQ(a.Length(), 4u);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);

    const AAX_CString name("Gain");
    EXPECT_TRUE(name != "Gai");   // a C text converts implicitly
    EXPECT_FALSE(name != "Gain");
    EXPECT_TRUE(AAX_CString("a") < AAX_CString("b"));
}
