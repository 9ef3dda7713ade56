// Tapers, display delegates, parameters (alone and automated through the host) and the parameter
// manager.

#include <cfloat>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_CParameterManager.h"
#include "AAX_VAutomationDelegate.h"
#include "Format.h"

namespace
{
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

template <class Display, class T>
std::string Text(const Display& display, T value, int32_t limit)
{
    AAX_CString text("stale");
    EXPECT_TRUE(display.ValueToString(value, limit, &text));
    return text.Get();
}

std::unique_ptr<AAX_CParameter<float>> Gain(const char* id = "12Low Mid Gain", float defaultValue = 0.7f)
{
    return std::unique_ptr<AAX_CParameter<float>>(aaxtest::MakeFloatParameter(id, defaultValue, "Low Mid Gain"));
}

} // namespace

TEST(Tapers, MapAndClampBetweenTheirBounds)
{
    const AAX_CLinearTaperDelegate<float, 0> unit;
    const AAX_CLinearTaperDelegate<float, 0> same(3.0f, 3.0f);      // equal bounds: the bound and one half
    const AAX_CLinearTaperDelegate<float, 0> reversed(1.0f, 0.0f);  // from minimum to maximum
    const AAX_CLinearTaperDelegate<float, 0> wide(-24.0f, 24.0f);   // non-finite values land on a bound
    const AAX_CLinearTaperDelegate<float, 10> rounded(0.0f, 10.0f); // precision rounds real values
    const AAX_CLinearTaperDelegate<float, 0> exact(0.0f, 10.0f);
    const std::tuple<const AAX_ITaperDelegate<float>*, double, float> toReal[] = {
        { &unit, 1.5, 1.0f },      { &unit, -0.2, 0.0f },    { &unit, 0.7, 0.7f },     { &same, -1.0, 3.0f },
        { &same, 7.0, 3.0f },      { &reversed, 0.0, 1.0f }, { &reversed, 1.0, 0.0f }, { &wide, kNaN, -24.0f },
        { &wide, kInf, 24.0f },    { &wide, -kInf, -24.0f }, { &wide, 1e300, 24.0f },  { &rounded, 0.123, 1.2f },
        { &rounded, 0.127, 1.3f }, { &exact, 0.123, 1.23f }
    };
    for (const auto& [taper, normalized, real] : toReal)
        EXPECT_EQ(taper->NormalizedToReal(normalized), real) << normalized;

    const float nanF = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<const AAX_ITaperDelegate<float>*, float, double> toNormalized[] = {
        { &unit, 2.0f, 1.0 },
        { &unit, 0.25f, 0.25 },
        { &same, -5.0f, 0.5 },
        { &same, 100.0f, 0.5 },
        { &reversed, 0.25f, 0.75 },
        { &wide, nanF, 0.0 },
        { &wide, std::numeric_limits<float>::infinity(), 1.0 }
    };
    for (const auto& [taper, real, normalized] : toNormalized)
        EXPECT_EQ(taper->RealToNormalized(real), normalized) << real;

    const AAX_CBinaryTaperDelegate<bool> binary; // anything above zero is on
    for (const auto& [normalized, on] :
         { std::pair { 0.0, false }, { -1.0, false }, { kNaN, false }, { 0.000001, true }, { kInf, true } })
        EXPECT_EQ(binary.NormalizedToReal(normalized), on) << normalized;
    EXPECT_EQ(binary.RealToNormalized(true) - binary.RealToNormalized(false), 1.0);
}

TEST(Displays, NumbersAreRoundedThenCutToTheLimit)
{
    const AAX_CNumberDisplayDelegate<float, 3> display;
    const std::tuple<float, int32_t, const char*> cases[] = { { -1.0f, 100, "-1.000" }, { 0.5f, 5, "0.500" },
                                                              { 0.5f, 4, "0.50" },      { 0.5f, 3, "0.5" },
                                                              { 0.5f, 2, "0" }, // "0." loses its point
                                                              { 0.5f, 0, "" },          { 0.5f, -3, "" },
                                                              { 12.345f, 4, "12.3" },   { 0.9996f, 5, "1.000" } };
    for (const auto& [value, limit, text] : cases)
        EXPECT_EQ(Text(display, value, limit), text) << value << " " << limit;
    EXPECT_EQ(Text(AAX_CNumberDisplayDelegate<float, 1, 2>(), 2.0f, 100), "2.0  ");

    // Parsing takes a leading number; beyond the type's range it is the largest value.
    const std::tuple<const char*, bool, float> parsed[] = {
        { "-3 dB", true, -3.0f }, { "dB", false, 0.0f }, { "1e300", true, FLT_MAX }, { "-1e300", true, -FLT_MAX }
    };
    for (const auto& [input, ok, expected] : parsed)
    {
        float value = 9.0f;
        EXPECT_EQ(display.StringToValue(AAX_CString(input), &value), ok) << input;
        EXPECT_EQ(value, expected) << input;
    }
}

TEST(Parameter, DefaultsIdsAndNonFiniteValues)
{
    const std::string forty = "0123456789012345678901234567890123456789";
    EXPECT_EQ(std::string(Gain(forty.c_str())->Identifier()), forty.substr(0, 31));
    EXPECT_STREQ(Gain(nullptr)->Identifier(), "");
    auto gain = Gain();
    EXPECT_TRUE(gain->GetNumberOfSteps() == 128u && gain->GetType() == AAX_eParameterType_Continuous);
    gain->SetNormalizedDefaultValue(2.0);
    EXPECT_EQ(gain->GetNormalizedDefaultValue(), 1.0);
    EXPECT_EQ(gain->GetValue(), 0.7f); // the current value stays

    // Non-finite input is refused and changes nothing.
    gain->SetNormalizedValue(kNaN);
    gain->UpdateNormalizedValue(-kInf);
    gain->SetNormalizedDefaultValue(kNaN);
    EXPECT_FALSE(gain->SetValueWithFloat(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(gain->GetValue(), 0.7f);
    EXPECT_EQ(gain->GetNormalizedDefaultValue(), 1.0);
    float real = 5.0f;
    EXPECT_FALSE(gain->GetFloatFromNormalizedValue(kNaN, &real));
    EXPECT_EQ(real, 5.0f);
    EXPECT_EQ(gain->GetStepValueFromNormalizedValue(kNaN), 0u);
}

TEST(Parameter, Steps)
{
    auto parameter = Gain();
    const std::pair<double, uint32_t> steps[] = { { 0.0, 0 },   { 0.3, 38 },  { 0.5, 64 }, { 0.7, 89 },
                                                  { 1.0, 127 }, { 1.5, 127 }, { -0.5, 0 }, { kInf, 127 } };
    for (const auto& [normalized, step] : steps)
        EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(normalized), step) << normalized;
    EXPECT_EQ(parameter->GetNormalizedValueFromStep(64), 64.0 * (1.0 / 127.0));
    EXPECT_EQ(parameter->GetNormalizedValueFromStep(200), 1.0);
    parameter->SetStepValue(127);
    EXPECT_EQ(parameter->GetValue(), 1.0f);

    parameter->SetNumberOfSteps(2);
    EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(0.49), 0u);
    EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(0.5), 1u);
    parameter->SetNumberOfSteps(0); // refused
    EXPECT_EQ(parameter->GetNumberOfSteps(), 2u);
    parameter->SetNumberOfSteps(1);
    EXPECT_EQ(parameter->GetNormalizedValueFromStep(5), 0.0);
}

using AutomatedParameter = aaxtest::HostTest;

TEST_F(AutomatedParameter, ValuesChangeOnlyWhenTheHostConfirms)
{
    AAX_VAutomationDelegate automation(host->Unknown());
    auto gain = Gain();
    gain->SetAutomationDelegate(&automation);
    gain->SetNormalizedValue(1.3);
    EXPECT_EQ(gain->GetValue(), 0.7f);
    gain->UpdateNormalizedValue(1.0);
    gain->UpdateNormalizedValue(1.0); // no change: not reported
    gain->UpdateNormalizedValue(0.1); // reported as the host gave it, not re-normalised
    EXPECT_EQ(gain->GetValue(), 0.1f);
    EXPECT_EQ(calls.TextsOf("automation"),
              (std::vector<std::string> {
                  "RegisterParameter(\"12Low Mid Gain\")", "PostTouchRequest(\"12Low Mid Gain\")",
                  "PostSetValueRequest(\"12Low Mid Gain\", 1)", "PostReleaseRequest(\"12Low Mid Gain\")",
                  "PostCurrentValue(\"12Low Mid Gain\", 1)",
                  "PostCurrentValue(\"12Low Mid Gain\", " + aaxhost::Real(0.1) + ")" }));

    // Every setter asks the host.
    calls.Clear();
    EXPECT_TRUE(gain->SetValueWithFloat(0.5f));
    gain->SetToDefaultValue();
    gain->SetStepValue(64);
    EXPECT_EQ(gain->GetValue(), 0.1f);
    const std::string request = "automation.PostSetValueRequest(\"12Low Mid Gain\", ";
    EXPECT_EQ(calls.TextsOfMethod("PostSetValueRequest"),
              (std::vector<std::string> { request + "0.5)", request + aaxhost::Real(double(0.7f)) + ")",
                                          request + aaxhost::Real(double(float(64.0 / 127.0))) + ")" }));
}

using ParameterManagerTest = aaxtest::HostTest;

TEST_F(ParameterManagerTest, KeepsTheOrderAddedFindsByIdAndRefusesDuplicates)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    AAX_CParameterManager manager;
    const char* const ids[] = { "MasterBypassID", "0Input Gain", "1Output Gain" };
    const std::string base(31, 'p'); // ids agreeing in their first 31 characters collide
    for (const std::string& id :
         std::vector<std::string> { ids[0], ids[1], ids[2], "0Input Gain", base + "A", base + "B" })
        manager.AddParameter(aaxtest::MakeFloatParameter(id.c_str(), 0.5f)); // duplicates are deleted

    ASSERT_EQ(manager.NumParameters(), 4);
    for (int32_t i = 0; i < 3; ++i)
    {
        EXPECT_STREQ(manager.GetParameter(i)->Identifier(), ids[i]);
        EXPECT_EQ(manager.GetParameterIndex(ids[i]), i);
        EXPECT_EQ(manager.GetParameterByID(ids[i]), manager.GetParameter(i));
    }
    EXPECT_EQ(manager.GetParameter(-1), nullptr);
    EXPECT_EQ(manager.GetParameter(4), nullptr);
    EXPECT_EQ(manager.GetParameterByID("0Input"), nullptr); // whole texts only
    EXPECT_EQ(manager.GetParameterByID((base + "A").c_str()), nullptr);
    EXPECT_NE(manager.GetParameterByID(base.c_str()), nullptr);
    EXPECT_EQ(manager.GetParameterIndex("nope"), -1);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces[0].priority, 0x08000000);
    EXPECT_EQ(traces[0].message, "AAX_CParameterManager::AddParameter - duplicate parameter ID refused: 0Input Gain");
}
