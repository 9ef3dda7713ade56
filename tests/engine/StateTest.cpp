// The saved state (its byte form, round trips, bad and short blobs) and the 23 host parameters.

#include "ProcessorTestSupport.h"

#include <limits>

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
        for (int i = 0; i < 23; ++i)
            quillo::test::setParameter (*this, i, distinctValues()[(size_t) i]);

        presetCategory = category;
        presetIndex = index;
        presetModified = modified;
    }

    void load (const std::vector<char>& blob, int size) { setStateInformation (blob.data(), size); }

    void expectState (const std::vector<float>& values, int32_t category, int32_t index, bool modified)
    {
        EXPECT_EQ (parameterValues (*this), values);
        EXPECT_EQ (presetCategory.load(), category);
        EXPECT_EQ (presetIndex.load(), index);
        EXPECT_EQ (presetModified.load(), modified);
    }
};

}   // namespace

//==============================================================================
TEST (StateBlob, HostFormIs104BytesOfValuesThenThePresetFieldsAndRoundTrips)
{
    Loaded source (5, 4, true);
    juce::MemoryBlock hostForm ("abc", 3), presetForm;
    source.getStateInformation (hostForm);   // appended to what the block holds
    source.getStateInformation (presetForm, true);
    ASSERT_TRUE (hostForm.getSize() == 107 && presetForm.getSize() == 92);
    EXPECT_EQ (std::memcmp (hostForm.getData(), "abc", 3), 0);
    hostForm.removeSection (0, 3);
    EXPECT_EQ (std::memcmp (presetForm.getData(), hostForm.getData(), 92), 0);
    const auto expected = blobOf (distinctValues(), { 5, 4, 1 });   // little-endian words
    EXPECT_EQ (std::memcmp (hostForm.getData(), expected.data(), 104), 0);

    Loaded target (1, 2, false);
    target.load (std::vector<char> ((const char*) hostForm.begin(), (const char*) hostForm.end()), 104);
    target.expectState (distinctValues(), 5, 4, true);
    juce::MemoryBlock again;
    target.getStateInformation (again);
    EXPECT_EQ (again, hostForm);
}

TEST (StateBlobLoad, IgnoresShortBlobsLimitsValuesAndReadsTheTrailerAsFarAsItGoes)
{
    // A load into a processor holding distinctValues() and preset 2/3, modified.
    const auto values = distinctValues();
    const auto blob = [&values] (std::vector<int32_t> trailer) { return blobOf (values, std::move (trailer)); };
    const std::vector<char> full = blob ({ 1, 1, 0 });
    const struct
    {
        std::vector<char> blob;
        int size;
        int32_t category, index;
        bool modified;
    } cases[] = {
        { full, 0, 2, 3, true },
        { full, -104, 2, 3, true },
        { full, 91, 2, 3, true },
        { full, 4, 2, 3, true },
        { full, 92, 2, 3, true },                          // the preset form keeps the fields
        { blob ({ 3 }), 96, 3, 0, false },                 // category only: index 0, flag clear
        { blob ({ 2, 4, 1 }), 102, 2, 4, false },          // two bytes of the flag
        { blob ({ 2, 4, 1, 77, 88 }), 112, 2, 4, true },   // bytes beyond 104 are ignored
        { blob ({ 1, 2, 7 }), 104, 1, 2, true },           // any non-zero flag word means modified
        { blob ({ 5, 4, 0 }), 104, 5, 4, false },          // the catalogue's last preset
        // A pair outside the catalogue is stored as the Default preset, modified.
        { blob ({ 1, 5, 0 }), 104, 0, 0, true },
        { blob ({ 6, 0, 0 }), 104, 0, 0, true },
        { blob ({ -1, 0, 0 }), 104, 0, 0, true },
        { blob ({ 0, -1, 0 }), 104, 0, 0, true },
        { blob ({ 0, 6, 0 }), 104, 0, 0, true },
        { blob ({ INT32_MIN, 0, 0 }), 104, 0, 0, true },
    };

    for (const auto& k : cases)
    {
        SCOPED_TRACE (::testing::Message() << "case " << (&k - cases));
        Loaded p (2, 3, true);
        auto bytes = k.blob;
        if (k.size > 0)
            bytes.resize ((size_t) k.size);
        p.load (bytes, k.size);
        p.expectState (values, k.category, k.index, k.modified);
    }

    Loaded p;
    p.setStateInformation (nullptr, 104);
    p.expectState (values, 0, 0, false);

    juce::MemoryBlock written;   // a modified flag is written back as 1
    p.load (blob ({ 1, 2, 7 }), 104);
    p.getStateInformation (written);
    EXPECT_EQ (std::memcmp (written.getData(), blob ({ 1, 2, 1 }).data(), 104), 0);

    // Values outside 0..1 are limited; what is not a number takes the parameter's default.
    auto bad = values, expected = values;
    bad[0] = 1.5f, bad[1] = -0.5f, bad[15] = 1.0e30f;
    expected[0] = expected[15] = 1.0f, expected[1] = 0.0f;

    for (int i : { 3, 7, 10, 13 })
        expected[(size_t) i] = floatFromBits (defaultBits[(size_t) i]);

    bad[3] = std::numeric_limits<float>::quiet_NaN(), bad[7] = std::numeric_limits<float>::infinity();
    bad[10] = -std::numeric_limits<float>::infinity(), bad[13] = floatFromBits (0x7FA00000);   // signalling NaN
    p.load (blobOf (bad), 92);
    p.expectState (expected, 1, 2, true);
}

TEST (StateBlobLoad, EveryFactoryPresetLoadsExactlyItsBytesAndKeepsThePresetFields)
{
    for (int category = 0; category < FACTORY_PRESET_NUM_CATEGORIES; ++category)
    {
        for (int index = 0; index < FACTORY_PRESET_COUNTS[category]; ++index)
        {
            Loaded p (4, 3, true);
            loadFactoryPreset (p, category, index);

            juce::MemoryBlock written;
            p.getStateInformation (written, true);

            int size = 0;
            const char* data = BinaryData::getNamedResource (factoryPresetResourceName (category, index).c_str(), size);
            ASSERT_EQ (written.getSize(), (size_t) size);
            EXPECT_EQ (std::memcmp (written.getData(), data, (size_t) size), 0) << category << "/" << index;
            EXPECT_EQ (p.presetCategory.load(), 4);
            EXPECT_EQ (p.presetIndex.load(), 3);
            EXPECT_TRUE (p.presetModified.load());
        }
    }
}

//==============================================================================
TEST (Parameters, HaveTheIdsNamesAndDefaultsOfTheTableInIndexOrder)
{
    const char* const names[23] = { "Input Gain",
                                    "Output Gain",
                                    "Power",
                                    "High Pass",
                                    "Meter IO",
                                    "Low Shelf Boost",
                                    "Low Shelf Attenuate",
                                    "Low Shelf Frequency",
                                    "High Shelf Boost",
                                    "High Shelf Attenuate",
                                    "High Shelf Frequency",
                                    "Low Mid Freq",
                                    "Low Mid Gain",
                                    "Low Mid Q",
                                    "Low Dyn Attenuation",
                                    "High Mid Freq",
                                    "High Mid Gain",
                                    "High Mid Q",
                                    "High Dyn Attenuation",
                                    "Low Shelf Power",
                                    "Low Mid Power",
                                    "High Mid Power",
                                    "High Shelf Power" };

    QuilloAudioProcessor p;
    ASSERT_EQ (p.getParameters().size(), 23);

    for (int i = 0; i < 23; ++i)
    {
        auto* parameter = dynamic_cast<juce::AudioProcessorParameterWithID*> (p.getParameters()[i]);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getParameterID(),
                   juce::String (i) + names[i]);   // "0Input Gain" ... "22High Shelf Power"
        EXPECT_EQ (parameter->getName (100), names[i]);
        EXPECT_EQ (bitsOf (parameter->getDefaultValue()), defaultBits[(size_t) i]) << i;
        EXPECT_EQ (bitsOf (p.getParameter (i)), defaultBits[(size_t) i]) << i;
    }

    EXPECT_EQ (p.presetCategory.load() + p.presetIndex.load(), 0);
    EXPECT_FALSE (p.presetModified.load());

    // Out of the table: nothing read, nothing written.
    EXPECT_EQ (p.getParameter (-1) + p.getParameter (23), 0.0f);
    for (int index : { -1, 23 })
        p.setParameterNotifyingHost (index, 0.5f);
    EXPECT_EQ (parameterValues (p), defaultValues());
}

TEST (Parameters, RefuseValuesThatAreNotNumbersAndLimitTheRest)
{
    // Whatever a host sends arrives here unchecked (JUCE's wrapper passes it on as it came).
    QuilloAudioProcessor p;
    auto* parameter = p.getParameters()[kLowMidGain];
    parameter->setValue (0.3f);

    for (float bad : { std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() })
    {
        parameter->setValue (bad);
        EXPECT_EQ (p.getParameter (kLowMidGain), 0.3f);
    }

    // Stored as given within 0..1 (no snapping), limited outside, -0 saved as +0.
    for (const auto& [value, stored] :
         { std::pair { 1.5f, 1.0f }, std::pair { -2.0f, 0.0f }, std::pair { -0.0f, 0.0f },
           std::pair { 0.123456789f, 0.123456789f }, std::pair { 1.0e-7f, 1.0e-7f },
           std::pair { 0.99999994f, 0.99999994f }, std::pair { 0.15789473f, 0.15789473f } })
    {
        parameter->setValue (value);
        EXPECT_EQ (bitsOf (p.getParameter (kLowMidGain)), bitsOf (stored)) << value;
    }

    // Texts read and shown the same way (two decimals of the normalised value): nothing outside
    // 0..1, nothing that is not a number (then the current value).
    const std::pair<const char*, float> texts[] = {
        { "0.25", 0.25f },
        { "7", 1.0f },
        { "-3", 0.0f },
        { " 0.5 dB", 0.5f },
        { "1e300", 1.0f },
        { "nan", 0.15789473f },
        { "-inf", 0.15789473f },
        { "1e400", 0.15789473f },
        { "", 0.15789473f },
        { "abc", 0.15789473f },
        { "7E7777777777777777777777777777", 0.15789473f },
        { "7E-7777777777777777777777777777", 0.0f },
    };

    for (const auto& [text, value] : texts)
        EXPECT_EQ (parameter->getValueForText (text), value) << text;

    EXPECT_EQ (parameter->getCurrentValueAsText() + parameter->getText (std::numeric_limits<float>::quiet_NaN(), 0)
                   + parameter->getText (3.0f, 0) + parameter->getText (0.3333f, 3),
               "0.160.161.000.3");
}

TEST (ProcessorIdentity, NamesItselfHasNoMidiNoTailOneProgramAndOnlyMonoOrStereoLayouts)
{
    QuilloAudioProcessor p;
    using Set = juce::AudioChannelSet;
    EXPECT_EQ (p.getName() + p.getProgramName (0), "Quillo");
    EXPECT_FALSE (p.acceptsMidi() || p.producesMidi());
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (p.getNumPrograms() + p.getCurrentProgram(), 1);
    EXPECT_EQ (p.getTotalNumInputChannels(), 2);   // stereo by default

    const auto supports = [&p] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        return p.checkBusesLayoutSupported (layout);
    };

    EXPECT_TRUE (supports (Set::mono(), Set::mono()) && supports (Set::stereo(), Set::stereo()));
    EXPECT_FALSE (supports (Set::mono(), Set::stereo()) || supports (Set::stereo(), Set::mono()));
    EXPECT_FALSE (supports (Set::create5point1(), Set::create5point1()) || supports (Set::disabled(), Set::stereo()));
}
