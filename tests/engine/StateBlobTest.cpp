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

void setAll (juce::AudioProcessor& p, const std::vector<float>& values)
{
    for (int i = 0; i < (int) values.size(); ++i)
        setParameter (p, i, values[(size_t) i]);
}

int32_t wordAt (const juce::MemoryBlock& block, size_t offset)
{
    const auto* b = static_cast<const unsigned char*> (block.getData()) + offset;
    return (int32_t) ((uint32_t) b[0] | ((uint32_t) b[1] << 8) | ((uint32_t) b[2] << 16) | ((uint32_t) b[3] << 24));
}

void expectBitsEqual (const std::vector<float>& actual, const std::vector<float>& expected)
{
    ASSERT_EQ (actual.size(), expected.size());

    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ (bitsOf (actual[i]), bitsOf (expected[i])) << "parameter " << i;
}

struct PresetFields
{
    int32_t category, index;
    bool modified;
};

void setPresetFields (QuilloAudioProcessor& p, PresetFields f)
{
    p.presetCategory = f.category;
    p.presetIndex = f.index;
    p.presetModified = f.modified;
}
} // namespace

//==============================================================================
TEST (StateBlob, HostFormIs104BytesOfValuesThenThePresetFields)
{
    QuilloAudioProcessor p;
    const auto values = distinctValues();
    setAll (p, values);
    setPresetFields (p, { 3, 2, true });

    juce::MemoryBlock block;
    p.getStateInformation (block);
    ASSERT_EQ (block.getSize(), 104u);

    for (size_t i = 0; i < 23; ++i)
        EXPECT_EQ ((uint32_t) wordAt (block, 4 * i), bitsOf (values[i])) << i;

    EXPECT_EQ (wordAt (block, 92), 3);
    EXPECT_EQ (wordAt (block, 96), 2);
    EXPECT_EQ (wordAt (block, 100), 1);

    juce::MemoryBlock presetForm;
    p.getStateInformation (presetForm, true);
    ASSERT_EQ (presetForm.getSize(), 92u);
    EXPECT_EQ (std::memcmp (presetForm.getData(), block.getData(), 92), 0);
}

TEST (StateBlob, RoundTripsBothFormsBitForBit)
{
    QuilloAudioProcessor source;
    const auto values = distinctValues();
    setAll (source, values);
    setPresetFields (source, { 5, 4, true });

    juce::MemoryBlock hostForm, presetForm;
    source.getStateInformation (hostForm);
    source.getStateInformation (presetForm, true);

    QuilloAudioProcessor target;
    target.setStateInformation (hostForm.getData(), (int) hostForm.getSize());
    expectBitsEqual (parameterValues (target), values);
    EXPECT_EQ (target.presetCategory.load(), 5);
    EXPECT_EQ (target.presetIndex.load(), 4);
    EXPECT_TRUE (target.presetModified.load());

    // The preset form carries no preset fields: the target keeps its own.
    QuilloAudioProcessor other;
    setPresetFields (other, { 2, 1, false });
    other.setStateInformation (presetForm.getData(), (int) presetForm.getSize());
    expectBitsEqual (parameterValues (other), values);
    EXPECT_EQ (other.presetCategory.load(), 2);
    EXPECT_EQ (other.presetIndex.load(), 1);
    EXPECT_FALSE (other.presetModified.load());

    // And what is loaded is what is written again.
    juce::MemoryBlock again;
    target.getStateInformation (again);
    EXPECT_EQ (again, hostForm);
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
    QuilloAudioProcessor p;
    setAll (p, distinctValues());
    setPresetFields (p, { 4, 3, true });

    p.setStateInformation (BinaryData::_01_01_Default_wmb, BinaryData::_01_01_Default_wmbSize);
    expectBitsEqual (parameterValues (p), defaultValues());
    EXPECT_EQ (p.presetCategory.load(), 4);
    EXPECT_EQ (p.presetIndex.load(), 3);
    EXPECT_TRUE (p.presetModified.load());
}

TEST (StateBlob, AnyNonZeroModifiedWordMeansModified)
{
    QuilloAudioProcessor p;
    const auto blob = blobOf (distinctValues(), { 1, 2, 7 });
    p.setStateInformation (blob.data(), (int) blob.size());
    EXPECT_TRUE (p.presetModified.load());

    juce::MemoryBlock block;
    p.getStateInformation (block);
    EXPECT_EQ (wordAt (block, 100), 1);
}

//==============================================================================
TEST (StateBlobLoad, IgnoresNullEmptyNegativeAndShortBlobs)
{
    QuilloAudioProcessor p;
    const auto values = distinctValues();
    setAll (p, values);
    setPresetFields (p, { 2, 3, true });

    const auto full = blobOf (std::vector<float> (23, 0.25f), { 1, 1, 0 });

    p.setStateInformation (nullptr, 104);
    p.setStateInformation (full.data(), 0);
    p.setStateInformation (full.data(), -104);
    p.setStateInformation (full.data(), 91);
    p.setStateInformation (full.data(), 4);

    expectBitsEqual (parameterValues (p), values);
    EXPECT_EQ (p.presetCategory.load(), 2);
    EXPECT_EQ (p.presetIndex.load(), 3);
    EXPECT_TRUE (p.presetModified.load());
}

TEST (StateBlobLoad, LimitsValuesToTheRangeAndReplacesNonNumbersByDefaults)
{
    QuilloAudioProcessor p;

    auto values = distinctValues();
    values[0] = 1.5f;
    values[1] = -0.5f;
    values[3] = std::numeric_limits<float>::quiet_NaN();
    values[7] = std::numeric_limits<float>::infinity();
    values[10] = -std::numeric_limits<float>::infinity();
    values[13] = floatFromBits (0x7FA00000);      // a signalling NaN
    values[15] = 1.0e30f;

    const auto blob = blobOf (values);
    p.setStateInformation (blob.data(), (int) blob.size());

    const auto loaded = parameterValues (p);
    EXPECT_EQ (loaded[0], 1.0f);
    EXPECT_EQ (loaded[1], 0.0f);
    EXPECT_EQ (bitsOf (loaded[3]), defaultBits[3]);
    EXPECT_EQ (bitsOf (loaded[7]), defaultBits[7]);
    EXPECT_EQ (bitsOf (loaded[10]), defaultBits[10]);
    EXPECT_EQ (bitsOf (loaded[13]), defaultBits[13]);
    EXPECT_EQ (loaded[15], 1.0f);
    EXPECT_EQ (bitsOf (loaded[2]), bitsOf (values[2]));

    for (float v : loaded)
        EXPECT_TRUE (v >= 0.0f && v <= 1.0f);
}

TEST (StateBlobLoad, StoresAPresetPairOutsideTheCatalogueAsModifiedDefault)
{
    const int32_t outside[][2] = { { 1, 5 }, { 6, 0 }, { -1, 0 }, { 0, -1 }, { 0, 6 }, { 99999, 99999 },
                                   { INT32_MIN, 0 } };

    for (const auto& pair : outside)
    {
        QuilloAudioProcessor p;
        const auto blob = blobOf (distinctValues(), { pair[0], pair[1], 0 });
        p.setStateInformation (blob.data(), (int) blob.size());

        EXPECT_EQ (p.presetCategory.load(), 0) << pair[0] << "/" << pair[1];
        EXPECT_EQ (p.presetIndex.load(), 0) << pair[0] << "/" << pair[1];
        EXPECT_TRUE (p.presetModified.load()) << pair[0] << "/" << pair[1];
        expectBitsEqual (parameterValues (p), distinctValues());
    }

    // The last preset of the catalogue is inside it.
    QuilloAudioProcessor p;
    const auto blob = blobOf (distinctValues(), { 5, 4, 0 });
    p.setStateInformation (blob.data(), (int) blob.size());
    EXPECT_EQ (p.presetCategory.load(), 5);
    EXPECT_EQ (p.presetIndex.load(), 4);
    EXPECT_FALSE (p.presetModified.load());
}

TEST (StateBlobLoad, ReadsAPartialTrailerAsFarAsItGoes)
{
    {
        // Category only: the index reads as 0 and the flag as clear.
        QuilloAudioProcessor p;
        setPresetFields (p, { 1, 2, true });
        const auto blob = blobOf (distinctValues(), { 3 });
        p.setStateInformation (blob.data(), (int) blob.size());
        EXPECT_EQ (p.presetCategory.load(), 3);
        EXPECT_EQ (p.presetIndex.load(), 0);
        EXPECT_FALSE (p.presetModified.load());
    }
    {
        // Category, index and two bytes of the flag.
        QuilloAudioProcessor p;
        auto blob = blobOf (distinctValues(), { 2, 4, 1 });
        blob.resize (102);
        p.setStateInformation (blob.data(), (int) blob.size());
        EXPECT_EQ (p.presetCategory.load(), 2);
        EXPECT_EQ (p.presetIndex.load(), 4);
        EXPECT_FALSE (p.presetModified.load());
    }
    {
        // Bytes beyond 104 are ignored.
        QuilloAudioProcessor p;
        auto blob = blobOf (distinctValues(), { 2, 4, 1, 77, 88 });
        p.setStateInformation (blob.data(), (int) blob.size());
        EXPECT_EQ (p.presetCategory.load(), 2);
        EXPECT_EQ (p.presetIndex.load(), 4);
        EXPECT_TRUE (p.presetModified.load());
    }
}

TEST (StateBlobLoad, AppliesTheNewValuesFromTheNextSampleOn)
{
    auto p = makeProcessor();
    Channels settle (2, constant (1.0f, 2048));
    process (*p, settle, 512);

    auto values = defaultValues();
    values[kOutputGain] = 0.75f;      // +12 dB
    const auto blob = blobOf (values);
    p->setStateInformation (blob.data(), (int) blob.size());

    // No ramp: the first sample of the next block is already at +12 dB.
    Channels c (2, constant (1.0f, 64));
    processOneBlock (*p, c, 0, 64);
    EXPECT_NEAR (c[0][0], 3.98107f, 1.0e-4f);
    EXPECT_NEAR (c[1][63], 3.98107f, 1.0e-4f);
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
