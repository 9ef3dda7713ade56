// The editor's images as the plug-in embeds them: every name present at 1x and 2x, the pixel
// sizes and PNG colour types the editor relies on, and pictures that actually show something.

#include <BinaryData.h>
#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

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

struct Resource
{
    const char* data = nullptr;
    int size = 0;
};

Resource resource (const std::string& name)
{
    Resource r;
    r.data = BinaryData::getNamedResource (name.c_str(), r.size);
    return r;
}

std::string resourceName (const char* base, int scale)
{
    return std::string (base) + (scale == 2 ? "2x_png" : "_png");
}

struct PngHeader
{
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = -1, interlace = -1;
};

uint32_t bigEndian32 (const unsigned char* p)
{
    return (uint32_t) p[0] << 24 | (uint32_t) p[1] << 16 | (uint32_t) p[2] << 8 | (uint32_t) p[3];
}

/** Reads the image header chunk, which a PNG must carry right after its signature. */
bool readPngHeader (const Resource& r, PngHeader& header)
{
    static const unsigned char signature[8] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };
    if (r.data == nullptr || r.size < 33)
        return false;

    const auto* p = reinterpret_cast<const unsigned char*> (r.data);
    if (std::memcmp (p, signature, 8) != 0 || bigEndian32 (p + 8) != 13 || std::memcmp (p + 12, "IHDR", 4) != 0)
        return false;

    header.width = bigEndian32 (p + 16);
    header.height = bigEndian32 (p + 20);
    header.bitDepth = p[24];
    header.colourType = p[25];
    header.interlace = p[28];
    return true;
}

juce::Image decode (const Resource& r)
{
    return juce::ImageFileFormat::loadFrom (r.data, (size_t) r.size);
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

TEST_P (EmbeddedImage, hasItsSizeAndColourTypeAtOneAndTwoTimes)
{
    const auto& expected = GetParam();

    for (int scale : { 1, 2 })
    {
        const auto name = resourceName (expected.base, scale);
        PngHeader header;
        ASSERT_TRUE (readPngHeader (resource (name), header)) << name << " is missing or not a PNG";

        EXPECT_EQ (header.width, (uint32_t) (expected.width * scale)) << name;
        EXPECT_EQ (header.height, (uint32_t) (expected.height * scale)) << name;
        EXPECT_EQ (header.bitDepth, 8) << name;
        EXPECT_EQ (header.colourType, expected.rgb ? 2 : 6) << name;
        EXPECT_EQ (header.interlace, 0) << name;
    }
}

TEST_P (EmbeddedImage, decodesAtTheDeclaredSizeAndFormat)
{
    const auto& expected = GetParam();

    for (int scale : { 1, 2 })
    {
        const auto image = decode (resource (resourceName (expected.base, scale)));
        ASSERT_TRUE (image.isValid()) << expected.base << " at " << scale << "x";
        EXPECT_EQ (image.getWidth(), expected.width * scale);
        EXPECT_EQ (image.getHeight(), expected.height * scale);
        EXPECT_EQ (image.hasAlphaChannel(), ! expected.rgb);
    }
}

TEST_P (EmbeddedImage, showsSomethingAtBothScales)
{
    const auto& expected = GetParam();

    for (int scale : { 1, 2 })
    {
        const auto image = decode (resource (resourceName (expected.base, scale)));
        ASSERT_TRUE (image.isValid());

        std::set<juce::uint32> colours;
        int visible = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto c = image.getPixelAt (x, y);
                colours.insert (c.getARGB());
                visible += c.getAlpha() > 0 ? 1 : 0;
            }

        EXPECT_GT (visible, 0) << expected.base << " at " << scale << "x is fully transparent";
        EXPECT_GT (colours.size(), 1u) << expected.base << " at " << scale << "x is one flat colour";
    }
}

INSTANTIATE_TEST_SUITE_P (Catalogue, EmbeddedImage, ::testing::ValuesIn (expectedImages),
                          [] (const auto& test) { return std::string (test.param.base); });

TEST (EmbeddedImages, catalogueHoldsNoStrayImages)
{
    std::set<std::string> known;
    for (const auto& e : expectedImages)
        for (int scale : { 1, 2 })
            known.insert (resourceName (e.base, scale));

    // Optional extras that nothing in the plug-in asks for.
    for (const char* extra : { "icon_png", "vantor_logo_white_png", "vantor_logo_white2x_png" })
        known.insert (extra);

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
            const auto on = decode (resource (resourceName (lit, scale)));
            const auto off = decode (resource (resourceName (unlit, scale)));
            EXPECT_GT (meanBrightness (on), meanBrightness (off) + 0.2f) << lit << " at " << scale << "x";
        }
}

TEST (EmbeddedImages, meterSwitchShowsWhichSideIsSelected)
{
    for (int scale : { 1, 2 })
    {
        const auto input = decode (resource (resourceName ("vu_input", scale)));
        const auto output = decode (resource (resourceName ("vu_output", scale)));
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
        const auto divider = decode (resource (resourceName ("divider", scale)));
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
