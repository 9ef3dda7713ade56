// Result codes and their names, exceptions, the diagnostics services, the text type and the
// object model's reference counting.

#include <locale>
#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CString.h"
#include "AAX_CheckedResult.h"
#include "AAX_Exception.h"
#include "AAX_StringUtilities.h"
#include "AAX_UIDs.h"

using aaxtest::HostTest;
using aaxtest::ScopedHostServices;

TEST(ResultNames, NamedCodesUnknownCodesAndDistinctness)
{
    const std::pair<int32_t, const char*> named[] = { { 0, "AAX_SUCCESS" },
                                                      { -20001, "AAX_ERROR_INVALID_PARAMETER_ID" },
                                                      { -20004, "AAX_ERROR_NULL_OBJECT" },
                                                      { -20028, "AAX_RESULT_NEW_PACKET_POSTED" },
                                                      { -20030, "AAX_ERROR_PLUGIN_NULL_PARAMETER" },
                                                      { -20042, "AAX_ERROR_UNKNOWN_EXCEPTION" },
                                                      { -20046, "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW" } };
    for (const auto& [code, name] : named)
        EXPECT_EQ(AAX::AsStringResult(code), name) << code;
    for (int32_t unnamed : { -20047, -20000, -20029, 1, -1, INT32_MIN, INT32_MAX })
        EXPECT_EQ(AAX::AsStringResult(unnamed), "<unknown error code>") << unnamed;

    // 46 codes, one of which (-20029) has no name of its own.
    std::set<std::string> names;
    for (int32_t code = -20046; code <= -20001; ++code)
        names.insert(AAX::AsStringResult(code));
    EXPECT_EQ(names.size(), 46u);
}

using CheckedResult = HostTest;

TEST_F(CheckedResult, AFailureIsTracedThenThrownUnlessAccepted)
{
    EXPECT_THROW(AAX_CheckedResult unserviced(AAX_ERROR_NULL_OBJECT), AAX::Exception::ResultError);
    EXPECT_TRUE(calls.Traces().empty());

    ScopedHostServices services(host->Unknown());
    AAX_CheckedResult checked;
    EXPECT_THROW(checked = AAX_ERROR_NULL_OBJECT, AAX::Exception::ResultError);
    EXPECT_EQ(checked.Result(), AAX_SUCCESS);
    EXPECT_EQ(checked.LastError(), AAX_ERROR_NULL_OBJECT);
    checked.AddAcceptedResult(AAX_ERROR_UNIMPLEMENTED);
    EXPECT_NO_THROW(checked = AAX_ERROR_UNIMPLEMENTED);
    checked.ResetAcceptedResults();
    calls.FailCall(host->GetServices(), "Trace", -1); // a failing trace does not stop the throw
    EXPECT_THROW(checked = AAX_ERROR_UNIMPLEMENTED, AAX::Exception::ResultError);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, 0x04000000);
    EXPECT_EQ(traces[0].message, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)");
    EXPECT_EQ(calls.Count("Trace"), 2u);
}

using HostServicesLifetime = HostTest;

TEST_F(HostServicesLifetime, TracesReachTheFirstStartedHostUntilShutdownCut)
{
    aaxhost::Host second(nullptr);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "before %d", 1), AAX_SUCCESS);
    AAX_CHostServices::Set(host->Unknown());
    AAX_CHostServices::Set(second.Unknown()); // a second start-up keeps the first services
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s%s", "ab", std::string(600, 'x').c_str()),
              AAX_SUCCESS);
    calls.FailCall(host->GetServices(), "Trace", -4321);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "x"), -4321);
    AAX_CHostServices::Set(nullptr);
    AAX_CHostServices::Set(nullptr);
    EXPECT_EQ(AAX_CHostServices::Get(), nullptr);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "after"), AAX_SUCCESS);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, 0x08000000);
    EXPECT_EQ(traces[0].message, "ab" + std::string(509, 'x')); // 511 characters

    // A host without a factory gives no services.
    second.GetContext().Remove(IID_IACFComponentFactory);
    ScopedHostServices none(second.Unknown());
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "lost"), AAX_ERROR_NULL_OBJECT);
}

namespace
{
/** A locale whose decimal point is a comma, to show that texts ignore the global locale. */
struct CommaDecimal : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
};

struct ScopedGlobalLocale
{
    explicit ScopedGlobalLocale(const std::locale& locale)
        : previous(std::locale::global(locale))
    {
    }
    ~ScopedGlobalLocale() { std::locale::global(previous); }
    std::locale previous;
};
} // namespace

TEST(Text, EraseAndSubStringClampToTheText)
{
    EXPECT_EQ(AAX_CString("abc").MaxLength(), 4294967294u);
    const std::tuple<uint32_t, uint32_t, const char*> erasures[] = {
        { 2, 4, "12" },        { 2, 100, "12" },   { 6, 1, "12.345" },
        { 1, 1, "1.345" },     { 7, 1, "12.345" }, { 0xFFFFFFFFu, 0xFFFFFFFFu, "12.345" },
        { 0, 0xFFFFFFFFu, "" }
    };
    for (const auto& [pos, count, expected] : erasures)
        EXPECT_STREQ(AAX_CString("12.345").Erase(pos, count).Get(), expected) << pos << " " << count;

    const std::tuple<uint32_t, uint32_t, const char*> parts[] = { { 1, 2, "bc" }, { 3, 10, "d" }, { 9, 1, "" } };
    for (const auto& [pos, count, expected] : parts)
    {
        AAX_CString out("unchanged");
        AAX_CString("abcd").SubString(pos, count, &out);
        EXPECT_STREQ(out.Get(), expected) << pos << " " << count;
    }
    AAX_CString("abcd").SubString(0, 2, nullptr); // ignored
}

TEST(Text, NumbersInFixedNotationAndTheClassicLocale)
{
    ScopedGlobalLocale comma(std::locale(std::locale::classic(), new CommaDecimal));
    const std::tuple<double, int32_t, const char*> appended[] = { { 1.5, 3, "1.500" },
                                                                  { 7, 0, "7" },
                                                                  { -1, 3, "-1.000" },
                                                                  { 1234567.25, 2, "1234567.25" },
                                                                  { 1e21, 1, "1000000000000000000000.0" },
                                                                  { 2.5, -4, "2" } };
    for (const auto& [number, precision, expected] : appended)
        EXPECT_STREQ(AAX_CString().AppendNumber(number, precision).Get(), expected) << number;
    EXPECT_STREQ(AAX_CString("x=").AppendNumber(0.5, 3).Get(), "x=0.500");

    const std::tuple<const char*, bool, double> parsed[] = {
        { "12abc", true, 12.0 }, { "1e3", true, 1000.0 }, { " 2.5", true, 2.5 },  { "-0.25 dB", true, -0.25 },
        { "1,5", true, 1.0 },    { "", false, 0.0 },      { "-", false, 0.0 },    { "abc", false, 0.0 },
        { "nan", false, 0.0 },   { "inf", false, 0.0 },   { "1e999", false, 0.0 }
    };
    for (const auto& [input, ok, expected] : parsed)
    {
        double value = -99.0;
        EXPECT_EQ(AAX_CString(input).ToDouble(&value), ok) << input;
        EXPECT_EQ(value, expected) << input;
    }
    EXPECT_FALSE(AAX_CString("1").ToDouble(nullptr));
}

namespace
{
/** Counts its FinalRelease calls and destructions in caller-owned counters. */
struct CountedObject : CACFUnknown
{
    CountedObject(int& finalReleases, int& destructions)
        : finalReleases(finalReleases)
        , destructions(destructions)
    {
    }
    ~CountedObject() override { ++destructions; }
    void FinalRelease() override { ++finalReleases; }
    int& finalReleases;
    int& destructions;
};

template <class Base>
struct Counted : Base
{
    using CACFUnknown::GetPrivateUnknown;
    using CACFUnknown::GetRefCount;
};
} // namespace

TEST(ObjectModel, ReferenceCountingAndTheLiveObjectCount)
{
    const uint32_t before = CACFUnknown::GetActiveObjectCount();
    int finalReleases = 0, destructions = 0;
    auto* object = new CountedObject(finalReleases, destructions);
    EXPECT_EQ(object->InternalRelease(), 0u); // a release at count 0 does nothing
    EXPECT_EQ(object->InternalAddRef(), 1u);
    EXPECT_EQ(object->InternalAddRef(), 2u);
    EXPECT_EQ(object->InternalRelease(), 1u);
    EXPECT_EQ(finalReleases + destructions, 0);
    EXPECT_EQ(object->InternalRelease(), 0u);
    EXPECT_EQ(finalReleases + destructions, 2);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(ObjectModel, EachObjectAnswersItsOwnIdsWithItsHostFacingInterface)
{
    auto* parameters = new Counted<aaxtest::QuilloEffect>;
    auto* gui = new Counted<aaxtest::NullViewGUI>;
    IACFUnknown* const parametersFacing = static_cast<AAX_IACFEffectParameters_V4*>(parameters);
    IACFUnknown* const guiFacing = static_cast<AAX_IACFEffectGUI*>(gui);
    const std::tuple<IACFUnknown*, const acfIID*, ACFRESULT, void*> queries[] = {
        { parametersFacing, &IID_IAAXEffectParametersV1, ACF_OK, parametersFacing },
        { parametersFacing, &IID_IAAXEffectParametersV2, ACF_OK, parametersFacing },
        { parametersFacing, &IID_IAAXEffectParametersV3, ACF_OK, parametersFacing },
        { parametersFacing, &IID_IAAXEffectParametersV4, ACF_OK, parametersFacing },
        { parametersFacing, &IID_IACFUnknown, ACF_OK, parameters->GetPrivateUnknown() },
        { parametersFacing, &IID_IAAXEffectGUIV1, ACF_E_NOINTERFACE, nullptr },
        { guiFacing, &IID_IAAXEffectParametersV3, ACF_E_NOINTERFACE, nullptr },
        { guiFacing, &IID_IAAXEffectGUIV1, ACF_OK, guiFacing }
    };
    for (const auto& [object, iid, result, answer] : queries)
    {
        void* out = &out;
        EXPECT_EQ(object->QueryInterface(*iid, &out), result);
        EXPECT_EQ(out, answer);
    }
    EXPECT_EQ(static_cast<uint32_t>(ACF_E_NOINTERFACE), 0x80000004u);
    EXPECT_EQ(parametersFacing->QueryInterface(IID_IAAXEffectParametersV1, nullptr), ACF_E_INVALIDARG);
    EXPECT_EQ(parameters->GetRefCount(), 5u);
    EXPECT_EQ(guiFacing->AddRef(), 2u);

    const uint32_t live = CACFUnknown::GetActiveObjectCount();
    for (int i = 0; i < 4; ++i)
        parametersFacing->Release();
    EXPECT_EQ(parameters->GetPrivateUnknown()->Release(), 0u);
    EXPECT_EQ(guiFacing->Release(), 1u);
    EXPECT_EQ(guiFacing->Release(), 0u);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), live - 2);
}

using ACFPtrWithHost = HostTest;

TEST_F(ACFPtrWithHost, HoldersCountTheirReferencesAndThrowTheIntWhenEmpty)
{
    EXPECT_THROW(ACFPtr<IACFUnknown>()->AddRef(), int);
    EXPECT_THROW(ACFPtr<IACFUnknown>(IID_IAAXEffectGUIV1, host->Unknown()), int);

    aaxhost::Transport& transport = host->GetTransport();
    const uint32_t before = transport.RefCount();
    {
        ACFPtr<AAX_IACFTransport> held(IID_IAAXTransportV1, host->Unknown());
        ACFPtr<AAX_IACFTransport> copy = held;
        copy = copy; // self-assignment keeps the reference
        EXPECT_EQ(transport.RefCount(), before + 2);
        ACFPtr<AAX_IACFTransport> moved(std::move(copy));
        EXPECT_EQ(transport.RefCount(), before + 2);
        moved = std::move(held);
        EXPECT_EQ(transport.RefCount(), before + 1);
        EXPECT_FALSE(copy || held);
    }
    EXPECT_EQ(transport.RefCount(), before);
}
