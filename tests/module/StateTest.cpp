// State chunks: the library's 'elck' and JUCE's 'juce', saved, changed and restored through the
// stand-in host, and restores that must change nothing.

#include "EngineReference.h"

#include <random>

using namespace quillo::hosted;

TEST_F(ModuleTest, TheInstanceKeepsAnElckAndAJuceChunk)
{
    auto instance = Open(2, 48000.0f);
    ASSERT_EQ(instance->Automate("3High Pass", 0.5), AAX_SUCCESS);
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    std::vector<aaxhost::Chunk> chunks;
    ASSERT_EQ(instance->GetChunks(chunks), AAX_SUCCESS);
    ASSERT_EQ(chunks.size(), 2u);

    const aaxhost::Chunk& elck = chunks[0];
    EXPECT_EQ(elck.id, kElck);
    EXPECT_EQ(elck.name, "Complete Controls State");
    EXPECT_EQ(elck.version, -1);
    ASSERT_EQ(elck.data.size(), 648u);
    // The first entry byte for byte: tag, id, terminator, one pad byte, the value big-endian.
    const std::vector<uint8_t> first = { 'd', '_', '0', 'I', 'n',  'p',  'u', 't', ' ', 'G', 'a', 'i',
                                         'n', 0,   0,   0,   0x3F, 0xE0, 0,   0,   0,   0,   0,   0 };
    EXPECT_EQ(std::vector<uint8_t>(elck.data.begin() + 4, elck.data.begin() + 28), first);
    // Every parameter but the bypass, in index order, each with the instance's value.
    const auto entries = ControlEntries(elck.data);
    EXPECT_EQ(entries.size(), 23u);
    const auto ids = EngineParameterIds(*instance);
    for (size_t i = 0; i < entries.size() && i < ids.size(); ++i)
    {
        EXPECT_EQ(entries[i].first, ids[i]);
        EXPECT_EQ(entries[i].second, instance->ParameterValue(ids[i]));
    }

    // 'juce': exactly the engine's own state blob for the same settings.
    EXPECT_EQ(chunks[1].id, kJuce);
    EXPECT_EQ(chunks[1].data.size(), 104u);
    EXPECT_EQ(chunks[1].data,
              EngineState([](juce::AudioProcessor& engine) { engine.getParameters()[3]->setValue(0.5f); }));
}

TEST_F(ModuleTest, SaveChangeRestoreBringsTheStateBackAndResendsTheValues)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    std::mt19937 random(77);
    for (const auto& id : ids)
        ASSERT_EQ(instance->Automate(id, std::uniform_real_distribution<double>(0.0, 1.0)(random)), AAX_SUCCESS);
    std::vector<aaxhost::Chunk> saved;
    ASSERT_EQ(instance->GetChunks(saved), AAX_SUCCESS);
    const auto savedValues = ParameterValues(*instance, ids);

    ASSERT_EQ(instance->Automate("7Low Shelf Frequency", 0.75), AAX_SUCCESS);
    ASSERT_EQ(instance->Automate("0Input Gain", 1.0), AAX_SUCCESS);
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    calls.Clear();
    ASSERT_EQ(instance->RestoreChunks(saved), AAX_SUCCESS);

    // Every value reaches the host three times as a request the host confirms: the 'elck' chunk
    // sets all 23, the engine's state load tells the host of each value it sets, and JUCE's
    // wrapper re-sends all 23 after the 'juce' chunk.
    const auto requests = calls.TextsOfMethod("PostSetValueRequest");
    EXPECT_EQ(requests.size(), 3u * 23u);
    for (const auto& id : ids)
        EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                                [&](const std::string& r) { return r.find("\"" + id + "\"") != std::string::npos; }),
                  3)
            << id;
    EXPECT_TRUE(instance->Context().GetAutomation().Pending().empty());
    EXPECT_EQ(ParameterValues(*instance, ids), savedValues);
    EXPECT_TRUE(ViewsAgree(*instance));
    std::vector<aaxhost::Chunk> now;
    ASSERT_EQ(instance->GetChunks(now), AAX_SUCCESS);
    EXPECT_EQ(now, saved);
    // The bypass is no part of the saved state: the host keeps it.
    EXPECT_EQ(instance->ParameterValue(instance->BypassID()), 1.0);
    ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);

    // And it sounds as another instance with the same state does.
    const auto input = Signal(48000.0, 0.5, 2);
    const auto output = instance->Process(input, 512);
    auto fresh = Open(2, 48000.0f);
    ASSERT_EQ(fresh->RestoreChunks(saved), AAX_SUCCESS);
    EXPECT_EQ(DifferingSamples(fresh->Process(input, 512), output), 0u);
}

TEST_F(ModuleTest, CompareActiveChunkTellsTheCurrentStateFromAChangedOne)
{
    auto instance = Open(2, 48000.0f);
    aaxhost::Chunk elck;
    ASSERT_EQ(instance->GetChunk(kElck, elck), AAX_SUCCESS);
    const auto compare = [&](const aaxhost::Chunk& chunk) {
        bool equal = false;
        EXPECT_EQ(instance->CompareActiveChunk(chunk, equal), AAX_SUCCESS);
        return equal;
    };
    EXPECT_TRUE(compare(elck));
    ASSERT_EQ(instance->Automate("16High Mid Gain", 0.7), AAX_SUCCESS);
    EXPECT_FALSE(compare(elck));
    // The bypass is not part of the saved controls; chunks other than 'elck' are the library's to
    // call equal.
    ASSERT_EQ(instance->GetChunk(kElck, elck), AAX_SUCCESS);
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    EXPECT_TRUE(compare(elck));
    EXPECT_TRUE(compare(MakeChunk(kJuce, {})));
}

TEST_F(ModuleTest, MalformedChunksAreRefusedWithNothingChanged)
{
    auto instance = Open(2, 48000.0f);
    ASSERT_EQ(instance->Automate("12Low Mid Gain", 0.3), AAX_SUCCESS);
    std::vector<aaxhost::Chunk> before;
    ASSERT_EQ(instance->GetChunks(before), AAX_SUCCESS);

    // 'elck' whose last entry is cut short, or with an unknown tag: refused as a whole.
    aaxhost::Chunk cut = before[0];
    cut.data.resize(cut.data.size() - 3);
    EXPECT_EQ(instance->SetChunk(cut), AAX_ERROR_MALFORMED_CHUNK);
    aaxhost::Chunk badTag = before[0];
    badTag.data[4] = 'q';
    EXPECT_EQ(instance->SetChunk(badTag), AAX_ERROR_MALFORMED_CHUNK);
    bool equal = true;
    EXPECT_EQ(instance->CompareActiveChunk(cut, equal), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_FALSE(equal);
    // Without its marker it holds no values: nothing is set, and it matches nothing.
    aaxhost::Chunk badMarker = before[0];
    badMarker.data[0] = 2;
    EXPECT_EQ(instance->SetChunk(badMarker), AAX_SUCCESS);
    EXPECT_EQ(instance->CompareActiveChunk(badMarker, equal), AAX_SUCCESS);
    EXPECT_FALSE(equal);
    // A 'juce' blob shorter than the 92 bytes of a preset: the engine keeps its state (JUCE's
    // wrapper reports success all the same).
    aaxhost::Chunk shortBlob = before[1];
    shortBlob.data.resize(91);
    EXPECT_EQ(instance->SetChunk(shortBlob), AAX_SUCCESS);

    // A chunk the instance does not have; a saved state with one, or with a chunk twice, is
    // refused before anything is set.
    const auto stranger = MakeChunk(aaxhost::FourCCFromText("abcd"), { 1, 2, 3 });
    EXPECT_EQ(instance->SetChunk(stranger), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(instance->RestoreChunks({ before[0], stranger }), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(instance->RestoreChunks({ before[1], before[1] }), AAX_ERROR_INVALID_CHUNK_ID);

    // A state one of whose chunks is refused after another was set: the instance goes back to
    // what it was, whichever of the two came first.
    auto other = Open(2, 48000.0f);
    ASSERT_EQ(other->Automate("12Low Mid Gain", 0.9), AAX_SUCCESS);
    ASSERT_EQ(other->Automate("0Input Gain", 0.1), AAX_SUCCESS);
    std::vector<aaxhost::Chunk> changed;
    ASSERT_EQ(other->GetChunks(changed), AAX_SUCCESS);
    other->Close();
    aaxhost::Chunk huge = changed[1];
    huge.data.resize(aaxhost::ChunkRecord::kMaxDataSize + 1);
    EXPECT_EQ(instance->RestoreChunks({ changed[1], cut }), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_EQ(instance->RestoreChunks({ changed[0], huge }), AAX_ERROR_INCORRECT_CHUNK_SIZE);

    std::vector<aaxhost::Chunk> after;
    ASSERT_EQ(instance->GetChunks(after), AAX_SUCCESS);
    EXPECT_EQ(after, before);
    EXPECT_EQ(instance->ParameterValue("12Low Mid Gain"), double(0.3f));
}
