#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CString.h"
#include "AAX_UIDs.h"
#include "HostServices.h"
#include "PageTable.h"

using aaxtest::ChunkBuffer;
using aaxtest::FourCC;
using aaxtest::kQuilloParameterIds;
using aaxtest::QuilloEffect;
using Bytes = std::vector<uint8_t>;

namespace
{
/** The product's data model on its own instance context, bound so that the host confirms its
    requests. Initialised by the tests themselves. */
class EffectTest : public aaxtest::BoundEffectTest<QuilloEffect>
{
protected:
    void Initialize() { ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS); }

    /** Lets the host confirm what the effect requested. */
    size_t Confirm() { return instance->GetAutomation().ConfirmPending(); }

    /** The effect's 'elck' chunk, as a host fetches it. */
    ChunkBuffer SaveChunk()
    {
        uint32_t size = 0;
        EXPECT_EQ(effect->GetChunkSize(FourCC("elck"), &size), AAX_SUCCESS);
        ChunkBuffer chunk { size };
        EXPECT_EQ(effect->GetChunk(FourCC("elck"), chunk.get()), AAX_SUCCESS);
        return chunk;
    }
};

uint64_t DoubleBits(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
} // namespace

TEST_F(EffectTest, InitializeTakesTheHostsServicesInOrderAndUninitializeGivesBackEverything)
{
    const uint32_t controllerRefs = instance->GetController().RefCount();
    const uint32_t automationRefs = instance->GetAutomation().RefCount();
    const uint32_t transportRefs = instance->GetTransport().RefCount();
    calls.Clear();
    Initialize();

    EXPECT_EQ(calls.TextsOf("instance#1", true),
              (std::vector<std::string> {
                  "QueryInterface(IID_IAAXControllerV1)", "QueryInterface(IID_IAAXControllerV2)",
                  "QueryInterface(IID_IAAXControllerV3)", "QueryInterface(IID_IAAXPageTableController)",
                  "QueryInterface(IID_IAAXPageTableControllerV2)", "QueryInterface(IID_IACFComponentFactory)",
                  "QueryInterface(IID_IAAXAutomationDelegateV1)", "QueryInterface(IID_IAAXTransportV1)",
                  "QueryInterface(IID_IAAXTransportV2)" }));
    EXPECT_EQ(effect->effectInitCalls, 1);
    EXPECT_NE(effect->Transport(), nullptr);
    EXPECT_NE(effect->AutomationDelegate(), nullptr);
    EXPECT_EQ(instance->GetAutomation().Registered().size(), 24u);
    EXPECT_EQ(effect->Filtered(), (std::set<std::string> { "MasterBypassID" }));

    int32_t count = 0;
    EXPECT_EQ(effect->GetNumberOfParameters(&count), AAX_SUCCESS);
    EXPECT_EQ(count, 24);

    // The wrapper answers from the host's controller.
    EXPECT_EQ(effect->Controller()->SetSignalLatency(192), AAX_SUCCESS);
    EXPECT_EQ(instance->GetController().state.signalLatency, 192);

    EXPECT_EQ(effect->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(effect->Controller(), nullptr);
    EXPECT_EQ(effect->AutomationDelegate(), nullptr);
    EXPECT_TRUE(instance->GetAutomation().Registered().empty());
    EXPECT_EQ(calls.Count("UnregisterParameter"), 24u);
    EXPECT_EQ(effect->GetNumberOfParameters(&count), AAX_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(instance->GetController().RefCount(), controllerRefs);
    EXPECT_EQ(instance->GetAutomation().RefCount(), automationRefs);
    EXPECT_EQ(instance->GetTransport().RefCount(), transportRefs);

    // Nothing is left that could reach the freed controller.
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(effect->Uninitialize(), AAX_SUCCESS);
}

TEST_F(EffectTest, ASecondInitializeStartsOverAndAFailedEffectInitIsReturned)
{
    Initialize();
    Initialize();
    EXPECT_EQ(effect->effectInitCalls, 2);
    EXPECT_EQ(instance->GetAutomation().Registered().size(), 24u);
    EXPECT_EQ(calls.Count("UnregisterParameter"), 24u);

    effect->effectInitResult = AAX_ERROR_UNIMPLEMENTED;
    EXPECT_EQ(effect->Initialize(instance->Unknown()), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_NE(effect->Controller(), nullptr);   // the wrappers stay until Uninitialize
    EXPECT_TRUE(effect->Filtered().count("MasterBypassID") != 0);
}

TEST_F(EffectTest, ReleasedWithoutUninitializeLeavesNothingBehind)
{
    const uint32_t liveBefore = CACFUnknown::GetActiveObjectCount();
    Initialize();
    instance->UnbindEffect();
    effect = nullptr;
    held.reset();   // the last reference: the object goes, wrappers and parameters with it

    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), liveBefore - 1);
    EXPECT_TRUE(instance->GetAutomation().Registered().empty());
    EXPECT_EQ(calls.Count("UnregisterParameter"), 24u);
    // The fixture checks that the host got every reference back.
}

TEST_F(EffectTest, WithTheHostsAutomationAValueChangesOnlyWhenTheHostConfirmsIt)
{
    Initialize();
    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.75), AAX_SUCCESS);
    EXPECT_EQ(effect->Value("2Power"), 3.0 / 32.0);
    EXPECT_EQ(calls.TextsOf("automation#1").back(), "PostReleaseRequest(\"2Power\")");
    // A newer request for the same id replaces the queued one: the queue holds one per id.
    EXPECT_EQ(effect->SetParameterNormalizedValue("1Output Gain", 0.25), AAX_SUCCESS);
    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.5), AAX_SUCCESS);
    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.75), AAX_SUCCESS);
    const auto pending = instance->GetAutomation().Pending();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[1].parameterID, "2Power");
    EXPECT_EQ(pending[1].value, 0.75);

    EXPECT_EQ(Confirm(), 2u);
    EXPECT_EQ(effect->Value("2Power"), 0.75);
    EXPECT_EQ(calls.TextsOf("automation#1").back(), "PostCurrentValue(\"2Power\", 0.75)");

    // Relative changes are limited to 0..1.
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("2Power", 0.9, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
    EXPECT_EQ(effect->SetParameterNormalizedRelative("2Power", 0.3), AAX_SUCCESS);
    Confirm();
    EXPECT_EQ(effect->Value("2Power"), 1.0);
    EXPECT_EQ(effect->SetParameterNormalizedRelative("2Power", -2.0), AAX_SUCCESS);
    Confirm();
    EXPECT_EQ(effect->Value("2Power"), 0.0);
    EXPECT_EQ(effect->UpdateParameterNormalizedRelative("2Power", 0.25), AAX_SUCCESS);
    EXPECT_EQ(effect->Value("2Power"), 0.25);
    EXPECT_EQ(effect->SetParameterNormalizedRelative("nope", 0.1), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(effect->SetParameterNormalizedRelative("2Power", std::nan("")), AAX_ERROR_INVALID_ARGUMENT);

    // Touch and release reach the host as a gesture.
    EXPECT_EQ(effect->TouchParameter("2Power"), AAX_SUCCESS);
    AAX_CBoolean touched = 0;
    instance->GetAutomation().GetTouchState("2Power", &touched);
    EXPECT_EQ(touched, 1);
    EXPECT_EQ(effect->ReleaseParameter("2Power"), AAX_SUCCESS);
    EXPECT_EQ(effect->TouchParameter("nope"), AAX_ERROR_INVALID_PARAMETER_ID);
}

TEST_F(EffectTest, WithoutTheHostsAutomationValuesAreSetAtOnce)
{
    instance->GetContext().Remove(IID_IAAXAutomationDelegateV1);
    Initialize();
    EXPECT_EQ(effect->AutomationDelegate(), nullptr);

    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.75), AAX_SUCCESS);
    EXPECT_EQ(effect->Value("2Power"), 0.75);
    int32_t changes = 0;
    effect->GetNumberOfChanges(&changes);
    EXPECT_EQ(changes, 1);

    // The algorithm hears of it as of a confirmed value.
    effect->GenerateCoefficients();
    calls.ClearPosted();
    EXPECT_EQ(effect->SetParameterNormalizedValue(cDefaultMasterBypassID, 1.0), AAX_SUCCESS);
    effect->GenerateCoefficients();
    EXPECT_EQ(calls.Posted(instance->GetController()).size(), 1u);
    EXPECT_EQ(calls.Count("PostSetValueRequest"), 0u);

    // A restore is final at once too.
    ChunkBuffer saved = SaveChunk();
    for (int i = 0; i < 23; ++i)
        effect->SetParameterNormalizedValue(kQuilloParameterIds[i], 1.0);
    int32_t before = 0;
    effect->GetNumberOfChanges(&before);
    EXPECT_EQ(effect->SetChunk(FourCC("elck"), saved.get()), AAX_SUCCESS);
    effect->GetNumberOfChanges(&changes);
    EXPECT_EQ(changes - before, 23);
    EXPECT_EQ(effect->Value("22High Shelf Power"), 23.0 / 32.0);
}

TEST_F(EffectTest, ParametersAreFoundById)
{
    Initialize();
    AAX_IParameter* power = nullptr;
    EXPECT_EQ(effect->GetParameter("2Power", &power), AAX_SUCCESS);
    EXPECT_EQ(power, effect->Manager().GetParameterByID("2Power"));

    int32_t index = -5;
    EXPECT_EQ(effect->GetParameterIndex(cDefaultMasterBypassID, &index), AAX_SUCCESS);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(effect->GetParameterIndex("22High Shelf Power", &index), AAX_SUCCESS);
    EXPECT_EQ(index, 23);

    AAX_CString id;
    EXPECT_EQ(effect->GetParameterIDFromIndex(1, &id), AAX_SUCCESS);
    EXPECT_EQ(id, AAX_CString("0Input Gain"));
    EXPECT_EQ(effect->GetParameterIDFromIndex(24, &id), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(id, AAX_CString(""));

    EXPECT_EQ(effect->GetMasterBypassParameter(&id), AAX_SUCCESS);
    EXPECT_EQ(id, AAX_CString("MasterBypassID"));

    AAX_CBoolean automatable = 9;
    int32_t steps = 0;
    AAX_EParameterType type = AAX_eParameterType_Continuous;
    double value = 0.0;
    EXPECT_EQ(effect->GetParameterIsAutomatable("2Power", &automatable), AAX_SUCCESS);
    EXPECT_EQ(automatable, 1);
    EXPECT_EQ(effect->GetParameterNumberOfSteps(cDefaultMasterBypassID, &steps), AAX_SUCCESS);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(effect->GetParameterType(cDefaultMasterBypassID, &type), AAX_SUCCESS);
    EXPECT_EQ(type, AAX_eParameterType_Discrete);

    // Defaults: the product's (index + 1) / 32, and a new one.
    EXPECT_EQ(effect->GetParameterDefaultNormalizedValue("2Power", &value), AAX_SUCCESS);
    EXPECT_EQ(value, 3.0 / 32.0);
    EXPECT_EQ(effect->SetParameterDefaultNormalizedValue("2Power", 0.5), AAX_SUCCESS);
    EXPECT_EQ(effect->GetParameterDefaultNormalizedValue("2Power", &value), AAX_SUCCESS);
    EXPECT_EQ(value, 0.5);
    EXPECT_EQ(effect->GetParameterNormalizedValue("2Power", &value), AAX_SUCCESS);
    EXPECT_EQ(value, 3.0 / 32.0);

    // A step count an int32 cannot carry.
    power->SetNumberOfSteps(0x80000000u);
    steps = 3;
    EXPECT_EQ(effect->GetParameterNumberOfSteps("2Power", &steps), AAX_ERROR_SIGNED_INT_OVERFLOW);
    EXPECT_EQ(steps, 3);
}

TEST_F(EffectTest, UnknownIdsAndNullOutputsAreRefusedWithoutSideEffects)
{
    Initialize();
    const char* const unknown = "99Nope";
    AAX_CString text("kept");
    double value = 7.0;
    int32_t number = 7;
    AAX_CBoolean flag = 7;
    AAX_IParameter* parameter = reinterpret_cast<AAX_IParameter*>(&number);

    EXPECT_EQ(effect->GetParameterIsAutomatable(unknown, &flag), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(effect->SetParameterDefaultNormalizedValue(unknown, 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(effect->GetParameterValueFromString(unknown, &value, AAX_CString("0.5")), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(effect->GetParameterStringFromValue(unknown, 0.5, &text, 8), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(effect->GetParameterNormalizedValue(unknown, &value), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(effect->SetParameterNormalizedValue(unknown, 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(effect->UpdateParameterNormalizedValue(unknown, 0.5, AAX_eUpdateSource_Parameter),
              AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(value, 7.0);
    EXPECT_EQ(text, AAX_CString("kept"));
    EXPECT_EQ(effect->GetParameter(unknown, &parameter), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(parameter, nullptr);
    EXPECT_EQ(effect->GetParameterIndex(unknown, &number), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(number, -1);
    EXPECT_EQ(effect->GetParameterName(unknown, &text), AAX_SUCCESS); // a name is never missing...
    EXPECT_EQ(text, AAX_CString(""));                                 // ... only empty
    EXPECT_EQ(effect->GetParameterIndex(nullptr, &number), AAX_ERROR_INVALID_PARAMETER_ID);

    const char* const id = "2Power";
    EXPECT_EQ(effect->GetNumberOfParameters(nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetParameterName(id, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetParameter(id, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetParameterValueFromString(id, nullptr, AAX_CString("1")), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetParameterNormalizedValue(id, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetNumberOfChanges(nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetNumberOfChunks(nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetChunkSize(FourCC("elck"), nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetChunk(FourCC("elck"), nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->SetChunk(FourCC("elck"), nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->CompareActiveChunk(nullptr, &flag), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->GetCustomData(0, 0, nullptr, nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(EffectTest, NamesAndTextsOfValues)
{
    Initialize();
    AAX_CParameter<float>* const gain = aaxtest::MakeFloatParameter("g", 0.5f, "Gain");
    AAX_CParameter<float>* const shelf = aaxtest::MakeFloatParameter("hs", 0.5f, "High Shelf Frequency");
    shelf->AddShortenedName("HS Freq\nHSF");
    shelf->AddShortenedName("HSF");
    effect->Manager().AddParameter(gain);
    effect->Manager().AddParameter(shelf);

    AAX_CString text;
    const auto nameOf = [&](const char* id, int32_t length) {
        AAX_CString name("untouched");
        EXPECT_EQ(effect->GetParameterNameOfLength(id, &name, length), AAX_SUCCESS);
        return std::string(name.Get());
    };
    EXPECT_EQ(nameOf("g", 31), "Gain");
    EXPECT_EQ(nameOf("g", 2), "Ga");
    EXPECT_EQ(nameOf("hs", 31), "High Shelf Frequency");
    EXPECT_EQ(nameOf("hs", 12), "HS Freq"); // the longest line that fits
    EXPECT_EQ(nameOf("hs", 5), "HSF");
    EXPECT_EQ(nameOf("hs", 2), "HS"); // nothing fits: the shortest form, cut
    EXPECT_EQ(nameOf("nope", 8), "");

    EXPECT_EQ(effect->GetParameterValueString("0Input Gain", &text, 31), AAX_SUCCESS);
    EXPECT_EQ(text, AAX_CString("0.031"));
    EXPECT_EQ(effect->GetParameterStringFromValue("0Input Gain", 0.5, &text, 3), AAX_SUCCESS);
    EXPECT_EQ(text, AAX_CString("0.5"));

    double value = 7.0;
    EXPECT_EQ(effect->GetParameterValueFromString("0Input Gain", &value, AAX_CString("0.25")), AAX_SUCCESS);
    EXPECT_EQ(value, 0.25);
    value = 7.0;
    EXPECT_EQ(effect->GetParameterValueFromString("0Input Gain", &value, AAX_CString("loud")),
              AAX_ERROR_INVALID_STRING_CONVERSION);
    EXPECT_EQ(effect->GetParameterValueFromString("0Input Gain", &value, AAX_CString("2")),
              AAX_ERROR_INVALID_STRING_CONVERSION);
    EXPECT_EQ(value, 7.0);

    int32_t info = 5;
    EXPECT_EQ(effect->GetParameterValueInfo("0Input Gain", 0, &info), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(info, 0);
}

TEST_F(EffectTest, TheChangeCounterCountsEffectiveChanges)
{
    Initialize();
    int32_t changes = -1;
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("2Power", 3.0 / 32.0, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
    EXPECT_EQ(effect->GetNumberOfChanges(&changes), AAX_SUCCESS);
    EXPECT_EQ(changes, 0); // the same value is no change
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("2Power", 0.5, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("3High Pass", 0.5, AAX_eUpdateSource_Chunk), AAX_SUCCESS);
    effect->GetNumberOfChanges(&changes);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(effect->UpdateParameterNormalizedValue("2Power", std::nan(""), AAX_eUpdateSource_Parameter),
              AAX_ERROR_INVALID_ARGUMENT);
    ++effect->Changes(); // derived classes count changes of their own
    effect->GetNumberOfChanges(&changes);
    EXPECT_EQ(changes, 3);

    effect->Changes() = -4;
    changes = 11;
    EXPECT_EQ(effect->GetNumberOfChanges(&changes), AAX_SUCCESS);
    EXPECT_EQ(changes, 11);
}

TEST_F(EffectTest, ThePreviewNotificationChecksItsData)
{
    Initialize();
    const int32_t on = 1;
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, &on, 4), AAX_SUCCESS);   // no preview parameter
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_TrackNameChanged, nullptr, 0), AAX_SUCCESS);

    effect->addPreview = true;
    Initialize();
    bool preview = true;
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, nullptr, 4), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, &on, 2), AAX_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(Confirm(), 0u);
    effect->Manager().GetParameterByID(cPreviewParameterID)->GetValueAsBool(&preview);
    EXPECT_FALSE(preview);

    // Unaligned data is fine: the flag is copied out, not read in place.
    const uint8_t unaligned[] = { 0, 1, 0, 0, 0 };
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, unaligned + 1, 4), AAX_SUCCESS);
    Confirm();
    effect->Manager().GetParameterByID(cPreviewParameterID)->GetValueAsBool(&preview);
    EXPECT_TRUE(preview);
}

TEST_F(EffectTest, FieldDataIsZeroedWithinItsSizeOnly)
{
    Initialize();
    uint8_t block[16];
    std::memset(block, 0xAB, sizeof(block));
    EXPECT_EQ(effect->ResetFieldData(2, block, 12), AAX_SUCCESS);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[11], 0);
    EXPECT_EQ(block[12], 0xAB);
    EXPECT_EQ(effect->ResetFieldData(2, nullptr, 12), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->ResetFieldData(2, nullptr, 0), AAX_SUCCESS);
}

TEST_F(EffectTest, PageTablesReachTheHookOnlyWhenTheyAreTables)
{
    Initialize();
    effect->pageTableIds = { "2Power", "0Input Gain" };

    void* raw = nullptr;
    ASSERT_EQ(host->GetFactory().CreateComponent(AAXCompID_PageTable, nullptr, IID_IACFUnknown, &raw), ACF_OK);
    ACFPtr<IACFUnknown> table;
    table.attach(static_cast<IACFUnknown*>(raw));

    EXPECT_EQ(effect->UpdatePageTable(FourCC("PgTL"), 8, instance->Unknown(), table.get()), AAX_SUCCESS);
    EXPECT_EQ(effect->pageTableCalls, 1);
    auto* const hostTable = host->GetFactory().CreatedOf<aaxhost::PageTable>().at(0);
    AAX_CString id;
    EXPECT_EQ(hostTable->GetMappedParameterID(0, 1, id), AAX_SUCCESS);
    EXPECT_EQ(id, AAX_CString("0Input Gain"));

    // Something that is no page table: nothing to fill, and no failure.
    EXPECT_EQ(effect->UpdatePageTable(FourCC("PgTL"), 8, instance->Unknown(), instance->Unknown()), AAX_SUCCESS);
    EXPECT_EQ(effect->UpdatePageTable(FourCC("PgTL"), 8, instance->Unknown(), nullptr), AAX_SUCCESS);
    EXPECT_EQ(effect->pageTableCalls, 1);

    // The base's own hook provides no table.
    auto* const plain = new AAX_CEffectParameters;
    const ACFPtr<IACFUnknown> plainHeld = aaxtest::Own(plain);
    EXPECT_EQ(plain->UpdatePageTable(FourCC("PgTL"), 8, instance->Unknown(), table.get()), AAX_ERROR_UNIMPLEMENTED);
}

TEST_F(EffectTest, AHostThatThrowsGetsAResultInstead)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    Initialize();
    calls.ThrowOnCall(instance->GetAutomation(), "PostSetValueRequest");
    EXPECT_EQ(effect->SetParameterNormalizedValue("2Power", 0.5), AAX_ERROR_UNKNOWN_EXCEPTION);
    ASSERT_FALSE(calls.Traces().empty());
    EXPECT_EQ(calls.Traces().back().message,
              "AAX_CEffectParameters::SetParameterNormalizedValue exception caught: "
              "host failure in automation#1.PostSetValueRequest");

    calls.ThrowOnCall(instance->GetController(), "PostPacket");
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_ERROR_UNKNOWN_EXCEPTION);

    // Unregistering throws too: the parameters still go, and so does the process's calm.
    calls.ThrowOnCall(instance->GetAutomation(), "UnregisterParameter");
    EXPECT_EQ(effect->Uninitialize(), AAX_SUCCESS);
    int32_t count = -1;
    effect->GetNumberOfParameters(&count);
    EXPECT_EQ(count, 0);
}

// ---------------------------------------------------------------------------------------------
// The controls chunk

TEST_F(EffectTest, TheControlsChunkIsTheOnlyChunkOfTheBase)
{
    Initialize();
    int32_t count = 0;
    AAX_CTypeID id = 1;
    uint32_t size = 1;
    EXPECT_EQ(effect->GetNumberOfChunks(&count), AAX_SUCCESS);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(effect->GetChunkIDFromIndex(0, &id), AAX_SUCCESS);
    EXPECT_EQ(id, FourCC("elck"));
    EXPECT_EQ(effect->GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
    EXPECT_EQ(effect->GetChunkSize(FourCC("juce"), &size), AAX_ERROR_INVALID_CHUNK_ID);

    ChunkBuffer chunk { 648 };
    EXPECT_EQ(effect->GetChunk(FourCC("elck"), chunk.get()), AAX_ERROR_INCORRECT_CHUNK_SIZE); // no size asked for
    EXPECT_EQ(effect->SetChunk(FourCC("juce"), chunk.get()), AAX_ERROR_INVALID_CHUNK_ID);
}

TEST_F(EffectTest, TheChunkHoldsEveryParameterButTheBypass)
{
    Initialize();
    uint32_t size = 0;
    EXPECT_EQ(effect->GetChunkSize(FourCC("elck"), &size), AAX_SUCCESS);
    EXPECT_EQ(size, 648u);

    ChunkBuffer chunk { size };
    std::memset(chunk->fName, 'x', sizeof(chunk->fName));
    EXPECT_EQ(effect->GetChunk(FourCC("elck"), chunk.get()), AAX_SUCCESS);
    EXPECT_EQ(chunk->fSize, 648);
    EXPECT_EQ(chunk->fVersion, -1);
    char expectedName[32] = "Complete Controls State";
    EXPECT_EQ(std::memcmp(chunk->fName, expectedName, 32), 0);

    Bytes expected = aaxtest::kMarker;
    for (int i = 0; i < 23; ++i)
    {
        const Bytes entry = aaxtest::Entry(std::string("d_") + kQuilloParameterIds[i],
                                           aaxtest::BigEndian(DoubleBits(double(float(i + 1) / 32.0f)), 8));
        expected.insert(expected.end(), entry.begin(), entry.end());
    }
    EXPECT_EQ(chunk.Data(), expected);

    // The values may not change size between the two calls.
    effect->Manager().AddParameter(aaxtest::MakeFloatParameter("late", 0.5f));
    EXPECT_EQ(effect->GetChunk(FourCC("elck"), chunk.get()), AAX_ERROR_INCORRECT_CHUNK_SIZE);
}

TEST_F(EffectTest, RestoringAChunkAsksTheHostForEverySavedValue)
{
    Initialize();
    ChunkBuffer saved = SaveChunk();

    for (int i = 0; i < 23; ++i)
        effect->UpdateParameterNormalizedValue(kQuilloParameterIds[i], 0.0, AAX_eUpdateSource_Parameter);
    effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter);

    EXPECT_EQ(effect->SetChunk(FourCC("elck"), saved.get()), AAX_SUCCESS);
    EXPECT_EQ(instance->GetAutomation().Pending().size(), 23u);
    EXPECT_EQ(effect->Value("2Power"), 0.0);   // requests, not yet values
    EXPECT_EQ(Confirm(), 23u);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(effect->Value(kQuilloParameterIds[i]), double(float(i + 1) / 32.0f)) << i;
    EXPECT_EQ(effect->Value(cDefaultMasterBypassID), 1.0);   // never saved, never restored

    AAX_CBoolean equal = 0;
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);
}

TEST_F(EffectTest, ChunksOfEveryValueTypeRoundTrip)
{
    effect->addBypass = false;
    Initialize();
    auto* const integer = new aaxtest::ForeignTypedParameter("int", aaxtest::ForeignTypedParameter::eInt32, 3.0f);
    auto* const real = new aaxtest::ForeignTypedParameter("dbl", aaxtest::ForeignTypedParameter::eDouble, 0.125f);
    auto* const text = new aaxtest::ForeignTypedParameter("txt", aaxtest::ForeignTypedParameter::eText, 0.0f);
    text->text = "five!";
    effect->Manager().AddParameter(integer);
    effect->Manager().AddParameter(real);
    effect->Manager().AddParameter(text);
    effect->Manager().AddParameter(new AAX_CParameter<bool>("bool", AAX_CString("b"), true,
                                                            AAX_CBinaryTaperDelegate<bool>(),
                                                            AAX_CBinaryDisplayDelegate<bool>("off", "on")));

    AAX_CString bypass("x");
    effect->GetMasterBypassParameter(&bypass);
    EXPECT_EQ(bypass, AAX_CString(""));

    ChunkBuffer saved = SaveChunk();
    const Bytes data = saved.Data();
    const Bytes tail = aaxtest::Join({ aaxtest::Entry("l_int", aaxtest::BigEndian(3, 4)),
                                       aaxtest::Entry("d_dbl", aaxtest::BigEndian(DoubleBits(0.125), 8)),
                                       aaxtest::Entry("r_txt", { 'f', 'i', 'v', 'e', '!', 0, 0, 0 }),
                                       aaxtest::Entry("l_bool", aaxtest::BigEndian(1, 4)) });
    ASSERT_GE(data.size(), tail.size());
    EXPECT_EQ(Bytes(data.end() - long(tail.size()), data.end()), tail);

    integer->stored = 9;
    real->stored = 0.5;
    text->text = "other";
    effect->UpdateParameterNormalizedValue("bool", 0.0, AAX_eUpdateSource_Parameter);
    AAX_CBoolean equal = 1;
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 0);

    EXPECT_EQ(effect->SetChunk(FourCC("elck"), saved.get()), AAX_SUCCESS);
    Confirm();
    EXPECT_EQ(integer->stored, 3.0);
    EXPECT_EQ(real->stored, 0.125);
    EXPECT_EQ(text->text, "five!");
    EXPECT_EQ(effect->Value("bool"), 1.0);
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);
}

TEST_F(EffectTest, ComparingChunks)
{
    Initialize();
    ChunkBuffer saved = SaveChunk();
    AAX_CBoolean equal = 0;
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);

    // Within single precision the values are the same; beyond it they differ.
    effect->UpdateParameterNormalizedValue("5Low Shelf Boost", 6.0 / 32.0 + 1e-12, AAX_eUpdateSource_Parameter);
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);
    effect->UpdateParameterNormalizedValue("5Low Shelf Boost", 6.0 / 32.0 + 1e-4, AAX_eUpdateSource_Parameter);
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 0);

    // The bypass is not part of the comparison; another chunk id is always "equal".
    effect->UpdateParameterNormalizedValue("5Low Shelf Boost", 6.0 / 32.0, AAX_eUpdateSource_Parameter);
    effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter);
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);
    saved->fChunkID = FourCC("juce");
    equal = 0;
    EXPECT_EQ(effect->CompareActiveChunk(saved.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);

    // A chunk missing a parameter differs; so does a malformed one, with a result that says so.
    ChunkBuffer partial = ChunkBuffer::Holding(aaxtest::Join(
        { aaxtest::kMarker, aaxtest::Entry("d_0Input Gain", aaxtest::BigEndian(DoubleBits(1.0 / 32.0), 8)) }));
    EXPECT_EQ(effect->CompareActiveChunk(partial.get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 0);
    ChunkBuffer broken = ChunkBuffer::Holding(aaxtest::Join({ aaxtest::kMarker, { 'd', '_', '0', 'I' } }));
    equal = 1;
    EXPECT_EQ(effect->CompareActiveChunk(broken.get(), &equal), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_EQ(equal, 0);
}

TEST_F(EffectTest, AMalformedChunkChangesNothing)
{
    Initialize();
    ChunkBuffer saved = SaveChunk();
    Bytes data = saved.Data();
    for (int i = 0; i < 23; ++i)
        effect->UpdateParameterNormalizedValue(kQuilloParameterIds[i], 1.0, AAX_eUpdateSource_Parameter);

    // Cut inside the last value: the first 22 entries are fine, but the chunk as a whole is not.
    data.resize(data.size() - 4);
    ChunkBuffer cut = ChunkBuffer::Holding(data);
    calls.Clear();
    EXPECT_EQ(effect->SetChunk(FourCC("elck"), cut.get()), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_TRUE(instance->GetAutomation().Pending().empty());
    EXPECT_EQ(calls.Count("PostTouchRequest"), 0u);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(effect->Value(kQuilloParameterIds[i]), 1.0) << i;

    // A chunk without values, or with foreign data, restores nothing and is no error.
    ChunkBuffer empty = ChunkBuffer::Holding(aaxtest::kMarker);
    EXPECT_EQ(effect->SetChunk(FourCC("elck"), empty.get()), AAX_SUCCESS);
    EXPECT_TRUE(instance->GetAutomation().Pending().empty());
}
