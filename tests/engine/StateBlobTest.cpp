// The saved state: its byte form, round trips, and what a load does with bad or short blobs.

#include "ProcessorTestSupport.h"

using namespace quillo::test;

namespace
{
std::vector<float> distinctValues()
{
    std::vector<float> values;

    for (int i = 0; i < 23; ++i)
        values.push_back ((float) (i + 1) / 29.0f);

    return values;
}

/** A processor holding distinctValues() and the given preset fields. */
struct Loaded : QuilloAudioProcessor
{
    explicit Loaded (int32_t category = 0, int32_t index = 0, bool modified = false)
    {
        const auto values = distinctValues();

        for (int i = 0; i < 23; ++i)
            quillo::test::setParameter (*this, i, values[(size_t) i]);

        presetCategory = category;
        presetIndex = index;
        presetModified = modified;
    }

    void load (const std::vector<char>& blob) { setStateInformation (blob.data(), (int) blob.size()); }

    void expectPreset (int32_t category, int32_t index, bool modified)
    {
        EXPECT_EQ (presetCategory.load(), category);
        EXPECT_EQ (presetIndex.load(), index);
        EXPECT_EQ (presetModified.load(), modified);
    }
};

int32_t wordAt (const juce::MemoryBlock& block, size_t offset)
{
    int32_t word;
    std::memcpy (&word, static_cast<const char*> (block.getData()) + offset, sizeof word);   // little-endian here
    return word;
}

void expectBitsEqual (const std::vector<float>& actual, const std::vector<float>& expected)
{
    ASSERT_EQ (actual.size(), expected.size());

    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ (bitsOf (actual[i]), bitsOf (expected[i])) << "parameter " << i;
}
} // namespace

//==============================================================================
TEST (StateBlob, HostFormIs104BytesOfValuesThenThePresetFieldsAndRoundTrips)
{
    Loaded source (5, 4, true);
    juce::MemoryBlock hostForm, presetForm;
    source.getStateInformation (hostForm);
    source.getStateInformation (presetForm, true);
    ASSERT_EQ (hostForm.getSize(), 104u);
    ASSERT_EQ (presetForm.getSize(), 92u);
    EXPECT_EQ (std::memcmp (presetForm.getData(), hostForm.getData(), 92), 0);

    for (size_t i = 0; i < 23; ++i)
        EXPECT_EQ ((uint32_t) wordAt (hostForm, 4 * i), bitsOf (distinctValues()[i])) << i;

    EXPECT_EQ (wordAt (hostForm, 92), 5);
    EXPECT_EQ (wordAt (hostForm, 96), 4);
    EXPECT_EQ (wordAt (hostForm, 100), 1);

    QuilloAudioProcessor target;
    target.setStateInformation (hostForm.getData(), (int) hostForm.getSize());
    expectBitsEqual (parameterValues (target), distinctValues());
    juce::MemoryBlock again;
    target.getStateInformation (again);
    EXPECT_EQ (again, hostForm);

    // The preset form carries no preset fields: the target keeps its own.
    Loaded other (2, 1, false);
    quillo::test::setParameter (other, 0, 0.9f);
    other.setStateInformation (presetForm.getData(), (int) presetForm.getSize());
    expectBitsEqual (parameterValues (other), distinctValues());
    other.expectPreset (2, 1, false);
}

TEST (StateBlob, AppendsToWhatTheBlockAlreadyHolds)
{
    QuilloAudioProcessor p;
    juce::MemoryBlock fresh;
    p.getStateInformation (fresh);

    juce::MemoryBlock block ("abc", 3);
    p.getStateInformation (block);
    ASSERT_EQ (block.getSize(), 107u);
    EXPECT_EQ (std::memcmp (block.getData(), "abc", 3), 0);
    EXPECT_EQ (std::memcmp (static_cast<const char*> (block.getData()) + 3, fresh.getData(), 104), 0);

    p.getStateInformation (block, true);
    EXPECT_EQ (block.getSize(), 199u);
}

TEST (StateBlob, DefaultPresetLoadsTheNormalisedDefaultsAndKeepsThePresetFields)
{
    Loaded p (4, 3, true);
    p.setStateInformation (BinaryData::_01_01_Default_wmb, BinaryData::_01_01_Default_wmbSize);
    expectBitsEqual (parameterValues (p), defaultValues());
    p.expectPreset (4, 3, true);
}

//==============================================================================
TEST (StateBlobLoad, IgnoresNullEmptyNegativeAndShortBlobs)
{
    Loaded p (2, 3, true);
    const auto full = blobOf (std::vector<float> (23, 0.25f), { 1, 1, 0 });

    p.setStateInformation (nullptr, 104);

    for (int size : { 0, -104, 91, 4 })
        p.setStateInformation (full.data(), size);

    expectBitsEqual (parameterValues (p), distinctValues());
    p.expectPreset (2, 3, true);
}

TEST (StateBlobLoad, LimitsValuesToTheRangeAndReplacesNonNumbersByDefaults)
{
    auto values = distinctValues();
    values[0] = 1.5f;
    values[1] = -0.5f;
    values[3] = std::numeric_limits<float>::quiet_NaN();
    values[7] = std::numeric_limits<float>::infinity();
    values[10] = -std::numeric_limits<float>::infinity();
    values[13] = floatFromBits (0x7FA00000);      // a signalling NaN
    values[15] = 1.0e30f;

    Loaded p;
    p.load (blobOf (values));

    auto expected = distinctValues();
    expected[0] = expected[15] = 1.0f;
    expected[1] = 0.0f;

    for (int i : { 3, 7, 10, 13 })
        expected[(size_t) i] = floatFromBits (defaultBits[(size_t) i]);

    expectBitsEqual (parameterValues (p), expected);
}

TEST (StateBlobLoad, StoresAPresetPairOutsideTheCatalogueAsModifiedDefault)
{
    const int32_t outside[][2] = { { 1, 5 }, { 6, 0 }, { -1, 0 }, { 0, -1 }, { 0, 6 }, { 99999, 99999 },
                                   { INT32_MIN, 0 } };

    for (const auto& pair : outside)
    {
        SCOPED_TRACE (::testing::Message() << pair[0] << "/" << pair[1]);
        Loaded p;
        p.load (blobOf (distinctValues(), { pair[0], pair[1], 0 }));
        p.expectPreset (0, 0, true);
        expectBitsEqual (parameterValues (p), distinctValues());
    }

    // The last preset of the catalogue is inside it.
    Loaded p;
    p.load (blobOf (distinctValues(), { 5, 4, 0 }));
    p.expectPreset (5, 4, false);
}

TEST (StateBlobLoad, ReadsAPartialTrailerAsFarAsItGoes)
{
    const auto withTrailer = [] (std::vector<int32_t> trailer, size_t size)
    {
        auto blob = blobOf (distinctValues(), std::move (trailer));
        blob.resize (size);
        return blob;
    };

    Loaded p (1, 2, true);
    p.load (withTrailer ({ 3 }, 96));                 // category only: index 0, flag clear
    p.expectPreset (3, 0, false);
    p.load (withTrailer ({ 2, 4, 1 }, 102));          // two bytes of the flag
    p.expectPreset (2, 4, false);
    p.load (withTrailer ({ 2, 4, 1, 77, 88 }, 112));  // bytes beyond 104 are ignored
    p.expectPreset (2, 4, true);
    p.load (withTrailer ({ 1, 2, 7 }, 104));          // any non-zero flag word means modified...
    p.expectPreset (1, 2, true);

    juce::MemoryBlock block;                          // ...and is written back as 1
    p.getStateInformation (block);
    EXPECT_EQ (wordAt (block, 100), 1);
}

TEST (StateBlobLoad, EveryFactoryPresetLoadsExactlyItsBytes)
{
    for (int category = 0; category < FACTORY_PRESET_NUM_CATEGORIES; ++category)
    {
        for (int index = 0; index < FACTORY_PRESET_COUNTS[category]; ++index)
        {
            QuilloAudioProcessor p;
            loadFactoryPreset (p, category, index);

            juce::MemoryBlock written;
            p.getStateInformation (written, true);

            int size = 0;
            const char* data = BinaryData::getNamedResource (factoryPresetResourceName (category, index).c_str(), size);
            ASSERT_EQ (written.getSize(), (size_t) size);
            EXPECT_EQ (std::memcmp (written.getData(), data, (size_t) size), 0) << category << "/" << index;
        }
    }
}
