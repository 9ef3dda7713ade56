// The editor's images as the plug-in embeds them: every name present at 1x and 2x, the pixel
// sizes and PNG colour types the editor relies on, and pictures that actually show something.

#include <BinaryData.h>
#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace
{
struct ExpectedImage
{
    const char* base;
    int width;
    int height;
    bool rgb;   ///< no alpha channel (PNG colour type 2); otherwise RGBA (colour type 6)
};

const ExpectedImage expectedImages[] = {
    { "main",                 800, 250, true  },
    { "vantor_logo",           39,   8, false },
    { "vu_input",              56,  42, false },
    { "vu_output",             56,  42, false },
    { "bypass_main_on",         8,   8, false },
    { "bypass_main_off",        8,   8, false },
    { "bypass_on",              6,   6, false },
    { "bypass_off",             6,   6, false },
    { "compression_active",     6,   6, false },
    { "compression_inactive",   6,   6, false },
    { "arrow_left",             3,   6, false },
    { "arrow_right",            3,   6, false },
    { "arrow_down",             6,   3, false },
    { "divider",                1,  12, true  },
    { "quillo_logo",           39,   8, false },
};

std::string resourceName (const char* base, int scale)   { return std::string (base) + (scale == 2 ? "2x_png" : "_png"); }

uint32_t bigEndian32 (const unsigned char* p)
{
    return (uint32_t) p[0] << 24 | (uint32_t) p[1] << 16 | (uint32_t) p[2] << 8 | (uint32_t) p[3];
}

/** The PNG's image header chunk, which must come right after the signature: width, height,
    bit depth, colour type and interlace method; empty when the resource is missing or no PNG. */
std::vector<uint32_t> pngHeader (const std::string& name)
{
    static const unsigned char signature[8] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };
    int size = 0;
    const auto* p = reinterpret_cast<const unsigned char*> (BinaryData::getNamedResource (name.c_str(), size));

    if (p == nullptr || size < 33 || std::memcmp (p, signature, 8) != 0 || bigEndian32 (p + 8) != 13
        || std::memcmp (p + 12, "IHDR", 4) != 0)
        return {};

    return { bigEndian32 (p + 16), bigEndian32 (p + 20), p[24], p[25], p[28] };
}

juce::Image decode (const char* base, int scale)
{
    int size = 0;
    const char* data = BinaryData::getNamedResource (resourceName (base, scale).c_str(), size);
    return juce::ImageFileFormat::loadFrom (data, (size_t) size);
}

/** Mean brightness (0..1) of the visible pixels, each weighted by its opacity. */
float meanBrightness (const juce::Image& image)
{
    double sum = 0.0, weight = 0.0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            sum += (double) c.getPerceivedBrightness() * c.getFloatAlpha();
            weight += c.getFloatAlpha();
        }
    return weight > 0.0 ? (float) (sum / weight) : 0.0f;
}

class EmbeddedImage : public ::testing::TestWithParam<ExpectedImage>
{
};

TEST_P (EmbeddedImage, hasItsSizeAndColourTypeAndShowsSomethingAtOneAndTwoTimes)
{
    const auto& expected = GetParam();

    for (int scale : { 1, 2 })
    {
        SCOPED_TRACE (resourceName (expected.base, scale));
        const std::vector<uint32_t> header { (uint32_t) (expected.width * scale), (uint32_t) (expected.height * scale),
                                             8u, expected.rgb ? 2u : 6u, 0u };
        EXPECT_EQ (pngHeader (resourceName (expected.base, scale)), header) << "width, height, depth, colour type, interlace";

        const auto image = decode (expected.base, scale);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), expected.width * scale);
        EXPECT_EQ (image.hasAlphaChannel(), ! expected.rgb);

        std::set<juce::uint32> colours;
        int visible = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                colours.insert (image.getPixelAt (x, y).getARGB());
                visible += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
            }

        EXPECT_GT (visible, 0) << "fully transparent";
        EXPECT_GT (colours.size(), 1u) << "one flat colour";
    }
}

INSTANTIATE_TEST_SUITE_P (Catalogue, EmbeddedImage, ::testing::ValuesIn (expectedImages),
                          [] (const auto& test) { return std::string (test.param.base); });

TEST (EmbeddedImages, catalogueHoldsNoStrayImages)
{
    // Optional extras that nothing in the plug-in asks for.
    std::set<std::string> known { "icon_png", "vantor_logo_white_png", "vantor_logo_white2x_png" };
    for (const auto& e : expectedImages)
        for (int scale : { 1, 2 })
            known.insert (resourceName (e.base, scale));

    int images = 0;
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        const std::string name (BinaryData::namedResourceList[i]);
        if (name.size() > 4 && name.compare (name.size() - 4, 4, "_png") == 0)
        {
            ++images;
            EXPECT_EQ (known.count (name), 1u) << "unexpected image resource " << name;
        }
    }
    EXPECT_GE (images, 30);
}

TEST (EmbeddedImages, litLampsAreBrighterThanUnlitOnes)
{
    const std::pair<const char*, const char*> pairs[] = {
        { "bypass_main_on", "bypass_main_off" },
        { "bypass_on", "bypass_off" },
        { "compression_active", "compression_inactive" },
    };

    for (const auto& [lit, unlit] : pairs)
        for (int scale : { 1, 2 })
        {
            const auto on = decode (lit, scale);
            const auto off = decode (unlit, scale);
            EXPECT_GT (meanBrightness (on), meanBrightness (off) + 0.2f) << lit << " at " << scale << "x";
        }
}

TEST (EmbeddedImages, meterSwitchShowsWhichSideIsSelected)
{
    for (int scale : { 1, 2 })
    {
        const auto input = decode ("vu_input", scale);
        const auto output = decode ("vu_output", scale);
        ASSERT_TRUE (input.isValid() && output.isValid());

        // The two positions must look different in their left and in their right halves.
        const auto halfDiffers = [&] (int x0, int x1) {
            for (int y = 0; y < input.getHeight(); ++y)
                for (int x = x0; x < x1; ++x)
                    if (input.getPixelAt (x, y) != output.getPixelAt (x, y))
                        return true;
            return false;
        };
        const int w = input.getWidth();
        EXPECT_TRUE (halfDiffers (0, w / 2)) << scale << "x";
        EXPECT_TRUE (halfDiffers (w / 2, w)) << scale << "x";
    }
}

TEST (EmbeddedImages, dividerBlendsIntoTheBannerAtItsEnds)
{
    // The banner is filled with grey 0.27; the divider's ends fade into it.
    const auto banner = juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f);
    for (int scale : { 1, 2 })
    {
        const auto divider = decode ("divider", scale);
        ASSERT_TRUE (divider.isValid());
        for (int x = 0; x < divider.getWidth(); ++x)
        {
            const auto top = divider.getPixelAt (x, 0);
            const auto middle = divider.getPixelAt (x, divider.getHeight() / 2);
            EXPECT_NEAR (top.getRed(), banner.getRed(), 12) << scale << "x";
            EXPECT_NE (middle.getARGB(), banner.getARGB()) << scale << "x: no visible line";
        }
    }
}
}
