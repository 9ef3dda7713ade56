#include <climits>
#include <set>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CheckedResult.h"
#include "AAX_Exception.h"
#include "AAX_StringUtilities.h"
#include "AAX_UIDs.h"
#include "AAX_VHostServices.h"

using aaxtest::HostTest;
using aaxtest::ScopedHostServices;

TEST(ResultNames, NamedCodesUnknownCodesAndDistinctness)
{
    const std::pair<int32_t, const char*> named[] = {
        { 0, "AAX_SUCCESS" }, { -20001, "AAX_ERROR_INVALID_PARAMETER_ID" }, { -20004, "AAX_ERROR_NULL_OBJECT" },
        { -20028, "AAX_RESULT_NEW_PACKET_POSTED" }, { -20030, "AAX_ERROR_PLUGIN_NULL_PARAMETER" },
        { -20042, "AAX_ERROR_UNKNOWN_EXCEPTION" }, { -20046, "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW" } };
    for (const auto& [code, name] : named)
        EXPECT_EQ(AAX::AsStringResult(code), name) << code;
    for (int32_t unnamed : { -20047, -20000, -20029, 1, -1, -333, INT32_MIN, INT32_MAX })
        EXPECT_EQ(AAX::AsStringResult(unnamed), "<unknown error code>") << unnamed;

    // 46 codes, one of which (-20029) has no name of its own.
    std::set<std::string> names;
    for (int32_t code = -20046; code <= -20001; ++code)
        names.insert(AAX::AsStringResult(code));
    EXPECT_EQ(names.size(), 46u);
}

TEST(ResultExceptions, FormattingAndCatchability)
{
    const AAX::Exception::ResultError error(-20009);
    EXPECT_EQ(error.Result(), -20009);
    EXPECT_EQ(error.Desc(), "AAX_ERROR_UNIMPLEMENTED (-20009)");
    EXPECT_EQ(error.What(), "AAX_ERROR_UNIMPLEMENTED (-20009)");
    EXPECT_EQ(AAX::Exception::ResultError::FormatResult(-333), "<unknown error code> (-333)");
    EXPECT_EQ(AAX::Exception::ResultError::FormatResult(7), "<unknown error code> (7)");

    using AAX::Exception::Any;
    EXPECT_EQ(Any::CreateWhat("d", "", "12"), "d line:12");
    EXPECT_EQ(Any::CreateWhat("d", "f", ""), "d func:f");
    EXPECT_EQ(Any::CreateWhat("d", "f", "12"), "d func:f line:12");
    EXPECT_EQ(Any::CreateWhat("d", "", ""), "d");
    const Any copy = Any("broken", "Describe", "42");
    EXPECT_EQ(copy.What(), "broken func:Describe line:42");

    // A result error is an Any but not a std::exception.
    static_assert(! std::is_base_of_v<std::exception, AAX::Exception::ResultError>);
    try
    {
        throw AAX::Exception::ResultError(-20004);
    }
    catch (const AAX::Exception::Any& any)
    {
        EXPECT_EQ(any.What(), "AAX_ERROR_NULL_OBJECT (-20004)");
    }
}

TEST(CheckedResult, WithoutServicesAFailureStillThrows)
{
    EXPECT_NO_THROW(AAX_CheckedResult checked(AAX_SUCCESS));
    EXPECT_THROW(AAX_CheckedResult checked(AAX_ERROR_NULL_OBJECT), AAX::Exception::ResultError);
}

using CheckedResultTrace = HostTest;

TEST_F(CheckedResultTrace, FailureIsTracedThenThrown)
{
    ScopedHostServices services(host->Unknown());
    AAX_CheckedResult checked;
    EXPECT_THROW(checked = AAX_ERROR_NULL_OBJECT, AAX::Exception::ResultError);
    EXPECT_EQ(checked.Result(), AAX_SUCCESS);
    EXPECT_EQ(checked.LastError(), AAX_ERROR_NULL_OBJECT);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, 0x04000000);
    EXPECT_EQ(traces[0].message, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)");

    // A failing trace does not stop the throw.
    calls.FailCall(host->GetServices(), "Trace", -1);
    EXPECT_THROW(AAX_CheckedResult failing(AAX_ERROR_MALFORMED_CHUNK), AAX::Exception::ResultError);
    EXPECT_EQ(calls.Count("Trace"), 2u);
}

TEST_F(CheckedResultTrace, AcceptedResultsPassQuietly)
{
    ScopedHostServices services(host->Unknown());
    AAX_CheckedResult checked;
    checked.AddAcceptedResult(AAX_ERROR_UNIMPLEMENTED);
    EXPECT_NO_THROW(checked = AAX_ERROR_UNIMPLEMENTED);
    EXPECT_THROW(checked = AAX_ERROR_INVALID_ARGUMENT, AAX::Exception::ResultError);
    checked.ResetAcceptedResults();
    EXPECT_THROW(checked = AAX_ERROR_UNIMPLEMENTED, AAX::Exception::ResultError);
    EXPECT_EQ(calls.Traces().size(), 2u);
}

using HostServicesLifetime = HostTest;

TEST_F(HostServicesLifetime, NothingIsTracedBeforeStartUpOrAfterShutdown)
{
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "before %d", 1), AAX_SUCCESS);
    AAX_CHostServices::Set(host->Unknown());
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "during %d", 2), AAX_SUCCESS);
    AAX_CHostServices::Set(nullptr);
    EXPECT_EQ(AAX_CHostServices::Get(), nullptr);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "after %d", 3), AAX_SUCCESS);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].message, "during 2");
    EXPECT_EQ(traces[0].priority, 0x08000000);
}

TEST_F(HostServicesLifetime, ASecondStartUpKeepsTheFirstServices)
{
    aaxhost::CallRecorder secondCalls;
    aaxhost::Host second(&secondCalls);
    AAX_CHostServices::Set(host->Unknown());
    AAX_IHostServices* const first = AAX_CHostServices::Get();
    AAX_CHostServices::Set(second.Unknown());
    EXPECT_EQ(AAX_CHostServices::Get(), first);

    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "to the first");
    AAX_CHostServices::Set(nullptr);
    AAX_CHostServices::Set(nullptr); // a second shutdown changes nothing
    EXPECT_EQ(calls.Traces().size(), 1u);
    EXPECT_TRUE(secondCalls.Traces().empty());
}

TEST_F(HostServicesLifetime, LongMessagesAreCutAndHostResultsReachTheCaller)
{
    ScopedHostServices services(host->Unknown());
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s%s", "ab", std::string(600, 'x').c_str());
    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].message, "ab" + std::string(509, 'x')); // 511 characters

    calls.FailCall(host->GetServices(), "Trace", -4321);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "x"), -4321);
}

using HostServicesWrapper = HostTest;

TEST_F(HostServicesWrapper, ForwardsEveryOperation)
{
    AAX_VHostServices services(host->Unknown());
    EXPECT_EQ(services.Assert("file.cpp", 12, "note"), AAX_SUCCESS);
    EXPECT_EQ(services.Trace(0x08000000, "message"), AAX_SUCCESS);
    EXPECT_EQ(services.StackTrace(1, 2, "stack"), AAX_SUCCESS);
    EXPECT_EQ(calls.TextsOf("services"),
              (std::vector<std::string> { "Assert(\"file.cpp\", 12, \"note\")", "Trace(134217728, \"message\")",
                                          "StackTrace(1, 2, \"stack\")" }));
}

TEST_F(HostServicesWrapper, MissingVersionsFail)
{
    calls.Withhold(host->GetServices(), IID_IAAXHostServicesV2);
    {
        AAX_VHostServices services(host->Unknown());
        EXPECT_EQ(services.StackTrace(1, 2, "stack"), AAX_ERROR_UNIMPLEMENTED);
        EXPECT_EQ(services.Trace(1, "still traced"), AAX_SUCCESS);
        EXPECT_EQ(calls.Traces().size(), 1u);
    }
    calls.Withhold(host->GetServices(), IID_IAAXHostServicesV1);
    AAX_VHostServices services(host->Unknown());
    EXPECT_EQ(services.Assert("f", 1, "n"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(services.Trace(1, "lost"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(services.StackTrace(1, 2, "lost"), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(AAX_VHostServices(nullptr).Trace(1, "lost"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(calls.Traces().size(), 1u);
}

TEST_F(HostServicesWrapper, AHostWithoutAFactoryGivesNoServices)
{
    host->GetContext().Remove(IID_IACFComponentFactory);
    ScopedHostServices services(host->Unknown());
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "lost"), AAX_ERROR_NULL_OBJECT);
}
