// The stand-in host's own parts, without a plug-in: files, packets, the context block, levels;
// and its memory over a long automated render of the real module.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <malloc.h>
#include <thread>
#include <zlib.h>

#include "AlgorithmContext.h"
#include "Chunk.h"
#include "HostError.h"
#include "Levels.h"
#include "PacketQueue.h"
#include "PlugInInstance.h"
#include "PngWriter.h"
#include "RealtimeThread.h"
#include "StandInHost.h"
#include "StateFile.h"
#include "TestSignal.h"
#include "WavFile.h"

using namespace aaxhost;
using Kind = ComponentDescriptor::ContextField::Kind;

namespace
{
std::vector<unsigned char> Bytes(std::initializer_list<int> values)
{
    return std::vector<unsigned char>(values.begin(), values.end());
}

std::vector<unsigned char> PcmWav16(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate)
{
    std::vector<unsigned char> out;
    const auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    const auto text = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    text("RIFF");
    put(uint32_t(36 + samples.size() * 2), 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(rate * channels * 2, 4);
    put(channels * 2u, 2);
    put(16, 2);
    text("data");
    put(uint32_t(samples.size() * 2), 4);
    for (int16_t s : samples)
        put(uint16_t(s), 2);
    return out;
}

ComponentDescription Component(std::vector<std::pair<Kind, uint32_t>> kinds)
{
    ComponentDescription component;
    for (size_t i = 0; i < kinds.size(); ++i)
    {
        ComponentDescriptor::ContextField field;
        field.index = AAX_CFieldIndex(i);
        field.kind = kinds[i].first;
        field.size = kinds[i].second;
        component.fields.push_back(field);
    }
    component.properties[AAX_eProperty_InputStemFormat] = AAX_eStemFormat_Stereo;
    component.properties[AAX_eProperty_OutputStemFormat] = AAX_eStemFormat_Stereo;
    return component;
}
} // namespace

TEST(WavFileTest, SixteenBitPcmReadsAsScaledFloatsInWholeFrames)
{
    AudioData audio;
    std::string error;
    ASSERT_TRUE(WavFile::Parse(PcmWav16({ 0, 16384, -32768, 32767 }, 2, 44100), audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 44100.0);
    ASSERT_EQ(audio.NumChannels(), 2);
    ASSERT_EQ(audio.NumFrames(), 2u);
    EXPECT_EQ(audio.channels[0], (std::vector<float> { 0.0f, -1.0f }));
    EXPECT_EQ(audio.channels[1], (std::vector<float> { 0.5f, 32767.0f / 32768.0f }));

    // A truncated data chunk keeps its whole frames.
    auto bytes = PcmWav16({ 100, 200, 300, 400, 500, 600 }, 2, 8000);
    bytes.resize(bytes.size() - 3);
    ASSERT_TRUE(WavFile::Parse(bytes, audio, error)) << error;
    EXPECT_EQ(audio.NumFrames(), 2u);
}

TEST(WavFileTest, FloatFilesRoundTripBitForBit)
{
    AudioData audio = TestSignal::Make(48000.0, 0.05, 2);
    audio.channels[1][7] = -0.0f;
    const std::string path = testing::TempDir() + "quillo-roundtrip.wav";
    std::string error;
    ASSERT_TRUE(WavFile::Write(path, audio, error)) << error;
    AudioData back;
    ASSERT_TRUE(WavFile::Read(path, back, error)) << error;
    EXPECT_EQ(back.sampleRate, 48000.0);
    ASSERT_EQ(back.channels.size(), 2u);
    EXPECT_EQ(std::memcmp(back.channels[1].data(), audio.channels[1].data(), audio.NumFrames() * 4), 0);
    EXPECT_EQ(back.channels[0], audio.channels[0]);
}

TEST(WavFileTest, BrokenFilesAreRefusedWithAReason)
{
    AudioData audio;
    std::string error;
    EXPECT_FALSE(WavFile::Parse(Bytes({ 'R', 'I', 'F', 'F' }), audio, error));
    const auto good = PcmWav16({ 1, 2 }, 1, 8000);
    EXPECT_FALSE(WavFile::Parse(std::vector<unsigned char>(good.begin(), good.begin() + 36), audio, error));
    EXPECT_EQ(error, "no data chunk");
    for (const auto& [at, value] : { std::pair<size_t, unsigned char> { 34, 12 } /* bits per sample */, { 32, 3 } /* block align */ })
    {
        auto bad = good;
        bad[at] = value;
        EXPECT_FALSE(WavFile::Parse(bad, audio, error)) << at;
    }
    EXPECT_TRUE(audio.channels.empty());
    EXPECT_FALSE(WavFile::Read("/nonexistent/quillo.wav", audio, error));

    AudioData ragged;
    ragged.channels = { { 0.0f, 1.0f }, { 0.0f } };
    EXPECT_FALSE(WavFile::Write(testing::TempDir() + "quillo-ragged.wav", ragged, error));
    ragged.channels = { { 0.0f } };
    ragged.sampleRate = 44100.5;
    EXPECT_FALSE(WavFile::Write(testing::TempDir() + "quillo-rate.wav", ragged, error));
}

TEST(PngWriterTest, WritesAValidRgbFile)
{
    RgbImage image;
    image.width = 3;
    image.height = 2;
    image.pixels = { 255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    const auto png = PngWriter::Encode(image);
    ASSERT_GT(png.size(), 57u);
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<uint8_t> { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' }));
    // IHDR: 13 bytes, width 3, height 2, 8-bit truecolour, and its CRC.
    EXPECT_EQ(std::vector<uint8_t>(png.begin() + 8, png.begin() + 16), (std::vector<uint8_t> { 0, 0, 0, 13, 'I', 'H', 'D', 'R' }));
    EXPECT_EQ(std::vector<uint8_t>(png.begin() + 16, png.begin() + 29),
              (std::vector<uint8_t> { 0, 0, 0, 3, 0, 0, 0, 2, 8, 2, 0, 0, 0 }));
    const auto be32 = [&](size_t at) { return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3]; };
    EXPECT_EQ(be32(29), uint32_t(crc32(crc32(0, Z_NULL, 0), png.data() + 12, 17)));

    // IDAT inflates to the rows, each with filter byte 0.
    std::vector<uint8_t> raw(20);
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, png.data() + 41, be32(33)), Z_OK);
    EXPECT_EQ(rawSize, 20u);
    EXPECT_EQ(raw, (std::vector<uint8_t> { 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    EXPECT_EQ(std::vector<uint8_t>(png.end() - 8, png.end() - 4), (std::vector<uint8_t> { 'I', 'E', 'N', 'D' }));

    EXPECT_TRUE(PngWriter::Encode(RgbImage {}).empty());
}

TEST(StateFileTest, RoundTripsChunksExactly)
{
    const std::vector<Chunk> chunks { { FourCCFromText("elck"), -1, "Complete Controls State", { 1, 1, 1, 1, 9 } },
                                      { FourCCFromText("juce"), 0, "", std::vector<uint8_t>(104, 7) } };
    const auto bytes = StateFile::Encode(chunks);
    EXPECT_EQ(bytes.size(), 12u + 2 * 44u + 5u + 104u);
    std::vector<Chunk> back;
    std::string error;
    ASSERT_TRUE(StateFile::Decode(bytes, back, error)) << error;
    EXPECT_EQ(back, chunks);
}

TEST(StateFileTest, EveryMalformationIsRefusedAndNothingIsKept)
{
    const std::vector<Chunk> chunks { { FourCCFromText("elck"), -1, "name", { 1, 2, 3 } } };
    const auto good = StateFile::Encode(chunks);
    std::vector<Chunk> out { chunks[0] };
    std::string error;

    auto check = [&](std::vector<uint8_t> bytes, const char* what) {
        out = chunks;
        EXPECT_FALSE(StateFile::Decode(bytes, out, error)) << what;
        EXPECT_TRUE(out.empty()) << what;
    };
    auto with = [&](size_t at, uint8_t value) {
        auto bytes = good;
        bytes[at] = value;
        return bytes;
    };
    check(with(0, 'X'), "magic");
    check(with(4, 2), "version");
    check(with(8, 65), "count");
    check(std::vector<uint8_t>(good.begin(), good.end() - 1), "truncated data");
    check(std::vector<uint8_t>(good.begin(), good.begin() + 30), "truncated header");
    auto bad = good;
    bad.push_back(0);
    check(bad, "trailing byte");
    bad = good;
    std::memset(bad.data() + 20, 'a', 32);
    check(bad, "name without terminator");
    bad = with(55, 0x7F);
    std::memset(bad.data() + 52, 0xFF, 3);
    check(bad, "huge size");
    check(StateFile::Encode({ chunks[0], chunks[0] }), "duplicate id");
    EXPECT_FALSE(StateFile::Load("/nonexistent/state", out, error));
}

TEST(ChunkTest, RecordsKeepTheHeaderAndRefuseSizesBeyondTheirRoom)
{
    Chunk chunk { FourCCFromText("juce"), 3, "a name longer than thirty-one characters", { 1, 2, 3 } };
    ChunkRecord record = ChunkRecord::From(chunk, 11, 12, 13);
    EXPECT_EQ(record.get()->fSize, 3);
    EXPECT_EQ(record.get()->fManufacturerID, 11u);
    EXPECT_EQ(record.get()->fChunkID, chunk.id);
    EXPECT_EQ(std::strlen(record.get()->fName), 31u);
    Chunk back;
    ASSERT_TRUE(record.ToChunk(chunk.id, back));
    EXPECT_EQ(back.data, chunk.data);
    EXPECT_EQ(back.name, chunk.name.substr(0, 31));

    record.get()->fSize = 4;
    EXPECT_FALSE(record.ToChunk(chunk.id, back));
    record.get()->fSize = -1;
    EXPECT_FALSE(record.ToChunk(chunk.id, back));
    EXPECT_THROW(ChunkRecord(ChunkRecord::kMaxDataSize + 1), std::length_error);

    EXPECT_EQ(FourCCText(0x656C636B), "elck");
    EXPECT_EQ(FourCCText(0x01020304), "????");
    EXPECT_EQ(FourCCFromText("Qlw2"), 0x516C7732u);
    EXPECT_EQ(FourCCFromText("toolong"), 0u);
}

TEST(PacketQueueTest, CarriesPacketsInOrderUpToItsCapacity)
{
    PacketQueue queue;
    const float one = 1.0f;
    ASSERT_TRUE(queue.Push(3, &one, 4));
    const uint8_t wide[PacketQueue::kMaxPacketSize + 1] = {};
    EXPECT_FALSE(queue.Push(3, wide, sizeof(wide)));
    EXPECT_FALSE(queue.Push(3, nullptr, 4));
    ASSERT_TRUE(queue.Push(5, nullptr, 0));

    PacketQueue::Packet packet;
    ASSERT_TRUE(queue.Pop(packet));
    EXPECT_EQ(packet.port, 3);
    EXPECT_EQ(packet.size, 4u);
    EXPECT_EQ(std::memcmp(packet.data, &one, 4), 0);
    ASSERT_TRUE(queue.Pop(packet));
    EXPECT_EQ(packet.port, 5);
    EXPECT_FALSE(queue.Pop(packet));

    size_t pushed = 0;
    while (queue.Push(1, &one, 4))
        ++pushed;
    EXPECT_EQ(pushed, PacketQueue::kCapacity - 1);
    queue.Clear();
    EXPECT_FALSE(queue.Pop(packet));
}

TEST(PacketQueueTest, AProducerAndAConsumerThreadLoseNothing)
{
    PacketQueue queue;
    constexpr int32_t count = 20000;
    std::thread producer([&] {
        for (int32_t i = 0; i < count;)
            if (queue.Push(i, &i, 4))
                ++i;
    });
    int32_t expected = 0;
    PacketQueue::Packet packet;
    while (expected < count)
        if (queue.Pop(packet))
        {
            int32_t value = -1;
            std::memcpy(&value, packet.data, 4);
            ASSERT_EQ(packet.port, expected);
            ASSERT_EQ(value, expected);
            ++expected;
        }
    producer.join();
}

TEST(AlgorithmContextTest, LaysOutOnePointerPerFieldAndDeliversToPorts)
{
    AlgorithmContext context(Component({ { Kind::AudioIn, 0 }, { Kind::AudioOut, 0 }, { Kind::BufferLength, 0 },
                                         { Kind::DataInPort, 4 }, { Kind::PrivateData, 8 } }),
                             48000.0f);
    EXPECT_EQ(context.NumInputs(), 2);
    EXPECT_EQ(context.NumOutputs(), 2);
    EXPECT_EQ(context.NumFields(), 5);

    float left[4] = {}, right[4] = {};
    const float* in[2] = { left, right };
    float* out[2] = { right, left };
    context.SetAudio(in, out, 4);
    void* const* block = context.Block();
    EXPECT_EQ(static_cast<float**>(block[0])[1], right);
    EXPECT_EQ(static_cast<float**>(block[1])[0], right);
    EXPECT_EQ(*static_cast<int32_t*>(block[2]), 4);
    EXPECT_EQ(block[3], context.PortData(3));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block[4]) % 16, 0u);

    PacketQueue::Packet packet;
    packet.port = 3;
    packet.size = 4;
    const uint32_t bits = 0x3F800000;
    std::memcpy(packet.data, &bits, 4);
    EXPECT_TRUE(context.Deliver(packet));
    EXPECT_EQ(std::memcmp(context.PortData(3), &bits, 4), 0);
    packet.size = 5;
    EXPECT_FALSE(context.Deliver(packet));   // wider than the port
    packet.size = 4;
    packet.port = 4;
    EXPECT_FALSE(context.Deliver(packet));   // not a port
    packet.port = 9;
    EXPECT_FALSE(context.Deliver(packet));
    EXPECT_EQ(context.PortData(4), nullptr);
    EXPECT_EQ(context.PortSize(3), 4u);
}

TEST(AlgorithmContextTest, FieldsTheHostCannotServeAreRefused)
{
    auto refuses = [](ComponentDescription component, AAX_Result code) {
        try
        {
            AlgorithmContext context(component, 48000.0f);
            ADD_FAILURE() << "accepted";
        }
        catch (const HostError& error)
        {
            EXPECT_EQ(error.Code(), code) << error.what();
        }
    };
    auto gap = Component({ { Kind::AudioIn, 0 }, { Kind::AudioOut, 0 } });
    gap.fields[1].index = 2;
    refuses(gap, AAX_ERROR_INVALID_FIELD_INDEX);
    auto twice = Component({ { Kind::AudioIn, 0 }, { Kind::AudioOut, 0 } });
    twice.fields[1].index = 0;
    refuses(twice, AAX_ERROR_INVALID_FIELD_INDEX);
    refuses(Component({ { Kind::MIDINode, 0 } }), AAX_ERROR_UNIMPLEMENTED);
    refuses(Component({ { Kind::DataInPort, 0 } }), AAX_ERROR_UNIMPLEMENTED);
    refuses(Component({ { Kind::DataInPort, PacketQueue::kMaxPacketSize + 1 } }), AAX_ERROR_UNIMPLEMENTED);
    refuses(Component({ { Kind::PrivateData, (1u << 20) + 1 } }), AAX_ERROR_UNIMPLEMENTED);
}

TEST(LevelsTest, PeaksAndDropsAreExactForKnownSignals)
{
    AudioData a = AudioData::Silence(1000.0, 2, 100);
    a.channels[0][10] = -0.5f;
    const auto peaks = Levels::PeakDb(a);
    EXPECT_NEAR(peaks[0], -6.0206, 1e-4);
    EXPECT_EQ(peaks[1], -200.0);

    AudioData reference = AudioData::Silence(1000.0, 1, 100);
    for (size_t i = 0; i < 100; ++i)
        reference.channels[0][i] = (i % 2 == 0) ? 0.5f : -0.5f;
    AudioData half = reference;
    for (size_t i = 50; i < 60; ++i)
        half.channels[0][i] *= 0.5f;
    EXPECT_NEAR(Levels::DeepestDropDb(half, reference), -6.0206, 1e-4);
    EXPECT_EQ(Levels::DeepestDropDb(reference, reference), 0.0);
    AudioData louder = reference;
    louder.channels[0][3] = 0.9f;
    EXPECT_EQ(Levels::DeepestDropDb(louder, reference), 0.0);
    EXPECT_EQ(Levels::DeepestDropDb(a, reference), 0.0);   // shapes differ
}

TEST(TestSignalTest, IsTheSameEveryTimeAndStaysBelowFullScale)
{
    const auto a = TestSignal::Make(44100.0, 0.5, 2);
    const auto b = TestSignal::Make(44100.0, 0.5, 2);
    EXPECT_EQ(a.NumFrames(), 22050u);
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_NE(a.channels[0], a.channels[1]);
    for (const auto& peak : Levels::PeakDb(a))
    {
        EXPECT_LT(peak, -1.0);
        EXPECT_GT(peak, -12.0);
    }
}

TEST(RealtimeThreadTest, RunsOneJobAtATimeOnItsOwnThread)
{
    RealtimeThread thread;
    struct State
    {
        RealtimeThread* thread;
        bool onThread = false;
        std::atomic<int> runs { 0 };
    } state { &thread };
    auto job = [](void* p) {
        auto& s = *static_cast<State*>(p);
        s.onThread = s.thread->IsCurrentThread();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        s.runs.fetch_add(1);
    };
    ASSERT_TRUE(thread.Start(job, &state));
    EXPECT_FALSE(thread.Start(job, &state));   // still running
    while (!thread.WaitForJob(1000))
    {
    }
    EXPECT_TRUE(state.onThread);
    EXPECT_EQ(state.runs.load(), 1);
    EXPECT_FALSE(thread.IsCurrentThread());
    EXPECT_TRUE(thread.WaitForJob(0));   // nothing running
    EXPECT_FALSE(thread.Start(nullptr, &state));
}

namespace
{
// What glibc's allocator has handed out and not yet got back, in bytes.
size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
} // namespace

TEST(HostMemoryTest, TenMinutesAutomatedInEveryBlockKeepTheHeapFlat)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator holds freed blocks in quarantine and keeps its heap from mallinfo2";
#endif
    // Made as quillo-host makes its host: nothing observes the calls.
    StandInHost host(QUILLO_TEST_MODULE);
    EXPECT_EQ(host.GetHost().Observer(), nullptr);
    {
        auto instance = host.CreateInstance(2, 48000.0f);
        constexpr int kBlock = 512;
        constexpr size_t kBlocksPerMinute = 48000 * 60 / kBlock;
        const AudioData input = TestSignal::Make(48000.0, double(kBlock) / 48000.0, 2);
        std::vector<float> left(kBlock), right(kBlock);
        const float* inputs[2] = { input.channels[0].data(), input.channels[1].data() };
        float* outputs[2] = { left.data(), right.data() };

        size_t afterOneMinute = 0;
        for (size_t block = 0; block < 10 * kBlocksPerMinute; ++block)
        {
            if (block == kBlocksPerMinute)
                afterOneMinute = HeapInUse();
            ASSERT_EQ(instance->Automate("12Low Mid Gain", double(block % 101) / 100.0), AAX_SUCCESS);
            instance->Process(inputs, outputs, kBlock, kBlock);
        }
        const size_t afterTenMinutes = HeapInUse();
        std::printf("heap in use after 1 minute %zu bytes, after 10 minutes %zu bytes\n", afterOneMinute, afterTenMinutes);
        // A record kept per call would add tens of megabytes over the nine minutes.
        EXPECT_LT(afterTenMinutes, afterOneMinute + 1024 * 1024);
        instance->Close();
    }
    EXPECT_EQ(host.Shutdown(), 0);
}
