// The wrappers over the host's interfaces: what reaches the host, what a missing host or host
// version answers, the references they hold, and procedures registered one by one.

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_UIDs.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VController.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VHostServices.h"
#include "AAX_VPageTable.h"
#include "AAX_VPropertyMap.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"
#include "ComponentDescriptor.h"
#include "PageTable.h"
#include "PropertyMap.h"

using aaxtest::FourCC;
using Call = std::function<AAX_Result()>;

using Wrappers = aaxtest::HostTest;

TEST_F(Wrappers, ForwardEachCallWithItsArgumentsAndTheHostsAnswers)
{
    aaxhost::Transport::State& transportState = host->GetTransport().state;
    transportState.looping = true;
    transportState.loopStartTick = 960000;
    transportState.loopEndTick = 3840000;
    instance->GetController().state.inputStemFormat = AAX_eStemFormat_Mono;
    instance->GetController().state.outputStemFormat = AAX_eStemFormat_Stereo;
    host->GetView().mouseResult = AAX_SUCCESS;

    AAX_VHostServices services(host->Unknown());
    AAX_VController controller(instance->Unknown());
    AAX_VAutomationDelegate automation(host->Unknown());
    AAX_VViewContainer view(host->ViewUnknown());
    AAX_VTransport transport(host->Unknown());
    AAX_VCollection collection(host->Unknown());
    AAX_IEffectDescriptor* const effect = collection.NewDescriptor();
    AAX_IComponentDescriptor* const component = effect->NewComponentDescriptor();
    auto* const hostTable = new aaxhost::PageTable(host->Hook());
    AAX_VPageTable pageTable(static_cast<AAX_IACFPageTable*>(hostTable));
    hostTable->Drop();
    AAX_EStemFormat output = AAX_eStemFormat_None;
    bool looping = false;
    int64_t loopStart = 0, loopEnd = 0;
    const AAX_CParamID ids[] = { "0Input Gain", "1Output Gain" };

    const std::pair<Call, std::string> table[] = {
        { [&] { return services.StackTrace(1, 2, "stack"); }, "services.StackTrace(1, 2, \"stack\")" },
        { [&] { return controller.GetOutputStemFormat(&output); }, "controller#1.GetOutputStemFormat()" },
        { [&] { return automation.PostCurrentValue("2Power", 0.30000000000000004); },
          "automation.PostCurrentValue(\"2Power\", 0.30000000000000004)" },
        { [&] { return view.HandleParameterMouseDrag("0Input Gain", 1); },
          "view#1.HandleParameterMouseDrag(\"0Input Gain\", 1)" },
        { [&] { return view.HandleParameterMouseUp("0Input Gain", 1); },
          "view#1.HandleParameterMouseUp(\"0Input Gain\", 1)" },
        { [&] { return view.HandleMultipleParametersMouseUp(ids, 2, 0); },
          "view#1.HandleMultipleParametersMouseUp([\"0Input Gain\" \"1Output Gain\"], 0)" },
        { [&] { return transport.GetCurrentLoopPosition(&looping, &loopStart, &loopEnd); },
          "transport.GetCurrentLoopPosition()" },
        { [&] { return component->AddAudioOut(1); }, "component#1.AddAudioOut(1)" },
        { [&] { return pageTable.MapParameterID("0Input Gain", 1, 3); },
          "pageTable#1.MapParameterID(\"0Input Gain\", 1, 3)" },
        { [&] { return effect->AddComponent(component); }, "effect#1.AddComponent(component#1)" },
        { [&] { return effect->AddCategoryBypassParameter(1, "MasterBypassID"); },
          "effect#1.AddCategoryBypassParameter(1, \"MasterBypassID\")" },
        { [&] { return collection.AddEffect("com.Vantorell.Quillo", effect); },
          "collection#1.AddEffect(\"com.Vantorell.Quillo\", effect#1)" },
    };
    for (const auto& [call, text] : table)
    {
        calls.Clear();
        EXPECT_EQ(call(), AAX_SUCCESS) << text;
        EXPECT_EQ(calls.Texts(), std::vector<std::string> { text });
    }
    EXPECT_EQ(output, AAX_eStemFormat_Stereo);
    EXPECT_TRUE(looping);
    EXPECT_EQ(loopStart, 960000);
    EXPECT_EQ(loopEnd, 3840000);

    // The host's own results pass through unchanged.
    calls.FailCall(instance->GetController(), "GetSampleRate", -31);
    AAX_CSampleRate rate = 0.0f;
    EXPECT_EQ(controller.GetSampleRate(&rate), -31);
}

TEST_F(Wrappers, WithoutTheHostOrItsVersionEachCallAnswersItsCode)
{
    calls.Withhold(host->GetServices(), IID_IAAXHostServicesV2);
    calls.Withhold(instance->GetController(), IID_IAAXControllerV3);
    calls.WithholdFromKind("effect", IID_IAAXEffectDescriptorV2);
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV2);
    calls.Withhold(host->GetView(), IID_IAAXViewContainerV2);
    AAX_VHostServices servicesV1(host->Unknown());
    AAX_VController controllerV2(instance->Unknown());
    AAX_VViewContainer viewV1(host->ViewUnknown());
    AAX_VCollection collection(host->Unknown());
    AAX_IEffectDescriptor* const effectV1 = collection.NewDescriptor();
    AAX_IComponentDescriptor* const componentV1 = effectV1->NewComponentDescriptor();

    AAX_VController noController(nullptr);
    const AAX_VTransport noTransport(nullptr);
    AAX_VViewContainer noView(nullptr);
    AAX_VCollection noCollection(nullptr);
    AAX_IEffectDescriptor* const noEffect = noCollection.NewDescriptor();
    host->GetContext().Remove(IID_IAAXAutomationDelegateV1);
    AAX_VAutomationDelegate noAutomation(host->Unknown());

    AAX_CSampleRate rate = 7.0f;
    AAX_CString name("unchanged");
    AAX_CBoolean offline = 9;
    double tempo = 7.0;
    int32_t number = 7;
    AAX_Point size { 250.0f, 800.0f };
    const AAX_CParamID ids[] = { "0Input Gain" };
    const std::tuple<Call, AAX_Result, const char*> table[] = {
        { [&] { return servicesV1.StackTrace(1, 2, "lost"); }, AAX_ERROR_UNIMPLEMENTED, "services without V2" },
        { [&] { return AAX_VHostServices(nullptr).Trace(1, "lost"); }, AAX_ERROR_NULL_OBJECT, "no services" },
        { [&] { return controllerV2.GetIsAudioSuite(&offline); }, AAX_ERROR_UNIMPLEMENTED, "controller without V3" },
        { [&] { return controllerV2.GetHostName(&name); }, AAX_SUCCESS, "controller without V3" },
        { [&] { return noController.GetSampleRate(&rate); }, AAX_ERROR_NULL_OBJECT, "no controller" },
        { [&] { return noController.SendNotification(1, &number, 4); }, AAX_ERROR_UNIMPLEMENTED, "no controller" },
        { [&] { return noTransport.GetCurrentTempo(&tempo); }, AAX_ERROR_NULL_OBJECT, "no transport" },
        { [&] { return noAutomation.PostTouchRequest("2Power"); }, AAX_ERROR_NULL_OBJECT, "no automation" },
        { [&] { return viewV1.HandleMultipleParametersMouseDown(ids, 1, 0); }, AAX_ERROR_UNIMPLEMENTED, "view V1" },
        { [&] { return noView.SetViewSize(size); }, AAX_ERROR_UNIMPLEMENTED, "no view" },
        { [&] { return effectV1->AddControlMIDINode(1, AAX_eMIDINodeType_LocalInput, "in", 1); },
          AAX_ERROR_UNIMPLEMENTED, "effect without V2" },
        { [&] { return componentV1->AddTemporaryData(6, 16); }, AAX_ERROR_UNIMPLEMENTED, "component without V2" },
        { [&] { return noCollection.SetManufacturerName("Vantorell"); }, AAX_ERROR_NULL_OBJECT, "no collection" },
        { [&] { return noEffect->AddName("Quillo"); }, AAX_ERROR_NULL_OBJECT, "no effect" },
    };
    for (const auto& [call, result, what] : table)
        EXPECT_EQ(call(), result) << what;
    EXPECT_EQ(rate, 7.0f); // nothing written on failure...
    EXPECT_EQ(tempo, 7.0);
    EXPECT_EQ(offline, 0); // ... but a caller ignoring the result still reads "not offline"
    EXPECT_EQ(name, AAX_CString("Stand-in Host"));
}

TEST_F(Wrappers, TheControllerHoldsOneReferencePerVersionAndAFailedTableCopyIsNull)
{
    aaxhost::Controller& hostController = instance->GetController();
    const uint32_t before = hostController.RefCount();
    calls.Clear();
    auto controller = std::make_unique<AAX_VController>(instance->Unknown());
    EXPECT_EQ(hostController.RefCount(), before + 3u);

    // A host that throws while asked leaves a working wrapper over what it gave.
    calls.ThrowOnCall(instance->GetPageTableController(), "QueryInterface");
    calls.Withhold(hostController, IID_IAAXControllerV3);
    ASSERT_NO_THROW(controller = std::make_unique<AAX_VController>(instance->Unknown()));
    EXPECT_EQ(hostController.RefCount(), before + 2u);
    EXPECT_EQ(controller->CreateTableCopyForEffect(1, 2, 3, 4, 8), nullptr);
    controller.reset();
    EXPECT_EQ(hostController.RefCount(), before);

    // The host's copy fails: no wrapper, and the new host table is let go again.
    calls.ResetSwitches(instance->GetPageTableController());
    calls.FailCall(instance->GetPageTableController(), "CopyTableForEffect", AAX_ERROR_UNKNOWN_ID);
    EXPECT_EQ(AAX_VController(instance->Unknown()).CreateTableCopyForEffect(1, 2, 3, 4, 8), nullptr);
}

TEST_F(Wrappers, PropertyMapsCheckStemFormatsWithoutADescriptionHostAndKeepProcedurePointers)
{
    std::unique_ptr<AAX_VPropertyMap> described(AAX_VPropertyMap::Create(host->Unknown()));
    host->GetContext().Remove(IID_IAAXDescriptionHostV1);
    std::unique_ptr<AAX_VPropertyMap> map(AAX_VPropertyMap::Create(host->Unknown()));
    const std::tuple<int, uint32_t, AAX_Result> cases[] = { { 51, 0x00010002, AAX_SUCCESS },
                                                            { 52, 0x000C0008, AAX_SUCCESS },
                                                            { 51, 0xFF9C0000, AAX_SUCCESS },
                                                            { 51, 0xFFFF0000, AAX_SUCCESS },
                                                            { 51, 0x000D0001, AAX_ERROR_PROPERTY_UNDEFINED },
                                                            { 52, 0x80000000, AAX_ERROR_PROPERTY_UNDEFINED },
                                                            { 52, 0xFFFE0002, AAX_ERROR_PROPERTY_UNDEFINED },
                                                            { 50, 0x7FFF0000, AAX_SUCCESS } };
    for (const auto& [property, raw, result] : cases)
        EXPECT_EQ(map->AddProperty(AAX_EProperty(property), AAX_CPropertyValue(raw)), result) << std::hex << raw;
    EXPECT_EQ(calls.Count("AddProperty"), 5u); // refused values never reach the host
    EXPECT_EQ(described->AddProperty(AAX_eProperty_InputStemFormat, AAX_CPropertyValue(0x000D0001)), AAX_SUCCESS);

    AAX_CPropertyValue value = 0;
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ManufacturerID, FourCC("Vant")), AAX_SUCCESS);
    EXPECT_TRUE(map->GetProperty(AAX_eProperty_ManufacturerID, &value));
    EXPECT_EQ(value, 0x56616E74);
    EXPECT_EQ(map->RemoveProperty(AAX_eProperty_ManufacturerID), AAX_SUCCESS);
    EXPECT_FALSE(map->GetProperty(AAX_eProperty_ManufacturerID, &value));

    // Without the third version, procedure pointers are kept locally.

    calls.WithholdFromKind("map", IID_IAAXPropertyMapV3);
    std::unique_ptr<AAX_VPropertyMap> local(AAX_VPropertyMap::Create(host->Unknown()));
    int procedure = 0;
    const void* out = nullptr;
    EXPECT_EQ(local->AddPointerProperty(AAX_eProperty_NativeProcessProc, &procedure), AAX_SUCCESS);
    EXPECT_EQ(local->AddPointerProperty(AAX_EProperty(43), &procedure), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(local->RemoveProperty(AAX_eProperty_NativeProcessProc), AAX_SUCCESS); // the host's only
    EXPECT_TRUE(local->GetPointerProperty(AAX_eProperty_NativeProcessProc, &out));
    EXPECT_EQ(out, &procedure);
    EXPECT_EQ(calls.Count("AddPointerProperty"), 0u);
}

namespace
{
void AAX_CALLBACK Process(void* const*, const void*)
{
}

} // namespace

TEST_F(Wrappers, WithoutTheHostsRegistrationProceduresAreRegisteredOneByOne)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV3);
    calls.WithholdFromKind("map", IID_IAAXPropertyMapV3);
    AAX_VComponentDescriptor component(host->Unknown());
    auto& hostComponent = *host->GetFactory().CreatedOf<aaxhost::ComponentDescriptor>().back();
    AAX_IPropertyMap* const map = component.NewPropertyMap(); // as a description sets it
    map->AddProperty(AAX_eProperty_PlugInID_Native, FourCC("jcaa"));
    map->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&Process));
    map->AddProperty(AAX_eProperty_PlugInID_TI, FourCC("jdaa"));
    map->AddPointerProperty(AAX_eProperty_TIDLLFileName, "Quillo.dll");
    map->AddPointerProperty(AAX_eProperty_TIProcessProc, "Quillo_Process");
    map->AddProperty(AAX_eProperty_TIOnly, 1);

    AAX_CSelector ids[3] = { 9, 9, 9 };
    EXPECT_EQ(component.AddProcessProc(nullptr, ids, 3), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(component.AddProcessProc(map, ids, 3), AAX_SUCCESS);
    EXPECT_EQ(std::vector<AAX_CSelector>(ids, ids + 3), (std::vector<AAX_CSelector> { 1, 2, 0 }));

    // The native registration gets a duplicate without the TI-only property.
    const auto& procs = hostComponent.ProcessProcs();
    ASSERT_EQ(procs.size(), 2u);
    EXPECT_TRUE(procs[0].native && procs[0].processProc == &Process && !procs[1].native);
    EXPECT_EQ(procs[1].dllFileName + " " + procs[1].processProcName, "Quillo.dll Quillo_Process");
    auto* duplicate = host->GetFactory().CreatedOf<aaxhost::PropertyMap>().at(1);
    EXPECT_EQ(procs[0].properties, duplicate->Name());
    EXPECT_FALSE(duplicate->IntValue(AAX_eProperty_TIOnly).has_value());
    EXPECT_EQ(duplicate->IntValue(AAX_eProperty_PlugInID_Native), FourCC("jcaa"));

    // Maps missing their procedures register nothing and say why.
    AAX_IPropertyMap* const nativeWithoutProcedure = component.NewPropertyMap();
    nativeWithoutProcedure->AddProperty(AAX_eProperty_PlugInID_AudioSuite, FourCC("jyaa"));
    EXPECT_EQ(component.AddProcessProc(nativeWithoutProcedure, ids, 3), AAX_ERROR_NULL_OBJECT);
    AAX_IPropertyMap* const tiWithoutNames = component.NewPropertyMap();
    tiWithoutNames->AddProperty(AAX_eProperty_PlugInID_TI, FourCC("jdaa"));
    EXPECT_EQ(component.AddProcessProc(tiWithoutNames, ids, 3), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(component.AddProcessProc(component.NewPropertyMap(), ids, 3), AAX_SUCCESS);
    EXPECT_EQ(ids[0], 0u);
    EXPECT_EQ(procs.size(), 2u);
    AAX_CSelector small[2] = { 9, 9 };
    EXPECT_EQ(component.AddProcessProc(map, small, 2), AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW);
    EXPECT_EQ(small[0], 9u);
    std::vector<std::string> traces;
    for (const auto& trace : calls.Traces())
        traces.push_back(trace.message);
    const std::string prefix = "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for ";
    EXPECT_EQ(traces, (std::vector<std::string> { prefix + "AAX_eProperty_NativeProcessProc",
                                                  prefix + "AAX_eProperty_TIDLLFileName",
                                                  prefix + "AAX_eProperty_TIProcessProc" }));
}
