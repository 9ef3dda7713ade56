// The data-model base (parameters, the 'elck' controls chunk, packets to the algorithm) and the
// editor base, on the product's data model in an instance context of the stand-in host.

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CEffectGUI.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_UIDs.h"
#include "AAX_VController.h"

using aaxtest::ChunkBuffer;
using aaxtest::FourCC;
using aaxtest::kQuilloParameterIds;
using Bytes = std::vector<uint8_t>;

namespace
{
constexpr AAX_CTypeID kElck = FourCC("elck");

/** The product's data model, initialised on the instance context, whose automation confirms
    requests only when the test lets it. */
class EffectTest : public aaxtest::BoundEffectTest<aaxtest::QuilloEffect>
{
protected:
    void SetUp() override
    {
        BoundEffectTest::SetUp();
        ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
    }

    /** Starts over with the bool preview parameter added. */
    void WithPreview()
    {
        effect->Uninitialize();
        effect->addPreview = true;
        ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
    }

    size_t Confirm() { return instance->GetAutomation().ConfirmPending(); }
    std::vector<aaxhost::CallRecorder::Packet> Posted() { return calls.Posted(instance->GetController()); }

    /** The 'elck' chunk, as a host fetches it. */
    ChunkBuffer SaveChunk()
    {
        uint32_t size = 0;
        EXPECT_EQ(effect->GetChunkSize(kElck, &size), AAX_SUCCESS);
        ChunkBuffer chunk { size };
        EXPECT_EQ(effect->GetChunk(kElck, chunk.get()), AAX_SUCCESS);
        return chunk;
    }
};

Bytes BigEndianDouble(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    return aaxtest::BigEndian(bits, 8);
}

template <typename T>
Bytes NativeBytes(T value)
{
    Bytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}
} // namespace

TEST_F(EffectTest, UninitializeGivesBackEverythingTheHostLent)
{
    const uint32_t liveBefore = CACFUnknown::GetActiveObjectCount();
    int32_t count = 0;
    EXPECT_EQ(instance->GetAutomation().Registered().size(), 24u);
    EXPECT_EQ(effect->Uninitialize(), AAX_SUCCESS);
    EXPECT_TRUE(effect->Controller() == nullptr && instance->GetAutomation().Registered().empty());
    EXPECT_EQ(effect->GetNumberOfParameters(&count), AAX_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_ERROR_NULL_OBJECT); // nothing reaches the gone controller

    // Released initialised, without Uninitialize: the object goes, wrappers and parameters with it.
    ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
    instance->UnbindEffect();
    effect = nullptr;
    held.reset();
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), liveBefore - 1);
    EXPECT_EQ(calls.Count("UnregisterParameter"), 48u);
    // The fixture checks that the host got every reference back.
}

TEST_F(EffectTest, WithTheHostsAutomationAValueChangesOnlyWhenTheHostConfirmsIt)
{
    for (const auto& [id, value] : { std::pair { "2Power", 0.5 }, { "1Output Gain", 0.25 }, { "2Power", 0.75 } })
        EXPECT_EQ(effect->SetParameterNormalizedValue(id, value), AAX_SUCCESS); // the last replaces the first
    EXPECT_EQ(effect->Value("2Power"), 3.0 / 32.0);
    EXPECT_EQ(Confirm(), 2u);
    EXPECT_EQ(effect->Value("2Power"), 0.75);
    EXPECT_EQ(calls.TextsOf("automation#1").back(), "PostCurrentValue(\"2Power\", 0.75)");

    // Relative changes are limited to 0..1.
    EXPECT_EQ(effect->SetParameterNormalizedRelative("2Power", 0.3), AAX_SUCCESS);
    EXPECT_EQ(Confirm(), 1u);
    EXPECT_EQ(effect->Value("2Power"), 1.0);
    EXPECT_EQ(effect->UpdateParameterNormalizedRelative("2Power", -2.0), AAX_SUCCESS);

    // Without the host's automation, values and restores are final at once.
    ChunkBuffer saved = SaveChunk();
    effect->Uninitialize();
    instance->GetContext().Remove(IID_IAAXAutomationDelegateV1);
    ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.75), AAX_SUCCESS);
    EXPECT_EQ(effect->Value("2Power"), 0.75);
    EXPECT_EQ(effect->SetChunk(kElck, saved.get()), AAX_SUCCESS);
    EXPECT_EQ(effect->Value("2Power") + effect->Value("1Output Gain"), 0.25);
}

TEST_F(EffectTest, EachCallAnswersItsResultCode)
{
    const char* const unknown = "99Nope";
    AAX_CString text("kept");
    AAX_IParameter* parameter = nullptr;
    double value = 7.0;
    int32_t number = 7, info = 5;
    AAX_CBoolean flag = 7;
    AAX_CTypeID id = 1;
    uint32_t size = 1;
    ChunkBuffer chunk { 648 };
    const std::pair<std::function<AAX_Result()>, AAX_Result> table[] = {
        { [&] { return effect->GetParameterIsAutomatable(unknown, &flag); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->GetParameterNormalizedValue(unknown, &value); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->SetParameterNormalizedValue(unknown, 0.5); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->SetParameterNormalizedRelative(unknown, 0.1); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->GetParameter(unknown, &parameter); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->GetParameterIDFromIndex(24, &text); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->GetParameterIndex(unknown, &number); }, AAX_ERROR_INVALID_PARAMETER_ID },
        { [&] { return effect->SetParameterNormalizedRelative("2Power", NAN); }, AAX_ERROR_INVALID_ARGUMENT },
        { [&] { return effect->UpdateParameterNormalizedValue("2Power", NAN, {}); }, AAX_ERROR_INVALID_ARGUMENT },
        { [&] { return effect->GetParameterValueFromString("2Power", &value, AAX_CString("2")); },
          AAX_ERROR_INVALID_STRING_CONVERSION },
        { [&] { return effect->GetParameterValueInfo("2Power", 0, &info); }, AAX_ERROR_UNIMPLEMENTED },
        { [&] { return effect->GetParameterName(unknown, &text); }, AAX_SUCCESS }, // a name is never missing
        { [&] { return effect->GetNumberOfParameters(nullptr); }, AAX_ERROR_NULL_ARGUMENT },
        { [&] { return effect->CompareActiveChunk(nullptr, &flag); }, AAX_ERROR_NULL_ARGUMENT },
        { [&] { return effect->SetChunk(kElck, nullptr); }, AAX_ERROR_NULL_ARGUMENT },
        { [&] { return effect->ResetFieldData(2, nullptr, 12); }, AAX_ERROR_NULL_ARGUMENT },
        { [&] { return effect->GetChunkIDFromIndex(1, &id); }, AAX_ERROR_INVALID_CHUNK_INDEX },
        { [&] { return effect->GetChunkIDFromIndex(-1, &id); }, AAX_ERROR_INVALID_CHUNK_INDEX },
        { [&] { return effect->GetChunkSize(FourCC("juce"), &size); }, AAX_ERROR_INVALID_CHUNK_ID },
        { [&] { return effect->SetChunk(FourCC("juce"), chunk.get()); }, AAX_ERROR_INVALID_CHUNK_ID },
        { [&] { return effect->GetChunk(kElck, chunk.get()); }, AAX_ERROR_INCORRECT_CHUNK_SIZE }, // no size asked
    };
    for (size_t i = 0; i < std::size(table); ++i)
        EXPECT_EQ(table[i].first(), table[i].second) << i;
    EXPECT_EQ(value, 7.0); // refused calls leave their outputs alone, or clear them
    EXPECT_TRUE(parameter == nullptr && number == -1 && info == 0 && flag == 0 && id == 0 && size == 0);
    EXPECT_EQ(text, AAX_CString(""));
    EXPECT_EQ(Confirm(), 0u);
}

TEST_F(EffectTest, ParametersByIdAndIndexWithTheirNames)
{
    AAX_CString text;
    int32_t index = -5, steps = 0;
    EXPECT_EQ(effect->GetParameterIDFromIndex(1, &text), AAX_SUCCESS);
    EXPECT_EQ(effect->GetParameterIndex("22High Shelf Power", &index), AAX_SUCCESS);
    EXPECT_EQ(effect->GetParameterNumberOfSteps(cDefaultMasterBypassID, &steps), AAX_SUCCESS);
    EXPECT_TRUE(text == AAX_CString("0Input Gain") && index == 23 && steps == 2);
    AAX_IParameter* power = nullptr;
    EXPECT_EQ(effect->GetParameter("2Power", &power), AAX_SUCCESS);
    power->SetNumberOfSteps(0x80000000u); // a step count an int32 cannot carry
    EXPECT_EQ(effect->GetParameterNumberOfSteps("2Power", &steps), AAX_ERROR_SIGNED_INT_OVERFLOW);
    EXPECT_EQ(steps, 2);

    AAX_CParameter<float>* const shelf = aaxtest::MakeFloatParameter("hs", 0.5f, "High Shelf Frequency");
    shelf->AddShortenedName("HS Freq\nHSF");
    shelf->AddShortenedName("HSF");
    effect->Manager().AddParameter(shelf);
    const std::pair<int32_t, const char*> names[] = { { 31, "High Shelf Frequency" },
                                                      { 12, "HS Freq" }, // the longest line that fits
                                                      { 5, "HSF" },
                                                      { 2, "HS" } }; // nothing fits: the shortest form, cut
    for (const auto& [length, name] : names)
    {
        EXPECT_EQ(effect->GetParameterNameOfLength("hs", &text, length), AAX_SUCCESS);
        EXPECT_EQ(text, AAX_CString(name)) << length;
    }
    EXPECT_EQ(effect->GetParameterValueString("0Input Gain", &text, 31), AAX_SUCCESS);
    EXPECT_EQ(text, AAX_CString("0.031"));
}

TEST_F(EffectTest, ChangesAndThePreviewNotification)
{
    int32_t changes = -1;
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("2Power", 3.0 / 32.0, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("3High Pass", 0.5, AAX_eUpdateSource_Chunk), AAX_SUCCESS);
    ++effect->Changes(); // derived classes count changes of their own
    EXPECT_EQ(effect->GetNumberOfChanges(&changes), AAX_SUCCESS);
    EXPECT_EQ(changes, 2); // the same value again was no change

    // The preview flag is copied out of possibly unaligned data, then asked of the host.
    const int32_t on = 1;
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, &on, 4), AAX_SUCCESS); // no preview
    WithPreview();
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, nullptr, 4), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, &on, 2), AAX_ERROR_INVALID_ARGUMENT);
    const uint8_t unaligned[] = { 0, 1, 0, 0, 0 };
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, unaligned + 1, 4), AAX_SUCCESS);
    EXPECT_EQ(Confirm(), 1u);
    EXPECT_EQ(effect->Value(cPreviewParameterID), 1.0);
}

TEST_F(EffectTest, AHostThatThrowsGetsAResultInstead)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    calls.ThrowOnCall(instance->GetAutomation(), "PostSetValueRequest");
    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.5), AAX_ERROR_UNKNOWN_EXCEPTION);
    ASSERT_FALSE(calls.Traces().empty());
    EXPECT_EQ(calls.Traces().back().message, "AAX_CEffectParameters::SetParameterNormalizedValue exception caught: "
                                             "host failure in automation#1.PostSetValueRequest");
    calls.ThrowOnCall(instance->GetController(), "PostPacket");
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_ERROR_UNKNOWN_EXCEPTION);
    calls.ThrowOnCall(instance->GetAutomation(), "UnregisterParameter");
    EXPECT_EQ(effect->Uninitialize(), AAX_SUCCESS); // the parameters still go
}

TEST_F(EffectTest, TheControlsChunkHoldsEveryParameterButTheBypass)
{
    int32_t count = 0;
    AAX_CTypeID id = 0;
    uint32_t size = 0;
    EXPECT_EQ(effect->GetNumberOfChunks(&count), AAX_SUCCESS);
    EXPECT_EQ(effect->GetChunkIDFromIndex(0, &id), AAX_SUCCESS);
    EXPECT_EQ(effect->GetChunkSize(kElck, &size), AAX_SUCCESS);
    EXPECT_TRUE(count == 1 && id == kElck && size == 648u);

    ChunkBuffer chunk { size };
    std::memset(chunk->fName, 'x', sizeof(chunk->fName));
    EXPECT_EQ(effect->GetChunk(kElck, chunk.get()), AAX_SUCCESS);
    EXPECT_TRUE(chunk->fSize == 648 && chunk->fVersion == -1);
    const char expectedName[32] = "Complete Controls State";
    EXPECT_EQ(std::memcmp(chunk->fName, expectedName, 32), 0);
    Bytes expected = aaxtest::kMarker;
    for (int i = 0; i < 23; ++i)
    {
        const Bytes entry = aaxtest::Entry(std::string("d_") + kQuilloParameterIds[i],
                                           BigEndianDouble(float(i + 1) / 32.0f));
        expected.insert(expected.end(), entry.begin(), entry.end());
    }
    EXPECT_EQ(chunk.Data(), expected);

    // The values may not change size between the two calls.
    effect->Manager().AddParameter(aaxtest::MakeFloatParameter("late", 0.5f));
    EXPECT_EQ(effect->GetChunk(kElck, chunk.get()), AAX_ERROR_INCORRECT_CHUNK_SIZE);
}

TEST_F(EffectTest, RestoringAChunkAsksTheHostForEverySavedValueOrForNothing)
{
    auto* const text = new aaxtest::ForeignTypedParameter("txt", aaxtest::ForeignTypedParameter::eText, 0.5f);
    effect->Manager().AddParameter(text);
    ChunkBuffer saved = SaveChunk();
    text->text = "other";
    for (const char* id : kQuilloParameterIds)
        effect->UpdateParameterNormalizedValue(id, 1.0, AAX_eUpdateSource_Parameter);
    effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter);

    // Cut inside the last value: the first 22 entries are fine, but the chunk as a whole is not.
    Bytes data = saved.Data();
    data.resize(data.size() - 4);
    ChunkBuffer cut = ChunkBuffer::Holding(data);
    calls.Clear();
    EXPECT_EQ(effect->SetChunk(kElck, cut.get()), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_EQ(calls.Count("PostTouchRequest"), 0u);
    ChunkBuffer empty = ChunkBuffer::Holding(aaxtest::kMarker); // no values: nothing restored, no error
    EXPECT_EQ(effect->SetChunk(kElck, empty.get()), AAX_SUCCESS);
    EXPECT_TRUE(instance->GetAutomation().Pending().empty());

    EXPECT_EQ(effect->SetChunk(kElck, saved.get()), AAX_SUCCESS);
    EXPECT_EQ(effect->Value("2Power"), 1.0); // requests, not yet values
    EXPECT_EQ(Confirm(), 23u);
    EXPECT_EQ(text->text, "0.500000");
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(effect->Value(kQuilloParameterIds[i]), double(float(i + 1) / 32.0f)) << i;
    EXPECT_EQ(effect->Value(cDefaultMasterBypassID), 1.0); // never saved, never restored
}

TEST_F(EffectTest, ComparingChunks)
{
    ChunkBuffer saved = SaveChunk();
    const auto compare = [&](AAX_SPlugInChunk* chunk, AAX_Result result = AAX_SUCCESS) {
        AAX_CBoolean equal = 7;
        EXPECT_EQ(effect->CompareActiveChunk(chunk, &equal), result);
        return equal;
    };
    EXPECT_EQ(compare(saved.get()), 1);
    // Within single precision the values are the same; beyond it they differ; the bypass does not count.
    effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter);
    effect->UpdateParameterNormalizedValue("5Low Shelf Boost", 6.0 / 32.0 + 1e-12, AAX_eUpdateSource_Parameter);
    EXPECT_EQ(compare(saved.get()), 1);
    effect->UpdateParameterNormalizedValue("5Low Shelf Boost", 6.0 / 32.0 + 1e-4, AAX_eUpdateSource_Parameter);
    EXPECT_EQ(compare(saved.get()), 0);

    // A malformed chunk differs, with a result that says so; another chunk id is always "equal".
    ChunkBuffer broken = ChunkBuffer::Holding(aaxtest::Join({ aaxtest::kMarker, { 'd', '_', '0', 'I' } }));
    EXPECT_EQ(compare(broken.get(), AAX_ERROR_MALFORMED_CHUNK), 0);
    saved->fChunkID = FourCC("juce");
    EXPECT_EQ(compare(saved.get()), 1);
}

TEST_F(EffectTest, TheBypassPacketIsPostedOnceThenOnlyAfterAConfirmedValue)
{
    // The same value again changes nothing but is still sent to the algorithm.
    for (const bool bypassed : { false, false, true, true })
    {
        if (bypassed)
            effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter);
        EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    }
    const auto posted = Posted();
    ASSERT_EQ(posted.size(), 3u);
    EXPECT_EQ(posted[0].port, 3);
    EXPECT_EQ(posted[0].data, NativeBytes(0.0f)); // read as an int32 by the algorithm: 0, not bypassed
    EXPECT_EQ(posted[2].data, NativeBytes(1.0f)); // non-zero as an int32: bypassed
}

namespace
{
struct Worker
{
    int calls = 0;
    AAX_Result Fill(AAX_CPacket& packet)
    {
        ++calls;
        std::memcpy(packet.GetPtr<int32_t>(), "PLN!", 4);
        return AAX_SUCCESS;
    }
};
using Handler = AAX_CPacketHandler<Worker>;
} // namespace

TEST_F(EffectTest, ADispatcherPostsDirtyPacketsInIdOrderOncePerPort)
{
    AAX_CPacketDispatcher dispatcher;
    dispatcher.RegisterPacket("0Input Gain", 1);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_ERROR_NULL_OBJECT); // no controller yet: the packet waits
    AAX_VController controller(instance->Unknown());
    dispatcher.Initialize(&controller, effect);
    Worker worker;
    const Handler fill(&worker, &Worker::Fill);
    const Handler empty(&worker, static_cast<Handler::PlainCallback>(nullptr));
    for (const auto& [id, port, handler] : { std::tuple { "2Power", 0, &fill },
                                             { "1Output Gain", 6, nullptr },
                                             { "a", 4, &fill },
                                             { "b", 4, nullptr }, // the first id fills the port
                                             { "c", 5, &empty },
                                             { "d", -1, &fill } }) // posted never
        EXPECT_EQ(handler != nullptr ? dispatcher.RegisterPacket(id, port, handler)
                                     : dispatcher.RegisterPacket(id, port),
                  AAX_SUCCESS);
    EXPECT_EQ(dispatcher.RegisterPacket("e", 3, nullptr), AAX_ERROR_NULL_ARGUMENT);

    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS); // all clean now
    for (const char* id : { "2Power", "b", "d", "no such id", static_cast<const char*>(nullptr) })
        EXPECT_EQ(dispatcher.SetDirty(id, true), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.SetDirty("1Output Gain", true), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.SetDirty("1Output Gain", false), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);

    std::vector<std::pair<AAX_CFieldIndex, Bytes>> posted;
    for (const auto& packet : Posted())
        posted.emplace_back(packet.port, packet.data);
    const Bytes filled { 'P', 'L', 'N', '!' };
    EXPECT_EQ(posted, (std::vector<std::pair<AAX_CFieldIndex, Bytes>> { { 1, NativeBytes(1.0f / 32.0f) },
                                                                        { 6, NativeBytes(2.0f / 32.0f) },
                                                                        { 0, filled },
                                                                        { 4, filled },
                                                                        { 0, filled },
                                                                        { 4, filled } }));
    EXPECT_EQ(worker.calls, 4);

    // The host's refusal of the last post is the dispatch's result; the packet is clean anyway.
    calls.FailCall(instance->GetController(), "PostPacket", AAX_ERROR_POST_PACKET_FAILED);
    dispatcher.SetDirty("a", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_ERROR_POST_PACKET_FAILED);
    calls.ResetSwitches(instance->GetController());
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 6u);
}

namespace
{
/** An editor that records what the base asks of it, in a log that outlives it, and sizes the
    host's view the way the framework's editor does. */
struct RecordingGUI : AAX_CEffectGUI
{
    explicit RecordingGUI(std::shared_ptr<std::vector<std::string>> events)
        : events(std::move(events))
    {
    }
    void CreateViewContents() override { events->push_back("CreateViewContents"); }
    void CreateViewContainer() override
    {
        events->push_back("CreateViewContainer");
        AAX_Point size { 250.0f, 800.0f };
        sizeResult = GetViewContainer()->SetViewSize(size);
    }
    void DeleteViewContainer() override // notes what is still there when the contents go
    {
        events->push_back(std::string("Delete") + (GetEffectParameters() != nullptr ? " effect" : "")
                          + (GetViewContainer() != nullptr ? " view" : ""));
    }
    AAX_Result ParameterUpdated(AAX_CParamID id) override
    {
        events->push_back(id);
        return AAX_SUCCESS;
    }
    std::shared_ptr<std::vector<std::string>> events;
    AAX_Result sizeResult = 1;
};
} // namespace

TEST_F(EffectTest, TheEditorShowsEveryParameterAndHoldsTheDataModelUntilUninitialize)
{
    effect->Manager().RemoveAllParameters();
    for (const char* id : { "a", "b" })
        effect->Manager().AddParameter(aaxtest::MakeFloatParameter(id, 0.5f));
    const auto refs = [&] {
        const uint32_t count = held->AddRef() - 1;
        held->Release();
        return count;
    };
    const uint32_t effectRefs = refs();
    const uint32_t viewRefs = instance->GetView().RefCount();
    const uint32_t controllerRefs = instance->GetController().RefCount();
    using Events = std::vector<std::string>;
    auto events = std::make_shared<Events>();
    auto* gui = new RecordingGUI(events);
    ACFPtr<IACFUnknown> heldGui = aaxtest::Own(gui);

    EXPECT_EQ(gui->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->GetEffectParameters(), static_cast<AAX_IEffectParameters*>(effect));
    EXPECT_EQ(refs(), effectRefs + 1);
    EXPECT_EQ(gui->SetViewContainer(instance->ViewUnknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->sizeResult, AAX_SUCCESS); // the editor sized the host's view through the container
    EXPECT_EQ(instance->GetView().size.horz, 800.0f);
    EXPECT_EQ(gui->SetViewContainer(instance->ViewUnknown()), AAX_SUCCESS); // a second view replaces the first
    EXPECT_EQ(instance->GetView().RefCount(), viewRefs + 2);                // one wrapper: both versions
    EXPECT_EQ(gui->SetViewContainer(nullptr), AAX_SUCCESS);
    EXPECT_EQ(gui->SetViewContainer(instance->ViewUnknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS); // the contents go while the data model is still held
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(refs(), effectRefs);
    EXPECT_EQ(*events, (Events { "CreateViewContents", "CreateViewContainer", "a", "b", "Delete effect view",
                                 "CreateViewContainer", "a", "b", "Delete effect view", "CreateViewContainer", "a", "b",
                                 "Delete effect view" }));

    // Initialised twice and released while attached: nothing of the gone editor is called, nothing leaks.
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    EXPECT_EQ(instance->GetController().RefCount(), controllerRefs + 3); // one wrapper, three versions
    gui->SetViewContainer(instance->ViewUnknown());
    events->clear();
    heldGui.reset();
    EXPECT_TRUE(events->empty());
    EXPECT_EQ(refs(), effectRefs);
    EXPECT_EQ(instance->GetView().RefCount() + instance->GetController().RefCount(), viewRefs + controllerRefs);
}
