// Automation through the host: an edit's touch, request, confirmation and release; playback the
// engine follows; and values that are out of range or not numbers, through every entry a host has.

#include "EngineReference.h"

#include <cstring>
#include <limits>

using namespace quillo::hosted;

TEST_F(ModuleTest, AnEditGoesThroughTouchRequestConfirmationAndRelease)
{
    auto instance = Open(2, 48000.0f);
    auto& automation = instance->Context().GetAutomation();
    const std::string id = "12Low Mid Gain", quoted = "(\"" + id + "\"";
    int32_t changesBefore = 0;
    instance->Effect().GetNumberOfChanges(&changesBefore);
    calls.Clear();

    ASSERT_EQ(instance->Automate(id, 0.8), AAX_SUCCESS);
    // The library wraps its own request in a touch and a release; the host confirms while the
    // parameter is still touched, and the plug-in reports the confirmed value back.
    EXPECT_EQ(calls.TextsOf(automation.Name()),
              (std::vector<std::string> {
                  "PostTouchRequest" + quoted + ")", "PostTouchRequest" + quoted + ")",
                  "PostSetValueRequest" + quoted + ", 0.800000011920929)", "PostReleaseRequest" + quoted + ")",
                  "PostCurrentValue" + quoted + ", 0.800000011920929)", "PostReleaseRequest" + quoted + ")" }));
    AAX_CBoolean touched = 1;
    automation.GetTouchState(id.c_str(), &touched);
    EXPECT_EQ(touched, 0);
    EXPECT_TRUE(automation.Pending().empty());
    int32_t changesAfter = 0;
    instance->Effect().GetNumberOfChanges(&changesAfter);
    EXPECT_EQ(changesAfter, changesBefore + 1);
    aaxhost::HostString text;
    instance->Effect().GetParameterValueString(id.c_str(), &text, 32);
    EXPECT_EQ(text.Text(), "0.800");
    EXPECT_EQ(BlobValues(JuceState(*instance))[12], 0.8f);
}

TEST_F(ModuleTest, TheEngineFollowsTheHostsAutomationAndSoundsLikeIt)
{
    // Playback: the host sends confirmed values without any request.
    auto instance = Open(2, 44100.0f);
    for (const auto& [id, value] :
         { std::pair<const char*, double> { "16High Mid Gain", 0.9 }, { "0Input Gain", 0.25 } })
        ASSERT_EQ(instance->Effect().UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter),
                  AAX_SUCCESS);
    ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
    EXPECT_TRUE(instance->Context().GetAutomation().Pending().empty());

    const auto input = Signal(44100.0, 1.0, 2);
    const auto expected = EngineRender(input, 512, [](juce::AudioProcessor& engine) {
        engine.getParameters()[16]->setValue(0.9f);
        engine.getParameters()[0]->setValue(0.25f);
    });
    EXPECT_EQ(DifferingSamples(instance->Process(input, 512), expected), 0u);
}

TEST_F(ModuleTest, ValuesOutOfRangeOrNotNumbersAreRefusedOrLimitedOnEveryEntry)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    EXPECT_EQ(instance->Automate(ids[12], 1.5), AAX_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(instance->Effect().TouchParameter("99Nothing"), AAX_ERROR_INVALID_PARAMETER_ID);
    const double inf = std::numeric_limits<double>::infinity();
    const auto noise = Noise(48000.0, 2, 256, 2, 0.5f);
    auto& effect = instance->Effect();
    for (const double v : { -0.25, 1.5, -1.0e9, 1.0e300, std::nan(""), inf, -inf })
    {
        SCOPED_TRACE(v);
        for (const auto& id : ids)
        {
            // The request and the host's confirmation; a confirmation the host makes up itself; a
            // relative step; the value read from its text; the library's chunk entry.
            effect.SetParameterNormalizedValue(id.c_str(), v);
            ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
            effect.UpdateParameterNormalizedValue(id.c_str(), v, AAX_eUpdateSource_Parameter);
            effect.SetParameterNormalizedRelative(id.c_str(), v);
            ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
            double read = -1.0;
            if (effect.GetParameterValueFromString(id.c_str(), &read, aaxhost::HostString(std::to_string(v).c_str()))
                == AAX_SUCCESS)
            {
                EXPECT_TRUE(read >= 0.0 && read <= 1.0) << id << " read as " << read;
            }
            std::vector<uint8_t> entry { 1, 1, 1, 1, 'd', '_' };
            entry.insert(entry.end(), id.begin(), id.end());
            entry.resize((entry.size() + 4) & ~size_t(3)); // the terminator and the padding
            uint64_t bits = 0;
            std::memcpy(&bits, &v, 8);
            for (int i = 7; i >= 0; --i)
                entry.push_back(uint8_t(bits >> (8 * i)));
            const AAX_Result restored = instance->SetChunk(MakeChunk(kElck, entry));
            EXPECT_TRUE(restored == AAX_SUCCESS || restored == AAX_ERROR_MALFORMED_CHUNK) << restored;
        }
        // JUCE's wrapper narrows to a float for the engine (1e300 becomes infinite, which the
        // engine refuses, while the library limits the double): the views may differ, but none
        // leaves 0..1.
        EXPECT_TRUE(ViewsAgree(*instance, !std::isfinite(float(v))));

        // The engine's chunk with every value at once: a value that is no finite number stands
        // for the parameter's default.
        auto blob = JuceState(*instance);
        const float f = float(v);
        for (int p = 0; p < kNumParameters; ++p)
            std::memcpy(blob.data() + p * 4, &f, 4);
        ASSERT_EQ(instance->SetChunk(MakeChunk(kJuce, blob)), AAX_SUCCESS);
        EXPECT_TRUE(ViewsAgree(*instance));
        EXPECT_TRUE(IsCleanAudio(instance->Process(noise, 64)));
    }
}
