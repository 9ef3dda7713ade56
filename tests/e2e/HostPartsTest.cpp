// The stand-in host's own parts, without a plug-in: files, packets, the context block, levels;
// and its memory over a long automated render of the real module.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <png.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "AlgorithmContext.h"
#include "AudioFile.h"
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

using namespace aaxhost;
using Kind = ComponentDescriptor::ContextField::Kind;

namespace
{
std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<float*> Pointers(AudioData& audio)
{
    std::vector<float*> pointers;
    for (auto& channel : audio.channels)
        pointers.push_back(channel.data());
    return pointers;
}

// A WAV file of `format` (libsndfile's) holding samples given as full-scale integers, interleaved.
void WriteWav(const std::string& path, int format, int channels, int rate, const std::vector<int>& samples)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* const file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    std::vector<float> scaled;
    for (const int sample : samples)
        scaled.push_back(float(sample) / 2147483648.0f);
    if (format == SF_FORMAT_FLOAT || format == SF_FORMAT_DOUBLE)
        sf_write_float(file, scaled.data(), sf_count_t(scaled.size()));
    else
        sf_write_int(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
}

AudioData ReadWav(const std::string& path, size_t blockSize = 4096)
{
    WavReader reader(path);
    AudioData audio = AudioData::Silence(reader.SampleRate(), reader.NumChannels(), reader.NumFrames());
    auto channels = Pointers(audio);
    for (size_t done = 0; done < audio.NumFrames();)
    {
        for (size_t c = 0; c < channels.size(); ++c)
            channels[c] = audio.channels[c].data() + done;
        done += reader.Read(channels.data(), std::min(blockSize, audio.NumFrames() - done));
    }
    return audio;
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

TEST(AudioFileTest, EveryPcmAndFloatFormatReadsAsScaledFloatsBlockByBlock)
{
    // 0, 1/2, -1 and -1/4 of full scale are exact in every format.
    const std::vector<int> samples { 0, 0x40000000, INT_MIN, -0x20000000, 0x40000000, 0 };
    const std::vector<float> expected { 0.0f, 0.5f, -1.0f, -0.25f, 0.5f, 0.0f };
    for (const int format : { SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT,
                              SF_FORMAT_DOUBLE })
        for (const int channels : { 1, 2 })
        {
            SCOPED_TRACE(testing::Message() << "format " << format << ", " << channels << " channels");
            const std::string path = testing::TempDir() + "quillo-format.wav";
            WriteWav(path, format, channels, 22050, samples);
            const AudioData audio = ReadWav(path, 2);
            EXPECT_EQ(audio.sampleRate, 22050.0);
            ASSERT_EQ(audio.NumChannels(), channels);
            ASSERT_EQ(audio.NumFrames(), samples.size() / size_t(channels));
            for (size_t i = 0; i < samples.size(); ++i)
                EXPECT_EQ(audio.channels[i % size_t(channels)][i / size_t(channels)], expected[i]) << i;
            EXPECT_EQ(WavReader(path).DeclaredFrames(), audio.NumFrames());
        }
}

TEST(AudioFileTest, FloatFilesRoundTripBitForBitAndAPipeGetsTheSameBytes)
{
    AudioData audio = TestSignal::Make(48000.0, 0.05, 2);
    audio.channels[1][7] = -0.0f;
    const std::string path = testing::TempDir() + "quillo-roundtrip.wav";
    auto write = [&](const std::string& to) {
        WavWriter writer(to, 2, 48000.0, audio.NumFrames());
        auto channels = Pointers(audio);
        writer.Write(channels.data(), 1000);
        for (auto& channel : channels)
            channel += 1000;
        writer.Write(channels.data(), audio.NumFrames() - 1000);
        writer.Close();
    };
    write(path);
    const AudioData back = ReadWav(path);
    EXPECT_EQ(back.sampleRate, 48000.0);
    ASSERT_EQ(back.channels.size(), 2u);
    EXPECT_EQ(std::memcmp(back.channels[1].data(), audio.channels[1].data(), audio.NumFrames() * 4), 0);
    EXPECT_EQ(back.channels[0], audio.channels[0]);

    // A pipe cannot be rewound for the header: it gets the final one first.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::vector<uint8_t> piped;
    std::thread reader([&] {
        uint8_t buffer[4096];
        for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof(buffer))) > 0;)
            piped.insert(piped.end(), buffer, buffer + got);
    });
    write("/proc/self/fd/" + std::to_string(pipeEnds[1]));
    close(pipeEnds[1]);
    reader.join();
    close(pipeEnds[0]);
    EXPECT_EQ(piped, ReadBytes(path));

    // More or fewer frames than announced is a failure, and leaves no file.
    WavWriter writer(testing::TempDir() + "quillo-short.wav", 2, 48000.0, 10);
    EXPECT_THROW(writer.Close(), HostError);
    EXPECT_NE(access((testing::TempDir() + "quillo-short.wav").c_str(), F_OK), 0);
}

TEST(AudioFileTest, BrokenFilesAreRefusedWithThePathAndAReason)
{
    // Cut files, two format chunks and refused rates: CommandLineTest.
    const std::string path = testing::TempDir() + "quillo-broken.wav";
    WriteWav(path, SF_FORMAT_PCM_16, 1, 8000, { 1, 2 });
    const auto good = ReadBytes(path);
    for (const auto& bytes : { std::vector<uint8_t> { 'R', 'I', 'F', 'F' }, std::vector<uint8_t>(good.begin(), good.begin() + 36) })
    {
        WriteBytes(path, bytes);
        try
        {
            WavReader reader(path);
            ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
        }
        catch (const HostError& error)
        {
            EXPECT_EQ(std::string(error.what()).rfind(path + ": ", 0), 0u) << error.what();
        }
    }
    EXPECT_THROW(WavReader("/nonexistent/quillo.wav"), HostError);
    EXPECT_THROW(WavWriter(testing::TempDir() + "quillo-rate.wav", 1, 44100.5, 1), HostError);
}

TEST(OutputFileTest, ReplacesAFileOnlyWhenWholeAndKeepsItsPermissions)
{
    // Real failures (a full device, a size limit, a folder it may not write): CommandLineTest.
    const std::string path = testing::TempDir() + "quillo-output.bin";
    const std::vector<uint8_t> old { 'o', 'l', 'd' };
    WriteBytes(path, old);
    chmod(path.c_str(), 0640);
    {
        OutputFile file(path);
        ASSERT_TRUE(file.Write("new", 3));
        file.Fail("the caller found a fault");
        EXPECT_FALSE(file.Write("x", 1) || file.Commit());
        EXPECT_EQ(file.Error(), "cannot write " + path + ": the caller found a fault");
    }
    EXPECT_EQ(ReadBytes(path), old);
    {
        OutputFile file(path);
        ASSERT_TRUE(file.Write("0123456789", 10) && file.Seek(2) && file.Write("ab", 2));
        EXPECT_EQ(ReadBytes(path), old);   // not before the end
        EXPECT_TRUE(file.Commit()) << file.Error();
    }
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t> { '0', '1', 'a', 'b', '4', '5', '6', '7', '8', '9' }));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    const std::string folder = testing::TempDir() + "quillo-output";
    mkdir(folder.c_str(), 0755);
    for (const auto& [target, reason] : { std::pair<std::string, std::string> { folder + "/missing/file", "No such file or directory" },
                                          { folder, "Is a directory" }, { "", "no file name" } })
    {
        OutputFile file(target);
        EXPECT_FALSE(file.Write("data", 4) && file.Commit()) << target;
        EXPECT_EQ(file.Error(), "cannot write " + target + ": " + reason);
    }
    OutputFile device("/dev/null");
    EXPECT_FALSE(device.IsRegular());
    EXPECT_TRUE(device.Write("data", 4));
    EXPECT_FALSE(device.Seek(0));   // a device only goes forward
}

TEST(PngWriterTest, WritesAFileLibpngReadsBackPixelForPixel)
{
    RgbImage image;
    image.width = 3;
    image.height = 2;
    image.pixels = { 255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    const std::string path = testing::TempDir() + "quillo-picture.png";
    std::string error;
    ASSERT_TRUE(PngWriter::Write(path, image, error)) << error;

    png_image read {};
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&read, path.c_str())) << read.message;
    read.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(read));
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr)) << read.message;
    EXPECT_EQ(read.width, 3u);
    EXPECT_EQ(read.height, 2u);
    EXPECT_EQ(pixels, image.pixels);

    EXPECT_FALSE(PngWriter::Write(path, RgbImage {}, error));
    EXPECT_EQ(error, "cannot write " + path + ": no picture to write");
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
    const std::string path = testing::TempDir() + "quillo-roundtrip.qhst";
    ASSERT_TRUE(StateFile::Save(path, chunks, error)) << error;
    ASSERT_TRUE(StateFile::Load(path, back, error)) << error;
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

    // Files too large for their header, or for any state, are refused before they are read.
    const std::string path = testing::TempDir() + "quillo-large.qhst";
    for (const auto& [size, reason] : { std::pair<off_t, const char*> { 12 + 44 + (16 << 20) + 1, "larger than 1 chunks can be" },
                                        { (64 << 20) + 1, "a state file is at most 67108864" } })
    {
        WriteBytes(path, good);
        ASSERT_EQ(truncate(path.c_str(), size), 0);
        EXPECT_FALSE(StateFile::Load(path, out, error));
        EXPECT_EQ(error, path + ": " + std::to_string(size) + " bytes" + (size > (64 << 20) ? "; " : ": ") + reason);
    }
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

TEST(LevelsTest, PeaksAndDropsAreExactForKnownSignalsFedInAnyPieces)
{
    AudioData a = AudioData::Silence(1000.0, 2, 100);
    a.channels[0][10] = -0.5f;
    Levels::Peaks peaks(2);
    peaks.Add(Pointers(a).data(), 100);
    EXPECT_NEAR(peaks.Db()[0], -6.0206, 1e-4);
    EXPECT_EQ(peaks.Db()[1], -200.0);

    AudioData reference = AudioData::Silence(1000.0, 1, 105);
    for (size_t i = 0; i < 105; ++i)
        reference.channels[0][i] = (i % 2 == 0) ? 0.5f : -0.5f;
    AudioData half = reference, louder = reference, cutEnd = reference;
    for (size_t i = 50; i < 60; ++i)
        half.channels[0][i] *= 0.5f;
    louder.channels[0][3] = 0.9f;
    for (size_t i = 100; i < 105; ++i)
        cutEnd.channels[0][i] = 0.0f;   // in no whole 10 ms window
    for (const auto& [processed, expected] : { std::pair<AudioData*, double> { &half, -6.0206 }, { &reference, 0.0 },
                                               { &louder, 0.0 }, { &cutEnd, 0.0 } })
        for (const size_t piece : { size_t(105), size_t(7), size_t(1) })
        {
            Levels::DeepestDrop drop(1, 1000.0);
            auto p = Pointers(*processed), r = Pointers(reference);
            for (size_t done = 0; done < 105; done += piece)
            {
                drop.Add(p.data(), r.data(), std::min(piece, 105 - done));
                p[0] += piece;
                r[0] += piece;
            }
            EXPECT_NEAR(drop.Db(), expected, 1e-4) << piece;
        }
}

TEST(TestSignalTest, IsTheSameEveryTimeInAnyBlocksAndStaysBelowFullScale)
{
    auto a = TestSignal::Make(44100.0, 0.5, 2);
    EXPECT_EQ(a.NumFrames(), 22050u);
    EXPECT_NE(a.channels[0], a.channels[1]);
    TestSignal blocks(44100.0, 0.5, 2);
    AudioData b = AudioData::Silence(44100.0, 2, 22100);
    auto channels = Pointers(b);
    for (size_t done = 0; done < 22100; done += 100)
    {
        blocks.Generate(channels.data(), 100);
        for (auto& channel : channels)
            channel += 100;
    }
    EXPECT_EQ(std::vector<float>(b.channels[1].begin(), b.channels[1].begin() + 22050), a.channels[1]);
    EXPECT_EQ(std::vector<float>(b.channels[0].begin() + 22050, b.channels[0].end()), std::vector<float>(50, 0.0f));
    Levels::Peaks peaks(2);
    peaks.Add(Pointers(a).data(), a.NumFrames());
    for (const double peak : peaks.Db())
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
