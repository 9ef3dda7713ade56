#include <locale>
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
    const AAX_CString fromNull(nullptr);
    EXPECT_EQ(fromNull.Length(), 0u);
    EXPECT_STREQ(fromNull.Get(), "");
    EXPECT_EQ(fromNull.MaxLength(), 4294967294u);
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
    EXPECT_STREQ(copy.Get(), "Value");

    const AAX_IString& asInterface = original;
    AAX_CString fromInterface(asInterface);
    EXPECT_STREQ(fromInterface.Get(), "value");

    // Assigning a text to itself through the interface keeps it.
    AAX_IString& self = copy;
    self = static_cast<const AAX_IString&>(copy);
    EXPECT_STREQ(copy.Get(), "Value");

    // Setting from a pointer into the text itself is safe.
    AAX_CString overlap("abcdef");
    overlap.Set(overlap.Get() + 2);
    EXPECT_STREQ(overlap.Get(), "cdef");
}

TEST(Text, EraseClampsToTheText)
{
    auto erased = [](uint32_t pos, uint32_t count) {
        AAX_CString text("12.345");
        return std::string(text.Erase(pos, count).Get());
    };
    EXPECT_EQ(erased(2, 4), "12");
    EXPECT_EQ(erased(2, 5), "12");
    EXPECT_EQ(erased(2, 100), "12");
    EXPECT_EQ(erased(6, 1), "12.345");
    EXPECT_EQ(erased(1, 1), "1.345");
    EXPECT_EQ(erased(7, 1), "12.345");
    EXPECT_EQ(erased(0xFFFFFFFFu, 0xFFFFFFFFu), "12.345");
    EXPECT_EQ(erased(0, 0xFFFFFFFFu), "");
}

TEST(Text, SubStringClampsToTheText)
{
    const AAX_CString text("abcd");
    AAX_CString out("unchanged");
    text.SubString(1, 2, &out);
    EXPECT_STREQ(out.Get(), "bc");
    text.SubString(3, 10, &out);
    EXPECT_STREQ(out.Get(), "d");
    text.SubString(4, 1, &out);
    EXPECT_STREQ(out.Get(), "");
    out = "x";
    text.SubString(9, 1, &out);
    EXPECT_STREQ(out.Get(), "");
    text.SubString(0, 2, nullptr);   // ignored
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

    EXPECT_EQ(Parse("12abc", &ok), 12.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Parse("1e3", &ok), 1000.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Parse(" 2.5", &ok), 2.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Parse("1.5", &ok), 1.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Parse("-0.25 dB", &ok), -0.25);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Parse("1,5", &ok), 1.0);   // the comma is no decimal point here
    EXPECT_TRUE(ok);

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
