#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_VAutomationDelegate.h"
#include "Format.h"

namespace
{
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

/** How the host records the normalised form of the float 0.7. */
const std::string kSevenTenths = aaxhost::Real(double(0.7f));

std::unique_ptr<AAX_CParameter<float>> FloatParameter(const char* id = "12Low Mid Gain", float defaultValue = 0.7f,
                                                      const char* name = "Low Mid Gain")
{
    return std::make_unique<AAX_CParameter<float>>(id, AAX_CString(name), defaultValue,
                                                   AAX_CLinearTaperDelegate<float, 0>(),
                                                   AAX_CNumberDisplayDelegate<float, 3>(), true);
}

std::unique_ptr<AAX_CParameter<bool>> BypassParameter()
{
    auto bypass = std::make_unique<AAX_CParameter<bool>>("MasterBypassID", AAX_CString("Master Bypass"), false,
                                                         AAX_CBinaryTaperDelegate<bool>(),
                                                         AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
    bypass->SetNumberOfSteps(2);
    bypass->SetType(AAX_eParameterType_Discrete);
    return bypass;
}

/** A parameter automated through the stand-in host. */
class AutomatedParameterTest : public aaxtest::HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        automation = std::make_unique<AAX_VAutomationDelegate>(host->Unknown());
    }

    void TearDown() override
    {
        automation.reset();
        HostTest::TearDown();
    }

    std::vector<std::string> Calls() const { return calls.TextsOf("automation"); }

    std::unique_ptr<AAX_VAutomationDelegate> automation;
};
} // namespace

TEST(Parameter, DefaultsAndIdsCutTo31Characters)
{
    // Whatever the value type: 128 steps and continuous until the caller says otherwise.
    auto bypass = std::make_unique<AAX_CParameter<bool>>("b", AAX_CString("b"), true, AAX_CBinaryTaperDelegate<bool>(),
                                                         AAX_CBinaryDisplayDelegate<bool>("off", "on"));
    EXPECT_EQ(bypass->GetNumberOfSteps(), 128u);
    EXPECT_EQ(bypass->GetType(), AAX_eParameterType_Continuous);
    EXPECT_FALSE(bypass->Automatable());

    const std::string forty = "0123456789012345678901234567890123456789";
    auto parameter = FloatParameter(forty.c_str());
    EXPECT_EQ(std::string(parameter->Identifier()), forty.substr(0, 31));
    std::unique_ptr<AAX_IParameterValue> value(parameter->CloneValue());
    EXPECT_EQ(std::string(value->Identifier()), forty.substr(0, 31));
    EXPECT_STREQ(FloatParameter(nullptr)->Identifier(), "");
}

TEST(Parameter, WithoutADelegateValuesAreStoredAtOnce)
{
    auto parameter = FloatParameter();
    parameter->SetNormalizedValue(1.3);
    EXPECT_EQ(parameter->GetValue(), 1.0f);
    parameter->SetNormalizedValue(-4.0);
    EXPECT_EQ(parameter->GetValue(), 0.0f);

    EXPECT_TRUE(parameter->SetValueWithFloat(0.25f));
    EXPECT_EQ(parameter->GetNormalizedValue(), 0.25);

    parameter->SetToDefaultValue();
    EXPECT_EQ(parameter->GetValue(), 0.7f);

    parameter->SetNormalizedDefaultValue(2.0);
    EXPECT_EQ(parameter->GetNormalizedDefaultValue(), 1.0);
    EXPECT_EQ(parameter->GetValue(), 0.7f);   // the current value stays
}

TEST(Parameter, NonFiniteInputIsRefused)
{
    auto parameter = FloatParameter();
    parameter->SetNormalizedValue(kNaN);
    parameter->SetNormalizedValue(kInf);
    parameter->UpdateNormalizedValue(kNaN);
    parameter->UpdateNormalizedValue(-kInf);
    parameter->SetNormalizedDefaultValue(kNaN);
    EXPECT_FALSE(parameter->SetValueWithFloat(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(parameter->SetValueWithFloat(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(parameter->GetValue(), 0.7f);
    EXPECT_EQ(parameter->GetNormalizedDefaultValue(), double(0.7f));

    double normalized = 5.0;
    EXPECT_FALSE(parameter->GetNormalizedValueFromFloat(std::numeric_limits<float>::quiet_NaN(), &normalized));
    EXPECT_EQ(normalized, 5.0);
    float real = 5.0f;
    EXPECT_FALSE(parameter->GetFloatFromNormalizedValue(kNaN, &real));
    EXPECT_EQ(real, 5.0f);
    AAX_CString text("kept");
    EXPECT_FALSE(parameter->GetStringFromNormalizedValue(kNaN, text));
    EXPECT_STREQ(text.Get(), "kept");
    EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(kNaN), 0u);
}

TEST(Parameter, Steps)
{
    auto parameter = FloatParameter();
    const std::pair<double, uint32_t> steps[] = { { 0.0, 0 },  { 0.3, 38 },  { 0.5, 64 }, { 0.7, 89 },
                                                  { 1.0, 127 }, { 1.5, 127 }, { -0.5, 0 }, { kInf, 127 } };
    for (const auto& [normalized, step] : steps)
        EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(normalized), step) << normalized;

    EXPECT_EQ(parameter->GetNormalizedValueFromStep(64), 64.0 * (1.0 / 127.0));
    EXPECT_EQ(parameter->GetNormalizedValueFromStep(200), 1.0);
    EXPECT_EQ(parameter->GetStepValue(), 89u);

    parameter->SetStepValue(127);
    EXPECT_EQ(parameter->GetValue(), 1.0f);

    parameter->SetToDefaultValue();
    parameter->SetNumberOfSteps(2);
    EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(0.49), 0u);
    EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(0.5), 1u);
    EXPECT_EQ(parameter->GetNormalizedValueFromStep(1), 1.0);

    parameter->SetNumberOfSteps(0);
    EXPECT_EQ(parameter->GetNumberOfSteps(), 2u);

    parameter->SetNumberOfSteps(1);
    EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(0.9), 0u);
    EXPECT_EQ(parameter->GetNormalizedValueFromStep(5), 0.0);
    parameter->SetStepValue(1);
    EXPECT_EQ(parameter->GetValue(), 0.7f);
    parameter->SetType(AAX_eParameterType_Discrete); // the type and the steps are independent
    EXPECT_EQ(parameter->GetNumberOfSteps(), 1u);
}

TEST(Parameter, ShortenedNamesByLimit)
{
    auto parameter = FloatParameter("x", 0.0f, "Low Mid Power");   // 13 characters
    parameter->AddShortenedName("LMid Pwr");                       // 8
    parameter->AddShortenedName("LM Pwr");                         // 6
    parameter->AddShortenedName("LMPw");                           // 4

    const std::pair<int32_t, const char*> forms[] = { { 13, "Low Mid Power" }, { 40, "Low Mid Power" },
                                                      { 12, "LMid Pwr" },      { 7, "LM Pwr" },
                                                      { 5, "LMPw" },           { 3, "LMPw" },
                                                      { -1, "Low Mid Power" } };
    for (const auto& [limit, name] : forms)
        EXPECT_STREQ(parameter->ShortenedName(limit).Get(), name) << limit;

    parameter->AddShortenedName("LMxx");   // replaces the form of the same length
    EXPECT_STREQ(parameter->ShortenedName(5).Get(), "LMxx");

    parameter->SetName(AAX_CString("Renamed but long"));
    EXPECT_STREQ(parameter->ShortenedName(7).Get(), "LM Pwr");
    parameter->ClearShortenedNames();
    EXPECT_STREQ(parameter->ShortenedName(3).Get(), "Renamed but long");
    EXPECT_FALSE(parameter->Name() != "Renamed but long");
}

TEST(Parameter, TextsAndTheirRanges)
{
    auto parameter = FloatParameter();
    double normalized = -1.0;
    EXPECT_FALSE(parameter->GetNormalizedValueFromString(AAX_CString("1.5"), &normalized));
    EXPECT_EQ(normalized, 1.0);
    EXPECT_TRUE(parameter->GetNormalizedValueFromString(AAX_CString("0.25"), &normalized));
    EXPECT_EQ(normalized, 0.25);
    normalized = -1.0;
    EXPECT_FALSE(parameter->GetNormalizedValueFromString(AAX_CString("loud"), &normalized));
    EXPECT_EQ(normalized, -1.0);

    EXPECT_TRUE(parameter->SetValueFromString(AAX_CString("1.5")));
    EXPECT_EQ(parameter->GetValue(), 1.0f);
    EXPECT_FALSE(parameter->SetValueFromString(AAX_CString("loud")));
    EXPECT_EQ(parameter->GetValue(), 1.0f);

    AAX_CString text;
    EXPECT_TRUE(parameter->GetValueString(&text));
    EXPECT_STREQ(text.Get(), "1.000");
    EXPECT_TRUE(parameter->GetValueString(3, &text));
    EXPECT_STREQ(text.Get(), "1.0");
    EXPECT_TRUE(parameter->GetStringFromNormalizedValue(0.5, text));
    EXPECT_STREQ(text.Get(), "0.500");
    EXPECT_TRUE(parameter->GetStringFromNormalizedValue(0.5, 2, text));
    EXPECT_STREQ(text.Get(), "0");

    EXPECT_FALSE(parameter->GetValueAsString(nullptr));
    EXPECT_TRUE(parameter->SetValueWithString(AAX_CString("0.125")));
    EXPECT_EQ(parameter->GetValue(), 0.125f);
}

TEST(Parameter, OnlyTheOwnValueTypeAnswers)
{
    auto gain = FloatParameter();
    auto bypass = BypassParameter();
    double normalized = -1.0;
    float f = -1.0f;
    bool b = true;
    int32_t i = -1;
    double d = -1.0;

    EXPECT_TRUE(gain->GetValueAsFloat(&f));
    EXPECT_EQ(f, 0.7f);
    EXPECT_FALSE(gain->GetValueAsDouble(&d));
    EXPECT_FALSE(gain->GetNormalizedValueFromInt32(1, &normalized));
    EXPECT_FALSE(gain->GetInt32FromNormalizedValue(0.5, &i));
    EXPECT_FALSE(gain->SetValueWithBool(true));
    EXPECT_FALSE(gain->SetValueWithDouble(0.5));
    EXPECT_EQ(d, -1.0);
    EXPECT_EQ(i, -1);
    EXPECT_EQ(normalized, -1.0);
    EXPECT_EQ(gain->GetValue(), 0.7f);

    EXPECT_TRUE(gain->GetNormalizedValueFromFloat(0.5f, &normalized));
    EXPECT_EQ(normalized, 0.5);
    EXPECT_TRUE(gain->GetFloatFromNormalizedValue(0.25, &f));
    EXPECT_EQ(f, 0.25f);

    EXPECT_FALSE(bypass->GetValueAsFloat(&f));
    EXPECT_TRUE(bypass->GetValueAsBool(&b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(bypass->SetValueWithFloat(1.0f));
    EXPECT_TRUE(bypass->GetNormalizedValueFromBool(true, &normalized));
    EXPECT_EQ(normalized, 1.0);
    EXPECT_TRUE(bypass->GetBoolFromNormalizedValue(0.3, &b));
    EXPECT_TRUE(b);

    std::unique_ptr<AAX_IParameterValue> value(gain->CloneValue());
    EXPECT_TRUE(value->GetValueAsFloat(&f));
    EXPECT_EQ(f, 0.7f);
    EXPECT_FALSE(value->GetValueAsBool(&b));
}

TEST(Parameter, MasterBypassTexts)
{
    auto bypass = BypassParameter();
    AAX_CString text;
    bypass->GetValueString(&text);
    EXPECT_STREQ(text.Get(), "bypass");
    EXPECT_TRUE(bypass->SetValueWithString(AAX_CString("on")));
    EXPECT_TRUE(bypass->GetValue());
    EXPECT_FALSE(bypass->SetValueWithString(AAX_CString("On")));
    EXPECT_TRUE(bypass->GetValue());
    EXPECT_EQ(bypass->GetStepValue(), 1u);
    bypass->SetNormalizedValue(0.0);
    EXPECT_FALSE(bypass->GetValue());
}

TEST(Parameter, DelegatesOfAnotherValueTypeAreIgnored)
{
    auto gain = FloatParameter();
    AAX_CBinaryTaperDelegate<bool> boolTaper;
    AAX_CBinaryDisplayDelegate<bool> boolDisplay("no", "yes");
    gain->SetTaperDelegate(boolTaper, true);
    gain->SetDisplayDelegate(boolDisplay);
    EXPECT_EQ(gain->TaperDelegate()->GetMaximumValue(), 1.0f);
    AAX_CString text;
    gain->GetValueString(&text);
    EXPECT_STREQ(text.Get(), "0.700");
}

TEST(Parameter, ANewTaperKeepsTheRealOrTheNormalisedValue)
{
    auto gain = FloatParameter("g", 0.5f);
    AAX_CLinearTaperDelegate<float, 0> wide(0.0f, 2.0f);
    gain->SetTaperDelegate(wide, true);
    EXPECT_EQ(gain->GetValue(), 0.5f);
    EXPECT_EQ(gain->GetNormalizedValue(), 0.25);

    AAX_CLinearTaperDelegate<float, 0> wider(0.0f, 8.0f);
    gain->SetTaperDelegate(wider, false);
    EXPECT_EQ(gain->GetNormalizedValue(), 0.25);
    EXPECT_EQ(gain->GetValue(), 2.0f);
}

using AutomatedParameter = AutomatedParameterTest;

TEST_F(AutomatedParameter, ValuesChangeOnlyWhenTheHostConfirms)
{
    auto gain = FloatParameter();
    gain->SetAutomationDelegate(automation.get());
    EXPECT_EQ(Calls(), std::vector<std::string> { "RegisterParameter(\"12Low Mid Gain\")" });
    calls.Clear();

    gain->SetNormalizedValue(1.3);
    EXPECT_EQ(Calls(), (std::vector<std::string> { "PostTouchRequest(\"12Low Mid Gain\")",
                                                   "PostSetValueRequest(\"12Low Mid Gain\", 1)",
                                                   "PostReleaseRequest(\"12Low Mid Gain\")" }));
    EXPECT_EQ(gain->GetValue(), 0.7f);

    calls.Clear();
    gain->UpdateNormalizedValue(1.0);
    EXPECT_EQ(gain->GetValue(), 1.0f);
    EXPECT_EQ(Calls(), std::vector<std::string> { "PostCurrentValue(\"12Low Mid Gain\", 1)" });

    calls.Clear();
    gain->UpdateNormalizedValue(1.0);
    EXPECT_TRUE(Calls().empty());

    // The reported value is the host's, not one re-normalised from the stored real value.
    gain->UpdateNormalizedValue(0.1);
    EXPECT_EQ(Calls(), std::vector<std::string> { "PostCurrentValue(\"12Low Mid Gain\", " + aaxhost::Real(0.1) + ")" });
    EXPECT_EQ(gain->GetValue(), 0.1f);
}

TEST_F(AutomatedParameter, EverySetterGoesThroughTheHost)
{
    auto gain = FloatParameter();
    gain->SetAutomationDelegate(automation.get());
    calls.Clear();

    EXPECT_TRUE(gain->SetValueWithFloat(0.5f));
    EXPECT_TRUE(gain->SetValueFromString(AAX_CString("0.25")));
    gain->SetToDefaultValue();
    gain->SetStepValue(127);
    EXPECT_EQ(gain->GetValue(), 0.7f);

    EXPECT_EQ(calls.TextsOfMethod("PostSetValueRequest"),
              (std::vector<std::string> { "automation.PostSetValueRequest(\"12Low Mid Gain\", 0.5)",
                                          "automation.PostSetValueRequest(\"12Low Mid Gain\", 0.25)",
                                          "automation.PostSetValueRequest(\"12Low Mid Gain\", " + kSevenTenths + ")",
                                          "automation.PostSetValueRequest(\"12Low Mid Gain\", 1)" }));
    EXPECT_EQ(calls.Count("PostTouchRequest"), 4u);
    EXPECT_EQ(calls.Count("PostReleaseRequest"), 4u);
    EXPECT_EQ(calls.Count("PostCurrentValue"), 0u);
}

TEST_F(AutomatedParameter, BinaryRequestsAreOnOrOff)
{
    auto bypass = BypassParameter();
    bypass->SetAutomationDelegate(automation.get());
    calls.Clear();
    bypass->SetNormalizedValue(0.3);
    bypass->SetNormalizedValue(0.0);
    EXPECT_EQ(calls.TextsOfMethod("PostSetValueRequest"),
              (std::vector<std::string> { "automation.PostSetValueRequest(\"MasterBypassID\", 1)",
                                          "automation.PostSetValueRequest(\"MasterBypassID\", 0)" }));
}

TEST_F(AutomatedParameter, ReplacingTaperOrDisplayReportsTheValue)
{
    auto gain = FloatParameter();
    gain->SetAutomationDelegate(automation.get());
    calls.Clear();

    AAX_CLinearTaperDelegate<float, 0> same(0.0f, 1.0f);
    gain->SetTaperDelegate(same, false);
    EXPECT_EQ(Calls(), std::vector<std::string> { "PostCurrentValue(\"12Low Mid Gain\", " + kSevenTenths + ")" });

    calls.Clear();
    gain->SetTaperDelegate(same, true);
    EXPECT_EQ(calls.Count("PostSetValueRequest"), 1u);

    calls.Clear();
    AAX_CNumberDisplayDelegate<float, 1> display;
    gain->SetDisplayDelegate(display);
    EXPECT_EQ(Calls(), std::vector<std::string> { "PostCurrentValue(\"12Low Mid Gain\", " + kSevenTenths + ")" });
    AAX_CString text;
    gain->GetValueString(&text);
    EXPECT_STREQ(text.Get(), "0.7");
}

TEST_F(AutomatedParameter, DelegatesAreSwappedAndLeftOnDestruction)
{
    AAX_VAutomationDelegate second(host->Unknown());
    {
        auto gain = FloatParameter();
        gain->SetAutomationDelegate(automation.get());
        gain->SetAutomationDelegate(&second);
        gain->Touch();
        gain->Release();
        gain->SetAutomationDelegate(nullptr);
        gain->Touch();   // nothing without a delegate
        gain->SetAutomationDelegate(automation.get());
    }
    EXPECT_EQ(Calls(), (std::vector<std::string> {
                           "RegisterParameter(\"12Low Mid Gain\")", "UnregisterParameter(\"12Low Mid Gain\")",
                           "RegisterParameter(\"12Low Mid Gain\")", "PostTouchRequest(\"12Low Mid Gain\")",
                           "PostReleaseRequest(\"12Low Mid Gain\")", "UnregisterParameter(\"12Low Mid Gain\")",
                           "RegisterParameter(\"12Low Mid Gain\")", "UnregisterParameter(\"12Low Mid Gain\")" }));
    EXPECT_TRUE(host->GetAutomation().Registered().empty());
}
