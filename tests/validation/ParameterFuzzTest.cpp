// Parameter values of every kind through every entry a host has: the normalised value (the
// request and the host's confirmation), the value read from a text, and the two state chunks.
// Values are random, 0, 1, out of range, not a number and infinite. Each is refused (the value
// stays) or limited to 0..1; no entry lets a value that is not a finite number into the engine.

#include "ValidationSupport.h"

#include <cstring>
#include <limits>

using namespace quillo::validation;

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The values every entry is given: random ones (fixed seed), the ends, out of range, and the
// ones that are not numbers.
std::vector<double> FuzzValues(uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    return { value(random), value(random), value(random), 0.0, 1.0, -0.0, 1.0e-40,
             -0.25, 1.5, -1.0e9, 1.0e9, 1.0e300, kNaN, -kNaN, kInf, -kInf };
}

// What a refused-or-limited entry may leave behind for a value `given` over `before`.
bool Acceptable(double given, double before, double after)
{
    if (!(std::isfinite(after) && after >= 0.0 && after <= 1.0))
        return false;
    if (!std::isfinite(given))
        return after == before || after == 0.0 || after == 1.0;
    const double limited = std::min(1.0, std::max(0.0, given));
    return std::fabs(after - limited) <= 1.0e-6 || after == before;
}

// An 'elck' chunk setting one parameter to `value` (a double, as the library writes it).
std::vector<uint8_t> ControlsChunkWith(const std::string& id, double value)
{
    std::vector<uint8_t> data { 1, 1, 1, 1, 'd', '_' };
    for (char c : id)
        data.push_back(uint8_t(c));
    data.resize((data.size() + 1 + 3) & ~size_t(3));   // the terminator and the padding
    uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    for (int i = 7; i >= 0; --i)
        data.push_back(uint8_t(bits >> (8 * i)));
    return data;
}
} // namespace

using ValidationParameterFuzz = HostTest;

TEST_F(ValidationParameterFuzz, TheHostsNormalisedValueIsRefusedOrLimited)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    const auto values = FuzzValues(1);
    const auto noise = Noise(48000.0, 2, 256, 2, 0.5f);

    for (const auto& id : ids)
        for (double v : values)
        {
            SCOPED_TRACE(id + " set to " + std::to_string(v));
            const double before = instance->ParameterValue(id);

            // The request, as the host's automation makes it, then the host's confirmation.
            instance->Effect().SetParameterNormalizedValue(id.c_str(), v);
            ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
            const double requested = instance->ParameterValue(id);
            EXPECT_TRUE(Acceptable(v, before, requested)) << "became " << requested;

            ASSERT_TRUE(ViewsAgree(*instance));

            // A confirmation the host makes up itself, and a relative step of the same size.
            // JUCE's wrapper narrows the value to a float for the engine (1e300 becomes
            // infinite, which the engine refuses, while the library limits the double) and
            // limits an infinite step for the engine while handing it unlimited to the library
            // (which refuses it). For such values the two views may differ until the next
            // value; neither leaves 0..1.
            const bool representable = std::isfinite(float(v));
            instance->Effect().UpdateParameterNormalizedValue(id.c_str(), v, AAX_eUpdateSource_Parameter);
            const double confirmed = instance->ParameterValue(id);
            EXPECT_TRUE(Acceptable(v, requested, confirmed)) << "became " << confirmed;
            ASSERT_TRUE(representable ? ViewsAgree(*instance) : ViewsNormalised(*instance));

            instance->Effect().SetParameterNormalizedRelative(id.c_str(), v);
            ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
            const double stepped = instance->ParameterValue(id);
            EXPECT_TRUE(std::isfinite(stepped) && stepped >= 0.0 && stepped <= 1.0) << "became " << stepped;
            ASSERT_TRUE(representable ? ViewsAgree(*instance) : ViewsNormalised(*instance));

            ASSERT_EQ(instance->Automate(id, 0.5), AAX_SUCCESS);
            ASSERT_TRUE(ViewsAgree(*instance));
        }

    EXPECT_TRUE(IsCleanAudio(instance->Process(noise, 64)));
}

TEST_F(ValidationParameterFuzz, TheBypassThatReachesTheAudioIsAlwaysOnOrOff)
{
    // The master bypass is JUCE's own parameter inside its wrapper, which keeps whatever value
    // it is handed: the data model may report it as given. What switches the audio is the
    // library's parameter and the packet it posts to the algorithm's bypass port: that one
    // refuses or limits every value, and any value but 0 there bypasses (JUCE's wrapper tests
    // the port for zero; hosts send the two steps 0 and 1). The audio is then the delayed dry.
    auto instance = Open(2, 48000.0f);
    const std::string id = instance->BypassID();
    const int latency = instance->Latency();
    auto impulse = aaxhost::AudioData::Silence(48000.0, 2, size_t(latency) * 2 + 64);
    impulse.channels[0][3] = impulse.channels[1][3] = 0.5f;
    const auto silence = aaxhost::AudioData::Silence(48000.0, 2, size_t(latency) * 2);

    for (double v : FuzzValues(7))
    {
        SCOPED_TRACE("bypass set to " + std::to_string(v));
        instance->Effect().SetParameterNormalizedValue(id.c_str(), v);
        ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
        instance->Effect().UpdateParameterNormalizedValue(id.c_str(), v, AAX_eUpdateSource_Parameter);
        instance->Effect().SetParameterNormalizedRelative(id.c_str(), v);
        ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);

        instance->Process(silence, 64);
        const auto output = instance->Process(impulse, 64);
        EXPECT_TRUE(IsCleanAudio(output, 4.0f));

        float port = -1.0f;
        ASSERT_EQ(instance->Algorithm().PortSize(3), 4u);
        std::memcpy(&port, instance->Algorithm().PortData(3), 4);
        ASSERT_TRUE(std::isfinite(port) && port >= 0.0f && port <= 1.0f) << "the bypass port holds " << port;
        if (port != 0.0f)
        {
            EXPECT_EQ(output.channels[0], Delayed(impulse, size_t(latency)).channels[0]);
        }
        ASSERT_TRUE(ViewsAgree(*instance));
    }
}

TEST_F(ValidationParameterFuzz, ValuesReadFromTextAreNumbersWithinRange)
{
    auto instance = Open(2, 48000.0f);
    auto ids = EngineParameterIds(*instance);
    ids.push_back(instance->BypassID());

    // ASCII only: JUCE's wrapper reads a host's text as ASCII (and asserts on other bytes).
    std::vector<std::string> texts { "0", "1", "0.5", "-0.5", "1.5", "-1e9", "1e9", "1e400", "-1e400", "nan", "NaN",
                                     "-nan", "inf", "-inf", "infinity", "", " ", "abc", "0x1p-3", "1,5", "0.25 dB",
                                     "12 kHz", "--1", "1e-45", std::string(300, '9'), "7E7777777777777777777777777777",
                                     "-7e-7777777777777777777777777777" };
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-2.0, 3.0);
    for (int i = 0; i < 8; ++i)
        texts.push_back(std::to_string(value(random)));

    for (const auto& id : ids)
    {
        for (const auto& text : texts)
        {
            SCOPED_TRACE(id + " from \"" + text + "\"");
            double parsed = -1.0;
            const AAX_Result result = instance->Effect().GetParameterValueFromString(id.c_str(), &parsed,
                                                                                      aaxhost::HostString(text.c_str()));
            if (result == AAX_SUCCESS)
            {
                EXPECT_TRUE(std::isfinite(parsed) && parsed >= 0.0 && parsed <= 1.0) << "read as " << parsed;
            }
        }

        // Every value's text, bad values included, is a text that reads back within range.
        for (double v : FuzzValues(4))
        {
            SCOPED_TRACE(id + " shown at " + std::to_string(v));
            aaxhost::HostString shown;
            instance->Effect().GetParameterStringFromValue(id.c_str(), v, &shown, 16);
            EXPECT_LE(shown.Text().size(), 16u);
            double back = -1.0;
            if (instance->Effect().GetParameterValueFromString(id.c_str(), &back, shown) == AAX_SUCCESS)
            {
                EXPECT_TRUE(std::isfinite(back) && back >= 0.0 && back <= 1.0) << "\"" << shown.Text() << "\" read as " << back;
            }
        }
    }
    EXPECT_TRUE(ViewsAgree(*instance));
}

TEST_F(ValidationParameterFuzz, ChunksCarryingBadValuesAreRefusedOrLimited)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    const auto values = FuzzValues(5);
    const auto base = JuceState(*instance);
    const auto noise = Noise(48000.0, 2, 256, 6, 0.5f);

    std::vector<double> defaults(ids.size(), -1.0);
    for (size_t i = 0; i < ids.size(); ++i)
        ASSERT_EQ(instance->Effect().GetParameterDefaultNormalizedValue(ids[i].c_str(), &defaults[i]), AAX_SUCCESS);

    // The engine's chunk: every parameter at once at each value; a value that is not a finite
    // number stands for the parameter's default.
    for (double v : values)
    {
        SCOPED_TRACE("'juce' chunk of " + std::to_string(v));
        auto blob = base;
        const float f = float(v);
        for (int p = 0; p < kNumParameters; ++p)
            std::memcpy(blob.data() + p * 4, &f, 4);
        const auto before = ParameterValues(*instance, ids);
        ASSERT_EQ(instance->SetChunk(MakeChunk(kJuce, blob)), AAX_SUCCESS);
        const auto after = ParameterValues(*instance, ids);
        for (size_t i = 0; i < ids.size(); ++i)
            EXPECT_TRUE(std::isfinite(float(v)) ? Acceptable(v, before[i], after[i]) : std::fabs(after[i] - defaults[i]) <= 1.0e-6)
                << ids[i] << " became " << after[i] << " (default " << defaults[i] << ")";
        EXPECT_TRUE(AllNormalised(BlobValues(JuceState(*instance))));
        ASSERT_TRUE(ViewsAgree(*instance));
        EXPECT_TRUE(IsCleanAudio(instance->Process(noise, 64)));
    }

    // The library's chunk: each parameter alone at each value.
    for (const auto& id : ids)
        for (double v : values)
        {
            SCOPED_TRACE("'elck' chunk setting " + id + " to " + std::to_string(v));
            const double before = instance->ParameterValue(id);
            const AAX_Result result = instance->SetChunk(MakeChunk(kElck, ControlsChunkWith(id, v)));
            EXPECT_TRUE(result == AAX_SUCCESS || result == AAX_ERROR_MALFORMED_CHUNK) << result;
            const double after = instance->ParameterValue(id);
            EXPECT_TRUE(Acceptable(v, before, after)) << "became " << after;
            ASSERT_TRUE(ViewsAgree(*instance));
        }
    EXPECT_TRUE(IsCleanAudio(instance->Process(noise, 64)));
}
