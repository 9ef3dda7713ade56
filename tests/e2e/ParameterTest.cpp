// Parameters, latency and automation of an instance in the stand-in host.

#include "E2ETestSupport.h"

#include "PluginProcessor.h"
#include "ProcessorTestSupport.h"

#include <set>

using namespace quillo::e2e;

namespace
{
std::string ValueString(aaxhost::PlugInInstance& instance, const std::string& id)
{
    aaxhost::HostString text;
    instance.Effect().GetParameterValueString(id.c_str(), &text, 32);
    return text.Text();
}
} // namespace

TEST_F(ModuleTest, AnInstanceHasTheTwentyThreeParametersAndTheBypassLastAllUnregisteredOnClose)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = instance->ParameterIDs();
    ASSERT_EQ(ids.size(), 24u);
    for (int i = 0; i < VL_NUM_PARAMS; ++i)
        EXPECT_EQ(ids[size_t(i)], std::to_string(i) + VL_PARAMS[i].name);
    EXPECT_EQ(ids[23], "MasterBypassID");
    EXPECT_EQ(instance->BypassID(), "MasterBypassID");

    aaxhost::HostString name;
    EXPECT_EQ(instance->Effect().GetParameterName("MasterBypassID", &name), AAX_SUCCESS);
    EXPECT_EQ(name.Text(), "Master Bypass");
    EXPECT_EQ(instance->Effect().GetParameterName("15High Mid Freq", &name), AAX_SUCCESS);
    EXPECT_EQ(name.Text(), "High Mid Freq");

    // The host registered every one of them with its automation.
    auto& automation = instance->Context().GetAutomation();
    EXPECT_EQ(automation.Registered(), std::set<std::string>(ids.begin(), ids.end()));

    // The values are the "Default" preset's, bit for bit; the bypass is off.
    for (int i = 0; i < VL_NUM_PARAMS; ++i)
        EXPECT_EQ(quillo::test::bitsOf(float(instance->ParameterValue(ids[size_t(i)]))), quillo::test::defaultBits[size_t(i)])
            << ids[size_t(i)];
    EXPECT_EQ(instance->ParameterValue("MasterBypassID"), 0.0);

    // Uninitialize unregisters every one of them.
    instance->Close();
    EXPECT_TRUE(automation.Registered().empty());
    EXPECT_EQ(calls.Count("UnregisterParameter"), 24u);
}

TEST_F(ModuleTest, AnOpenInstanceKeepsTheModuleLoaded)
{
    auto stereo = Open(2, 48000.0f);
    const int32_t withOne = host->GetModule().CanUnloadNow(host->GetHost().Unknown());
    EXPECT_GT(withOne, 0);
    auto mono = Open(1, 48000.0f);
    EXPECT_GT(host->GetModule().CanUnloadNow(host->GetHost().Unknown()), withOne);
    mono->Close();
    EXPECT_EQ(host->GetModule().CanUnloadNow(host->GetHost().Unknown()), withOne);
    stereo->Close();
    EXPECT_EQ(host->GetModule().CanUnloadNow(host->GetHost().Unknown()), 0);
}

TEST_F(ModuleTest, TheLatencyReachesTheController)
{
    const struct { float sampleRate; int channels; int32_t latency; } cases[] = {
        { 44100.0f, 2, 178 }, { 48000.0f, 2, 192 }, { 44100.0f, 1, 178 }, { 48000.0f, 1, 192 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.channels) + " channels at " + std::to_string(c.sampleRate));
        calls.Clear();
        auto instance = Open(c.channels, c.sampleRate);
        EXPECT_EQ(instance->Latency(), c.latency);
        const auto reported = calls.TextsOfMethod("SetSignalLatency");
        ASSERT_FALSE(reported.empty());
        for (const auto& call : reported)
            EXPECT_NE(call.find("(" + std::to_string(c.latency) + ")"), std::string::npos) << call;
    }
}

TEST_F(ModuleTest, AnEditGoesThroughTouchRequestConfirmationAndRelease)
{
    auto instance = Open(2, 48000.0f);
    auto& effect = instance->Effect();
    auto& automation = instance->Context().GetAutomation();
    const std::string id = "12Low Mid Gain";
    const std::string quoted = "(\"" + id + "\"";
    int32_t changesBefore = 0;
    effect.GetNumberOfChanges(&changesBefore);
    calls.Clear();

    ASSERT_EQ(effect.TouchParameter(id.c_str()), AAX_SUCCESS);
    AAX_CBoolean touched = 0;
    automation.GetTouchState(id.c_str(), &touched);
    EXPECT_EQ(touched, 1);

    // The request waits for the host; the host-side parameter keeps its value until confirmed.
    ASSERT_EQ(effect.SetParameterNormalizedValue(id.c_str(), 0.8), AAX_SUCCESS);
    const auto pending = automation.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].parameterID, id);
    EXPECT_EQ(pending[0].value, double(0.8f));
    EXPECT_EQ(ValueString(*instance, id), "0.500");

    EXPECT_EQ(automation.ConfirmPending(), 1u);
    EXPECT_EQ(ValueString(*instance, id), "0.800");
    int32_t changesAfter = 0;
    effect.GetNumberOfChanges(&changesAfter);
    EXPECT_EQ(changesAfter, changesBefore + 1);

    ASSERT_EQ(effect.ReleaseParameter(id.c_str()), AAX_SUCCESS);
    automation.GetTouchState(id.c_str(), &touched);
    EXPECT_EQ(touched, 0);
    // The library's parameter wraps its own request in a touch and a release, and reports the
    // confirmed value back as the current one.
    EXPECT_EQ(calls.TextsOf(automation.Name()),
              (std::vector<std::string> { "PostTouchRequest" + quoted + ")", "GetTouchState" + quoted + ")",
                                          "PostTouchRequest" + quoted + ")",
                                          "PostSetValueRequest" + quoted + ", 0.800000011920929)",
                                          "PostReleaseRequest" + quoted + ")",
                                          "PostCurrentValue" + quoted + ", 0.800000011920929)",
                                          "PostReleaseRequest" + quoted + ")", "GetTouchState" + quoted + ")" }));

    // The engine holds the confirmed value: its state blob says so.
    EXPECT_EQ(BlobValues(JuceState(*instance))[12], 0.8f);
}

TEST_F(ModuleTest, TheEngineFollowsTheHostsAutomationAndSoundsLikeIt)
{
    // Automation playback: the host sends a confirmed value without any request.
    auto instance = Open(2, 44100.0f);
    for (const auto& [id, value] : { std::pair<const char*, double> { "16High Mid Gain", 0.9 }, { "0Input Gain", 0.25 } })
        ASSERT_EQ(instance->Effect().UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
    ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
    EXPECT_TRUE(instance->Context().GetAutomation().Pending().empty());
    EXPECT_EQ(instance->ParameterValue("16High Mid Gain"), double(0.9f));

    const auto input = Signal(44100.0, 1.0, 2);
    const auto output = instance->Process(input, 512);
    const auto expected = EngineRender(input, 512, [](juce::AudioProcessor& engine) {
        engine.getParameters()[16]->setValue(0.9f);
        engine.getParameters()[0]->setValue(0.25f);
    });
    EXPECT_EQ(DifferingSamples(output, expected), 0u);
}

TEST_F(ModuleTest, UnknownParametersAndValuesOutOfRangeAreRefused)
{
    auto instance = Open(2, 48000.0f);
    EXPECT_EQ(instance->Automate("12Low Mid Gain", 1.5), AAX_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(instance->Automate("12Low Mid Gain", -0.1), AAX_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(instance->Effect().TouchParameter("99Nothing"), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(instance->ParameterValue("12Low Mid Gain"), 0.5);
    EXPECT_TRUE(instance->Context().GetAutomation().Pending().empty());
}
