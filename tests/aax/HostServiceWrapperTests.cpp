#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CString.h"
#include "AAX_UIDs.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VPageTable.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"
#include "PageTable.h"

using aaxtest::HostTest;

using TransportWrapper = HostTest;

TEST_F(TransportWrapper, ForwardsEveryOperationOfBothVersions)
{
    aaxhost::Transport::State& state = host->GetTransport().state;
    state.tempo = 98.5;
    state.meterNumerator = 7;
    state.meterDenominator = 8;
    state.playing = true;
    state.sampleLocation = 96000;
    state.selectionStart = 4800;
    state.frameRate = AAX_eFrameRate_2997DropFrame;
    state.timeCodeOffset = -12;
    state.metronome = 1;

    const AAX_VTransport transport(host->Unknown());
    double tempo = 0.0;
    int32_t numerator = 0, denominator = 0, enabled = 0, offset = 0;
    bool playing = false;
    int64_t location = 0, selection = 0;
    AAX_EFrameRate frameRate = AAX_eFrameRate_Undeclared;

    EXPECT_EQ(transport.GetCurrentTempo(&tempo), AAX_SUCCESS);
    EXPECT_EQ(tempo, 98.5);
    EXPECT_EQ(transport.GetCurrentMeter(&numerator, &denominator), AAX_SUCCESS);
    EXPECT_EQ(numerator, 7);
    EXPECT_EQ(denominator, 8);
    EXPECT_EQ(transport.IsTransportPlaying(&playing), AAX_SUCCESS);
    EXPECT_TRUE(playing);
    EXPECT_EQ(transport.GetCurrentNativeSampleLocation(&location), AAX_SUCCESS);
    EXPECT_EQ(location, 96000);
    EXPECT_EQ(transport.GetTimelineSelectionStartPosition(&selection), AAX_SUCCESS);
    EXPECT_EQ(selection, 4800);
    EXPECT_EQ(transport.GetTimeCodeInfo(&frameRate, &offset), AAX_SUCCESS);
    EXPECT_EQ(frameRate, AAX_eFrameRate_2997DropFrame);
    EXPECT_EQ(offset, -12);
    EXPECT_EQ(transport.IsMetronomeEnabled(&enabled), AAX_SUCCESS);
    EXPECT_EQ(enabled, 1);

    // Two seconds at 48 kHz and 98.5 beats per minute, in 7/8.
    int64_t ticks = 0;
    EXPECT_EQ(transport.GetCustomTickPosition(&ticks, 96000), AAX_SUCCESS);
    EXPECT_EQ(ticks, 3152000);
    int32_t bars = 0, beats = 0;
    int64_t displayTicks = 0;
    EXPECT_EQ(transport.GetBarBeatPosition(&bars, &beats, &displayTicks, 96000), AAX_SUCCESS);
    EXPECT_EQ(bars, 1);
    EXPECT_EQ(beats, 7);
    EXPECT_EQ(displayTicks, 3152000 - 6 * 480000);

    EXPECT_EQ(calls.TextsOf("transport").back(), "GetBarBeatPosition(96000)");
}

TEST_F(TransportWrapper, MissingVersionsAndHostFailures)
{
    host->GetContext().Remove(IID_IAAXTransportV2);
    const AAX_VTransport transport(host->Unknown());

    double tempo = 0.0;
    EXPECT_EQ(transport.GetCurrentTempo(&tempo), AAX_SUCCESS);
    EXPECT_EQ(tempo, 120.0);

    int32_t enabled = 42;
    EXPECT_EQ(transport.IsMetronomeEnabled(&enabled), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(enabled, 42);
    int64_t start = 42;
    EXPECT_EQ(transport.GetTimelineSelectionStartPosition(&start), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(start, 42);

    const AAX_VTransport none(nullptr);
    tempo = 7.0;
    EXPECT_EQ(none.GetCurrentTempo(&tempo), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(tempo, 7.0);
    EXPECT_EQ(none.IsMetronomeEnabled(&enabled), AAX_ERROR_UNIMPLEMENTED);

    calls.FailCall(host->GetTransport(), "GetCurrentTempo", -31);
    const AAX_VTransport failing(host->Unknown());
    EXPECT_EQ(failing.GetCurrentTempo(&tempo), -31);
}

using ViewContainerWrapper = HostTest;

TEST_F(ViewContainerWrapper, WithoutAViewNothingReachesAnyone)
{
    AAX_VViewContainer view(nullptr);
    EXPECT_EQ(view.GetType(), 0);
    EXPECT_EQ(view.GetPtr(), nullptr);
    AAX_Point size { 250.0f, 800.0f };
    EXPECT_EQ(view.SetViewSize(size), AAX_ERROR_UNIMPLEMENTED);   // a dropped resize is no success
    EXPECT_EQ(view.HandleParameterMouseDown("1Output Gain", 0), AAX_ERROR_UNIMPLEMENTED);
}

TEST_F(ViewContainerWrapper, ForwardsToTheHostsView)
{
    int nativeView = 0;
    host->GetView().nativeView = &nativeView;
    host->GetView().modifiers = AAX_eModifiers_Shift | AAX_eModifiers_Alt;
    host->GetView().mouseResult = AAX_SUCCESS;

    AAX_VViewContainer view(host->ViewUnknown());
    EXPECT_EQ(view.GetType(), AAX_eViewContainer_Type_HWND);
    EXPECT_NE(AAX_eViewContainer_Type_HWND, AAX_eViewContainer_Type_NSView);
    EXPECT_EQ(view.GetPtr(), &nativeView);

    uint32_t modifiers = 0;
    EXPECT_EQ(view.GetModifiers(&modifiers), AAX_SUCCESS);
    EXPECT_EQ(modifiers, uint32_t(AAX_eModifiers_Shift | AAX_eModifiers_Alt));

    AAX_Point size { 250.0f, 800.0f };
    EXPECT_EQ(view.SetViewSize(size), AAX_SUCCESS);
    EXPECT_EQ(host->GetView().size.horz, 800.0f);

    const AAX_CParamID ids[] = { "0Input Gain", "1Output Gain" };
    EXPECT_EQ(view.HandleParameterMouseDown("0Input Gain", 1), AAX_SUCCESS);
    EXPECT_EQ(view.HandleParameterMouseDrag("0Input Gain", 1), AAX_SUCCESS);
    EXPECT_EQ(view.HandleParameterMouseUp("0Input Gain", 1), AAX_SUCCESS);
    EXPECT_EQ(view.HandleMultipleParametersMouseDown(ids, 2, 0), AAX_SUCCESS);
    EXPECT_EQ(view.HandleMultipleParametersMouseDrag(ids, 2, 0), AAX_SUCCESS);
    EXPECT_EQ(view.HandleMultipleParametersMouseUp(ids, 2, 0), AAX_SUCCESS);

    EXPECT_EQ(calls.TextsOf("view#1"),
              (std::vector<std::string> {
                  "GetType()", "GetPtr()", "GetModifiers()", "SetViewSize(250, 800)",
                  "HandleParameterMouseDown(\"0Input Gain\", 1)", "HandleParameterMouseDrag(\"0Input Gain\", 1)",
                  "HandleParameterMouseUp(\"0Input Gain\", 1)",
                  "HandleMultipleParametersMouseDown([\"0Input Gain\" \"1Output Gain\"], 0)",
                  "HandleMultipleParametersMouseDrag([\"0Input Gain\" \"1Output Gain\"], 0)",
                  "HandleMultipleParametersMouseUp([\"0Input Gain\" \"1Output Gain\"], 0)" }));
}

TEST_F(ViewContainerWrapper, WithoutTheSecondVersionMultipleParametersAreUnimplemented)
{
    calls.Withhold(host->GetView(), IID_IAAXViewContainerV2);
    host->GetView().mouseResult = AAX_SUCCESS;
    AAX_VViewContainer view(host->ViewUnknown());
    const AAX_CParamID ids[] = { "0Input Gain" };
    EXPECT_EQ(view.HandleMultipleParametersMouseDown(ids, 1, 0), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(view.HandleParameterMouseDown("0Input Gain", 0), AAX_SUCCESS);

    // The host's own refusal of a size passes through.
    AAX_Point tiny { 0.0f, 0.0f };
    EXPECT_EQ(view.SetViewSize(tiny), AAX_ERROR_INVALID_VIEW_SIZE);
}

using AutomationWrapper = HostTest;

TEST_F(AutomationWrapper, ForwardsTheExactValues)
{
    AAX_VAutomationDelegate automation(host->Unknown());
    EXPECT_EQ(automation.RegisterParameter("2Power"), AAX_SUCCESS);
    EXPECT_EQ(automation.PostTouchRequest("2Power"), AAX_SUCCESS);
    EXPECT_EQ(automation.PostSetValueRequest("2Power", 0.25), AAX_SUCCESS);
    EXPECT_EQ(automation.PostCurrentValue("2Power", 0.30000000000000004), AAX_SUCCESS);
    AAX_CBoolean touched = 0;
    EXPECT_EQ(automation.GetTouchState("2Power", &touched), AAX_SUCCESS);
    EXPECT_EQ(touched, 1);
    EXPECT_EQ(automation.PostReleaseRequest("2Power"), AAX_SUCCESS);
    EXPECT_EQ(automation.UnregisterParameter("2Power"), AAX_SUCCESS);

    EXPECT_EQ(calls.TextsOf("automation"),
              (std::vector<std::string> { "RegisterParameter(\"2Power\")", "PostTouchRequest(\"2Power\")",
                                          "PostSetValueRequest(\"2Power\", 0.25)",
                                          "PostCurrentValue(\"2Power\", 0.30000000000000004)",
                                          "GetTouchState(\"2Power\")", "PostReleaseRequest(\"2Power\")",
                                          "UnregisterParameter(\"2Power\")" }));
}

TEST_F(AutomationWrapper, WithoutTheHostInterfaceEverythingIsNullObject)
{
    host->GetContext().Remove(IID_IAAXAutomationDelegateV1);
    AAX_VAutomationDelegate automation(host->Unknown());
    EXPECT_EQ(automation.PostTouchRequest("2Power"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(automation.PostSetValueRequest("2Power", 1.0), AAX_ERROR_NULL_OBJECT);
    EXPECT_TRUE(calls.TextsOf("automation").empty());
}

using PageTableWrapper = HostTest;

TEST_F(PageTableWrapper, WithoutATableEveryOperationIsUnimplemented)
{
    AAX_VPageTable table(nullptr);
    EXPECT_FALSE(table.IsSupported());
    int32_t count = 0;
    EXPECT_EQ(table.GetNumPages(count), AAX_ERROR_UNIMPLEMENTED);
    AAX_CString id;
    EXPECT_EQ(table.GetMappedParameterID(0, 0, id), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(table.MapParameterID("0Input Gain", 0, 0), AAX_ERROR_UNIMPLEMENTED);
}

TEST_F(PageTableWrapper, MapsAndReadsBackThroughTheHostTable)
{
    auto* hostTable = new aaxhost::PageTable(host->Hook());
    {
        AAX_VPageTable table(static_cast<AAX_IACFPageTable*>(hostTable));
        ASSERT_TRUE(table.IsSupported());

        EXPECT_EQ(table.MapParameterID("0Input Gain", 1, 3), AAX_SUCCESS);
        EXPECT_EQ(table.MapParameterID("1Output Gain", 1, 4), AAX_SUCCESS);
        int32_t pages = 0, mapped = 0;
        EXPECT_EQ(table.GetNumPages(pages), AAX_SUCCESS);
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(table.GetNumMappedParameterIDs(1, mapped), AAX_SUCCESS);
        EXPECT_EQ(mapped, 2);
        AAX_CString id;
        EXPECT_EQ(table.GetMappedParameterID(1, 4, id), AAX_SUCCESS);
        EXPECT_STREQ(id.Get(), "1Output Gain");
        EXPECT_EQ(table.ClearMappedParameter(1, 4), AAX_SUCCESS);
        EXPECT_EQ(table.GetMappedParameterID(1, 4, id), AAX_ERROR_INVALID_PARAMETER_INDEX);
        EXPECT_EQ(table.Clear(), AAX_SUCCESS);
        AAX_CBoolean empty = 0;
        EXPECT_EQ(table.Empty(empty), AAX_SUCCESS);
        EXPECT_EQ(empty, 1);
        EXPECT_EQ(hostTable->RefCount(), 2u);
    }
    EXPECT_EQ(hostTable->RefCount(), 1u);
    hostTable->Drop();
}
