#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CString.h"
#include "AAX_IPageTable.h"
#include "AAX_UIDs.h"
#include "AAX_VController.h"
#include "PageTable.h"

using aaxtest::FourCC;

namespace
{
class ControllerTest : public aaxtest::InstanceTest
{
protected:
    aaxhost::Controller& HostController() { return instance->GetController(); }
};

/** The ids mapped on page 0 of a page table, slot by slot. */
std::vector<std::string> PageZero(const AAX_IPageTable& table)
{
    std::vector<std::string> ids;
    int32_t count = 0;
    if (table.GetNumMappedParameterIDs(0, count) != AAX_SUCCESS)
        return ids;
    for (int32_t slot = 0; slot < count; ++slot)
    {
        AAX_CString id;
        table.GetMappedParameterID(0, slot, id);
        ids.push_back(id.Get());
    }
    return ids;
}
} // namespace

TEST_F(ControllerTest, AsksForEveryVersionInOrderAndAnswersThroughTheHost)
{
    aaxhost::Controller::State& state = HostController().state;
    state.sampleRate = 44100.0f;
    state.inputStemFormat = AAX_eStemFormat_Mono;
    state.outputStemFormat = AAX_eStemFormat_Stereo;
    state.hostName = "Test Host";
    state.isAudioSuite = 1;
    state.automationTimestamp = 12345;
    state.meters[7] = { 0.25f, 0.5f, true };

    calls.Clear();
    AAX_VController controller(instance->Unknown());
    EXPECT_EQ(calls.TextsOf("instance#1", true),
              (std::vector<std::string> { "QueryInterface(IID_IAAXControllerV1)", "QueryInterface(IID_IAAXControllerV2)",
                                          "QueryInterface(IID_IAAXControllerV3)",
                                          "QueryInterface(IID_IAAXPageTableController)",
                                          "QueryInterface(IID_IAAXPageTableControllerV2)",
                                          "QueryInterface(IID_IACFComponentFactory)" }));

    AAX_CSampleRate rate = 0.0f;
    AAX_EStemFormat input = AAX_eStemFormat_None, output = AAX_eStemFormat_None;
    EXPECT_EQ(controller.GetSampleRate(&rate), AAX_SUCCESS);
    EXPECT_EQ(rate, 44100.0f);
    EXPECT_EQ(controller.GetInputStemFormat(&input), AAX_SUCCESS);
    EXPECT_EQ(input, AAX_eStemFormat_Mono);
    EXPECT_EQ(controller.GetOutputStemFormat(&output), AAX_SUCCESS);
    EXPECT_EQ(output, AAX_eStemFormat_Stereo);

    // 4 ms at 44.1 kHz, as the engine declares it.
    int32_t latency = -1;
    EXPECT_EQ(controller.SetSignalLatency(176), AAX_SUCCESS);
    EXPECT_EQ(controller.GetSignalLatency(&latency), AAX_SUCCESS);
    EXPECT_EQ(latency, 176);
    EXPECT_EQ(state.signalLatency, 176);

    const uint8_t bytes[] = { 1, 2, 3 };
    EXPECT_EQ(controller.PostPacket(3, bytes, 3), AAX_SUCCESS);
    ASSERT_EQ(calls.Posted(HostController()).size(), 1u);
    EXPECT_EQ(calls.Posted(HostController())[0].port, 3);
    EXPECT_EQ(calls.Posted(HostController())[0].data, (std::vector<uint8_t> { 1, 2, 3 }));

    float meter = 0.0f;
    AAX_CBoolean clipped = 0;
    uint32_t meters = 0;
    EXPECT_EQ(controller.GetCurrentMeterValue(7, &meter), AAX_SUCCESS);
    EXPECT_EQ(meter, 0.25f);
    EXPECT_EQ(controller.GetMeterPeakValue(7, &meter), AAX_SUCCESS);
    EXPECT_EQ(meter, 0.5f);
    EXPECT_EQ(controller.GetMeterClipped(7, &clipped), AAX_SUCCESS);
    EXPECT_EQ(clipped, 1);
    EXPECT_EQ(controller.GetMeterCount(&meters), AAX_SUCCESS);
    EXPECT_EQ(meters, 1u);
    EXPECT_EQ(controller.GetCurrentMeterValue(8, &meter), AAX_ERROR_INVALID_METER_INDEX);   // the host's own answer

    const int32_t flag = 1;
    EXPECT_EQ(controller.SendNotification(AAX_eNotificationEvent_SignalLatencyChanged, &flag, 4), AAX_SUCCESS);
    EXPECT_EQ(controller.SendNotification(AAX_eNotificationEvent_TrackNameChanged), AAX_SUCCESS);
    const auto notifications = calls.Notifications(HostController());
    ASSERT_EQ(notifications.size(), 2u);
    EXPECT_EQ(notifications[0].data, (std::vector<uint8_t> { 1, 0, 0, 0 }));
    EXPECT_FALSE(notifications[1].hadData);

    AAX_CString name;
    AAX_CTimestamp timestamp = 0;
    AAX_CBoolean offline = 0;
    EXPECT_EQ(controller.GetHostName(&name), AAX_SUCCESS);
    EXPECT_EQ(name, AAX_CString("Test Host"));
    EXPECT_EQ(controller.GetCurrentAutomationTimestamp(&timestamp), AAX_SUCCESS);
    EXPECT_EQ(timestamp, 12345);
    EXPECT_EQ(controller.GetIsAudioSuite(&offline), AAX_SUCCESS);
    EXPECT_EQ(offline, 1);

    calls.FailCall(HostController(), "GetSampleRate", -31);
    EXPECT_EQ(controller.GetSampleRate(&rate), -31);   // the host's results pass unchanged

    EXPECT_EQ(calls.TextsOf("controller#1").front(), "GetSampleRate()");
}

TEST_F(ControllerTest, OverNothingEveryOperationFailsWithItsVersionsCode)
{
    AAX_VController controller(nullptr);

    AAX_CSampleRate rate = 7.0f;
    int32_t value = 7;
    int64_t location = 7;
    AAX_EStemFormat format = AAX_eStemFormat_Any;
    EXPECT_EQ(controller.GetSampleRate(&rate), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(rate, 7.0f);
    EXPECT_EQ(controller.GetOutputStemFormat(&format), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(format, AAX_eStemFormat_Any);
    EXPECT_EQ(controller.GetSignalLatency(&value), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(controller.SetSignalLatency(192), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(controller.PostPacket(3, &value, 4), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(value, 7);

    EXPECT_EQ(controller.SendNotification(1, &value, 4), AAX_ERROR_UNIMPLEMENTED);
    AAX_CString name("unchanged");
    EXPECT_EQ(controller.GetHostName(&name), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(name, AAX_CString("unchanged"));
    EXPECT_EQ(controller.GetCurrentAutomationTimestamp(&location), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(location, 0);

    // A caller that ignores the result still reads "not offline".
    AAX_CBoolean offline = 9;
    EXPECT_EQ(controller.GetIsAudioSuite(&offline), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(offline, 0);

    EXPECT_EQ(controller.CreateTableCopyForEffect(1, 2, 3, 4, 8), nullptr);
    EXPECT_EQ(controller.CreateTableCopyForLayoutFromFile("p", AAX_eTextEncoding_UTF8, "layout", 4, 8), nullptr);
}

TEST_F(ControllerTest, AHostWithOnlyTheFirstVersion)
{
    calls.Withhold(HostController(), IID_IAAXControllerV2);
    calls.Withhold(HostController(), IID_IAAXControllerV3);
    AAX_VController controller(instance->Unknown());

    AAX_CSampleRate rate = 0.0f;
    EXPECT_EQ(controller.GetSampleRate(&rate), AAX_SUCCESS);
    EXPECT_EQ(rate, 48000.0f);
    AAX_CString name;
    EXPECT_EQ(controller.GetHostName(&name), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(controller.SendNotification(AAX_eNotificationEvent_TrackNameChanged), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_TRUE(calls.Notifications(HostController()).empty());

    // With the second version but not the third.
    calls.Offer(HostController(), IID_IAAXControllerV2);
    AAX_VController second(instance->Unknown());
    EXPECT_EQ(second.GetHostName(&name), AAX_SUCCESS);
    EXPECT_EQ(name, AAX_CString("Stand-in Host"));
    AAX_CBoolean offline = 0;
    EXPECT_EQ(second.GetIsAudioSuite(&offline), AAX_ERROR_UNIMPLEMENTED);
}

TEST_F(ControllerTest, CopiesPageTablesIntoTablesFromTheHostsFactory)
{
    instance->GetPageTableController().layout = { "0Input Gain", "1Output Gain" };
    const AAX_VController controller(instance->Unknown());

    std::unique_ptr<AAX_IPageTable> effect(controller.CreateTableCopyForEffect(
        int32_t(FourCC("Vant")), int32_t(FourCC("Qlw2")), int32_t(FourCC("Qn01")), FourCC("PgTL"), 8));
    std::unique_ptr<AAX_IPageTable> layout(controller.CreateTableCopyForLayout("com.example", "Main", FourCC("PgTL"), 8));
    std::unique_ptr<AAX_IPageTable> effectFile(
        controller.CreateTableCopyForEffectFromFile("/tables.xml", AAX_eTextEncoding_UTF8, 1, 2, 3, 4, 8));
    std::unique_ptr<AAX_IPageTable> layoutFile(
        controller.CreateTableCopyForLayoutFromFile("/tables.xml", AAX_eTextEncoding_UTF8, "Main", 4, 8));
    for (const auto* table : { effect.get(), layout.get(), effectFile.get(), layoutFile.get() })
    {
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(PageZero(*table), instance->GetPageTableController().layout);
    }

    EXPECT_EQ(calls.TextsOf("pageTableController#1"),
              (std::vector<std::string> {
                  "CopyTableForEffect(1449225844, 1366062898, 1366175793, 1348949068, 8, pageTable#1)",
                  "CopyTableOfLayoutForEffect(\"com.example\", \"Main\", 1348949068, 8, pageTable#2)",
                  "CopyTableForEffectFromFile(\"/tables.xml\", 0, 1, 2, 3, 4, 8, pageTable#3)",
                  "CopyTableOfLayoutFromFile(\"/tables.xml\", 0, \"Main\", 4, 8, pageTable#4)" }));
}

TEST_F(ControllerTest, AMissingOrFailedCopyIsNullNotAnEmptyTable)
{
    aaxhost::PageTableController& tables = instance->GetPageTableController();

    // The host's copy fails: no wrapper, and the new host table is let go again.
    calls.FailCall(tables, "CopyTableForEffect", AAX_ERROR_UNKNOWN_ID);
    {
        const AAX_VController controller(instance->Unknown());
        EXPECT_EQ(controller.CreateTableCopyForEffect(1, 2, 3, 4, 8), nullptr);
        const auto made = host->GetFactory().CreatedOf<aaxhost::PageTable>();
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0]->RefCount(), 1u);   // only the factory's own reference
    }

    // No second version: the file copies are null, the others still work.
    calls.ResetSwitches(tables);
    calls.Withhold(tables, IID_IAAXPageTableControllerV2);
    {
        const AAX_VController controller(instance->Unknown());
        std::unique_ptr<AAX_IPageTable> copy(controller.CreateTableCopyForLayout("e", "l", 1, 8));
        EXPECT_NE(copy, nullptr);
        EXPECT_EQ(controller.CreateTableCopyForLayoutFromFile("p", AAX_eTextEncoding_UTF8, "l", 1, 8), nullptr);
    }

    // No factory, or a factory that refuses page tables: the host is not asked to copy at all.
    calls.ResetSwitches(tables);
    calls.Clear();
    calls.FailCall(host->GetFactory(), "CreateComponent(AAXCompID_PageTable", ACF_E_NOINTERFACE);
    {
        const AAX_VController controller(instance->Unknown());
        EXPECT_EQ(controller.CreateTableCopyForEffect(1, 2, 3, 4, 8), nullptr);
    }
    instance->GetContext().Remove(IID_IACFComponentFactory);
    {
        const AAX_VController controller(instance->Unknown());
        EXPECT_EQ(controller.CreateTableCopyForLayout("e", "l", 1, 8), nullptr);
    }
    EXPECT_EQ(calls.Count("CopyTableForEffect") + calls.Count("CopyTableOfLayoutForEffect"), 0u);
}

TEST_F(ControllerTest, AThrowingHostLeavesAWorkingWrapperOverWhatItGave)
{
    calls.ThrowOnCall(instance->GetPageTableController(), "QueryInterface");
    calls.Withhold(HostController(), IID_IAAXControllerV3);

    const uint32_t before = HostController().RefCount();
    std::unique_ptr<AAX_VController> controller;
    ASSERT_NO_THROW(controller = std::make_unique<AAX_VController>(instance->Unknown()));
    AAX_CSampleRate rate = 0.0f;
    EXPECT_EQ(controller->GetSampleRate(&rate), AAX_SUCCESS);
    EXPECT_EQ(controller->CreateTableCopyForEffect(1, 2, 3, 4, 8), nullptr);

    // The wrapper holds one reference per version it obtained and gives them all back.
    EXPECT_EQ(HostController().RefCount(), before + 2u);
    controller.reset();
    EXPECT_EQ(HostController().RefCount(), before);
}
