// The stand-in host's own parts, without a plug-in: files, chunk records, packets, levels; and
// its memory over a long automated render of the real module.

#include "HostTestSupport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <functional>
#include <future>
#include <malloc.h>
#include <optional>
#include <pthread.h>
#include <sndfile.h>
#include <thread>
#include <unistd.h>

#include "HostError.h"
#include "Levels.h"
#include "OutputFile.h"
#include "PacketQueue.h"
#include "PlugInInstance.h"
#include "PngWriter.h"
#include "StandInHost.h"
#include "StateFile.h"
#include "TestSignal.h"

using namespace aaxhost;
using namespace quillo::hosttest;

TEST(AudioFileTest, EveryPcmAndFloatFormatReadsAsScaledFloatsBlockByBlock)
{
    // 0, 1/2, -1 and -1/4 of full scale are exact in every format.
    const std::vector<int> samples { 0, 0x40000000, -0x7FFFFFFF - 1, -0x20000000, 0x40000000, 0 };
    const std::vector<float> expected { 0.0f, 0.5f, -1.0f, -0.25f, 0.5f, 0.0f };
    for (const int format :
         { SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE })
        for (const int channels : { 1, 2 })
        {
            SCOPED_TRACE(testing::Message() << "format " << format << ", " << channels << " channels");
            const std::string path = Scratch("format.wav");
            SF_INFO info { 0, 22050, channels, SF_FORMAT_WAV | format, 0, 0 };
            SNDFILE* const file = sf_open(path.c_str(), SFM_WRITE, &info);
            if (format == SF_FORMAT_FLOAT || format == SF_FORMAT_DOUBLE)
                sf_write_float(file, expected.data(), sf_count_t(expected.size()));
            else
                sf_write_int(file, samples.data(), sf_count_t(samples.size()));
            sf_close(file);
            const AudioData audio = ReadWav(path, 2);
            ASSERT_TRUE(audio.sampleRate == 22050.0 && audio.NumChannels() == channels
                        && audio.NumFrames() == samples.size() / size_t(channels));
            for (size_t i = 0; i < samples.size(); ++i)
                EXPECT_EQ(audio.channels[i % size_t(channels)][i / size_t(channels)], expected[i]) << i;
            EXPECT_EQ(WavReader(path).DeclaredFrames(), audio.NumFrames());
        }
}

namespace
{
enum class Through
{
    File,
    DevFd,
    Fifo
};

/** Gives `bytes` to a reader as a shell would: a regular file, or a pipe fed from another thread
    in uneven pieces through /dev/fd/N or a FIFO (standard input: CommandLineTest). The first
    `pause` bytes go at once, the rest after Release() and `onRelease` (or after 10 s, noted in
    timedOut). */
struct Feed
{
    Feed(Through how, std::string bytes, size_t pause = std::string::npos, std::function<void()> onRelease = {})
        : through(how)
        , path(Scratch(how == Through::Fifo ? "stream.fifo" : "stream.wav"))
    {
        if (through == Through::File)
        {
            WriteText(path, bytes);
            return;
        }
        if (through == Through::Fifo)
            EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        else
        {
            EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
            path = "/dev/fd/" + std::to_string(fds[0]);
        }
        thread = std::thread([this, bytes = std::move(bytes), pause, onRelease, released = release.get_future()] {
            // A reader that gives up early closes the pipe: the write fails, nothing is signalled.
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            const int fd = through == Through::Fifo ? open(path.c_str(), O_WRONLY | O_CLOEXEC) : fds[1];
            for (ssize_t done = 0, written = 0; fd >= 0 && size_t(done) < bytes.size() && written >= 0; done += written)
            {
                if (size_t(done) == pause)
                {
                    timedOut = released.wait_for(std::chrono::seconds(10)) == std::future_status::timeout;
                    if (onRelease)
                        onRelease();
                }
                const size_t stop = size_t(done) < pause ? std::min(pause, bytes.size()) : bytes.size();
                written = write(fd, bytes.data() + done, std::min<size_t>(4093, stop - size_t(done)));
            }
            close(fd);
        });
    }

    ~Feed()
    {
        Release();
        if (through == Through::Fifo) // a writer still waiting for its reader goes on, into a closed pipe
            close(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        close(fds[0]);
        if (thread.joinable())
            thread.join();
        if (through == Through::Fifo)
            unlink(path.c_str());
    }

    void Release()
    {
        if (!released)
            release.set_value();
        released = true;
    }

    Through through;
    std::string path;
    int fds[2] { -1, -1 };
    std::promise<void> release;
    bool released = false;
    std::atomic<bool> timedOut { false };
    std::thread thread;
};

/** Every frame `reader` gives in blocks of `block`, up to the first short block. */
AudioData ReadAll(WavReader& reader, size_t block)
{
    // A stream holds at most what it declares, and NumFrames() says that until its end.
    AudioData audio = AudioData::Silence(reader.SampleRate(), reader.NumChannels(), reader.NumFrames() + block);
    for (size_t read = block; read == block;)
        read = reader.Read(Pointers(audio, reader.FramesRead()).data(), block);
    for (auto& channel : audio.channels)
        channel.resize(reader.FramesRead());
    return audio;
}

bool SameBits(const AudioData& a, const AudioData& b)
{
    return std::equal(a.channels.begin(), a.channels.end(), b.channels.begin(), b.channels.end(),
                      [](const auto& x, const auto& y) {
                          return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
                      });
}

std::string WavBytes(const AudioData& audio, int format)
{
    const std::string path = Scratch("bytes.wav");
    SF_INFO info { 0, int(audio.sampleRate), audio.NumChannels(), SF_FORMAT_WAV | format, 0, 0 };
    SNDFILE* const file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> interleaved;
    for (size_t frame = 0; frame < audio.NumFrames(); ++frame)
        for (const auto& channel : audio.channels)
            interleaved.push_back(channel[frame]);
    sf_writef_float(file, interleaved.data(), sf_count_t(audio.NumFrames()));
    sf_close(file);
    return ReadText(path);
}
} // namespace

TEST(AudioFileTest, AStreamReadsBitForBitAsTheFileDoesAndLearnsItsLengthAtTheEnd)
{
    const std::string floats = WavBytes(TestSignal::Make(44100.0, 0.5, 2), SF_FORMAT_FLOAT);
    const struct
    {
        std::string name, bytes;
        size_t declared, held;
    } files[] = {
        { "float stereo, larger than a pipe holds", floats, 22050, 22050 },
        { "16-bit mono", WavBytes(TestSignal::Make(8000.0, 0.5, 1), SF_FORMAT_PCM_16), 4000, 4000 },
        { "24-bit stereo", WavBytes(TestSignal::Make(8000.0, 0.25, 2), SF_FORMAT_PCM_24), 2000, 2000 },
        // The last frame cut in two, as by a writer that was stopped.
        { "float stereo cut short", floats.substr(0, floats.size() - 8 * 1000 - 3), 22050, 22049 - 1000 },
    };
    for (const auto& file : files)
    {
        const std::string path = Scratch("whole.wav");
        WriteText(path, file.bytes);
        WavReader whole(path);
        const AudioData expected = ReadAll(whole, 4096);
        ASSERT_EQ(expected.NumFrames(), file.held) << file.name;
        for (const Through through : { Through::File, Through::DevFd, Through::Fifo })
            for (const size_t block : { 1, 333, 4096 })
            {
                SCOPED_TRACE(testing::Message()
                             << file.name << ", through " << int(through) << ", blocks of " << block);
                const bool stream = through != Through::File;
                Feed feed(through, file.bytes);
                WavReader reader(feed.path);
                EXPECT_EQ(reader.IsStream(), stream);
                EXPECT_EQ(reader.DeclaredFrames(), file.declared);
                // A stream believes its header until its end shows otherwise.
                EXPECT_EQ(reader.NumFrames(), stream ? file.declared : file.held);
                EXPECT_TRUE(SameBits(ReadAll(reader, block), expected));
                EXPECT_TRUE(reader.Ended() && reader.NumFrames() == file.held && reader.FramesRead() == file.held)
                    << reader.NumFrames() << " frames, " << reader.FramesRead() << " read";
            }
    }
}

namespace
{
std::atomic<int> gSignals { 0 };
}

TEST(AudioFileTest, AStreamIsReadAsItComesAndAnInterruptedWaitGoesOn)
{
    const AudioData signal = TestSignal::Make(48000.0, 1.0, 2);
    const std::string bytes = WavBytes(signal, SF_FORMAT_FLOAT);
    const size_t headerSize = bytes.find("data") + 8;
    // A signal the user did not mean as an interruption ends a blocked read with EINTR.
    struct sigaction counting
    {
    }, previous {};
    counting.sa_handler = [](int) { ++gSignals; };
    sigaction(SIGUSR1, &counting, &previous);
    gSignals = 0;
    const pthread_t self = pthread_self();
    Feed feed(Through::DevFd, bytes, headerSize + 1000 * 8, [self] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pthread_kill(self, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    });
    {
        WavReader reader(feed.path);
        AudioData audio = AudioData::Silence(48000.0, 2, signal.NumFrames());
        // The first 1000 frames come while the writer still holds the rest back.
        EXPECT_EQ(reader.Read(Pointers(audio).data(), 1000), 1000u);
        EXPECT_FALSE(feed.timedOut);
        feed.Release();
        EXPECT_EQ(reader.Read(Pointers(audio, 1000).data(), signal.NumFrames()), signal.NumFrames() - 1000);
        EXPECT_TRUE(SameBits(audio, signal));
    }
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(gSignals, 1);
}

TEST(AudioFileTest, RefusesTwoFormatChunksAndEveryRateOutsideTheRangeNamingThem)
{
    const std::string bytes = WavBytes(TestSignal::Make(8000.0, 0.1, 2), SF_FORMAT_FLOAT);
    const size_t fmt = bytes.find("fmt "), rate = fmt + 12; // after the format tag and channels
    const auto withRate = [&](uint32_t hz) {
        std::string patched = bytes;
        for (size_t i = 0; i < 4; ++i)
            patched[rate + i] = char(hz >> (8 * i));
        return patched;
    };
    const std::string outside = "the file's sample rate of ", range = " Hz is outside the accepted 8000 to 384000 Hz",
                      anyRate = " Hz is outside the accepted 1 to 2147483647 Hz";
    const std::pair<double, double> accepted { 8000.0, 384000.0 };
    const struct
    {
        std::string bytes;
        std::optional<std::pair<double, double>> rates; // none: the reader's own range
        std::string file, stream;                       // after "PATH: "; a stream's only where it differs
    } cases[] = {
        { withRate(0), accepted, outside + "0" + range, "" },
        { withRate(384001), accepted, outside + "384001" + range, "" },
        { withRate(2147483648u), accepted, outside + "2147483648" + range, "" },
        { withRate(4294967295u), accepted, outside + "4294967295" + range, "" },
        { withRate(0), std::nullopt, outside + "0" + anyRate, "" },
        { withRate(8000), accepted, "opened at 8000 Hz", "" },
        { withRate(384000), accepted, "opened at 384000 Hz", "" },
        { WithFormatChunkTwice(bytes), std::nullopt,
          "2 format chunks; a WAV file has one, and which of them to believe is unknown", "" },
        // A stream keeps its header to read it again; 2 MiB of padding is more than it keeps.
        { bytes.substr(0, fmt + 24) + "JUNK" + std::string("\0\0\x20\0", 4) + std::string(2 << 20, '\0')
              + bytes.substr(fmt + 24),
          std::nullopt, "opened at 8000 Hz",
          "its header passes the 1 MiB that a stream's header may take before its audio" },
    };
    const auto opening = [](const std::string& path, const std::optional<std::pair<double, double>>& rates) {
        try
        {
            const auto reader = rates ? std::make_unique<WavReader>(path, rates->first, rates->second)
                                      : std::make_unique<WavReader>(path);
            return "opened at " + std::to_string(int64_t(reader->SampleRate())) + " Hz";
        }
        catch (const HostError& error)
        {
            // Without its path first, the message stays whole and matches nothing.
            const std::string message = error.what();
            return message.rfind(path + ": ", 0) == 0 ? message.substr(path.size() + 2) : message;
        }
    };
    for (const auto& test : cases)
        for (const Through through : { Through::File, Through::DevFd })
        {
            Feed feed(through, test.bytes);
            const bool stream = through != Through::File && !test.stream.empty();
            const std::string expected = stream ? test.stream : test.file;
            EXPECT_EQ(opening(feed.path, test.rates), expected) << feed.path;
        }
}

TEST(OutputFileTest, ReplacesAFileOnlyWhenWholeAndKeepsItsPermissions)
{
    // Real failures (a full device, a size limit, a folder it may not write): CommandLineTest;
    // float WAV files written and read back bit for bit: CommandLineTest's pure delays.
    WavWriter announced(Scratch("short.wav"), 2, 48000.0, 10);
    EXPECT_THROW(announced.Close(), HostError); // fewer frames than announced
    EXPECT_NE(access(Scratch("short.wav").c_str(), F_OK), 0);
    const std::string path = Scratch("output.bin");
    WriteText(path, "old");
    chmod(path.c_str(), 0640);
    OutputFile failed(path), file(path);
    failed.Fail("the caller found a fault");
    EXPECT_FALSE(failed.Write("x", 1) || failed.Commit());
    EXPECT_EQ(failed.Error(), "cannot write " + path + ": the caller found a fault");
    ASSERT_TRUE(file.Write("0123456789", 10) && file.Seek(2) && file.Write("ab", 2));
    EXPECT_EQ(ReadText(path), "old"); // not before the end
    EXPECT_TRUE(file.Commit()) << file.Error();
    EXPECT_EQ(ReadText(path), "01ab456789");
    struct stat status
    {
    };
    EXPECT_TRUE(stat(path.c_str(), &status) == 0 && (status.st_mode & 0777) == 0640);
    OutputFile device("/dev/null");
    EXPECT_TRUE(device.Write("data", 4));
    EXPECT_FALSE(device.Seek(0)); // a device only goes forward
}

TEST(PngWriterTest, WritesAFileLibpngReadsBackPixelForPixel)
{
    const RgbImage image { 3, 2, { 255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9 } };
    std::string error;
    ASSERT_TRUE(PngWriter::Write(Scratch("picture.png"), image, error)) << error;
    const RgbImage read = ReadPng(Scratch("picture.png"));
    EXPECT_TRUE(read.width == 3 && read.height == 2) << read.width << " x " << read.height;
    EXPECT_EQ(read.pixels, image.pixels);
}

TEST(StateFileTest, RoundTripsChunksExactlyAndRefusesEveryMalformation)
{
    // A name keeps 31 characters and its terminator.
    const std::vector<Chunk> chunks { { FourCCFromText("elck"), -1, std::string(32, 'n'), { 1, 1, 1, 1, 9 } },
                                      { FourCCFromText("juce"), 0, "", std::vector<uint8_t>(104, 7) } };
    const auto good = StateFile::Encode(chunks);
    EXPECT_EQ(good.size(), 12u + 2 * 44u + 5u + 104u);
    std::vector<Chunk> back;
    std::string error;
    ASSERT_TRUE(StateFile::Decode(good, back, error)) << error;
    auto expected = chunks;
    expected[0].name.resize(31);
    EXPECT_EQ(back, expected);

    const auto with = [&](size_t at, uint8_t value, size_t count) {
        auto bytes = good;
        std::memset(bytes.data() + at, value, count);
        return bytes;
    };
    auto trailing = good;
    trailing.push_back(0);
    for (const auto& [bytes, what] : std::vector<std::pair<std::vector<uint8_t>, const char*>> {
             { with(0, 'X', 1), "magic" },
             { with(4, 2, 1), "version" },
             { with(8, 65, 1), "count" },
             { std::vector<uint8_t>(good.begin(), good.end() - 1), "truncated data" },
             { std::vector<uint8_t>(good.begin(), good.begin() + 30), "truncated header" },
             { trailing, "trailing byte" },
             { with(20, 'a', 32), "name without terminator" },
             { with(52, 0xFF, 4), "huge size" },
             { StateFile::Encode({ chunks[1], chunks[1] }), "duplicate id" } })
    {
        back = chunks;
        EXPECT_FALSE(StateFile::Decode(bytes, back, error)) << what;
        EXPECT_TRUE(back.empty()) << what;
    }
    // A file larger than its header allows is refused before it is read.
    WriteText(Scratch("large.qhst"), std::string(good.begin(), good.end()));
    ASSERT_EQ(truncate(Scratch("large.qhst").c_str(), 12 + 2 * (44 + (16 << 20)) + 1), 0);
    EXPECT_FALSE(StateFile::Load(Scratch("large.qhst"), back, error));
    EXPECT_EQ(error, Scratch("large.qhst") + ": 33554533 bytes: larger than 2 chunks can be");
}

TEST(ChunkTest, RecordsKeepTheHeaderAndRefuseSizesBeyondTheirRoom)
{
    const Chunk chunk { FourCCFromText("juce"), 3, "a name longer than thirty-one characters", { 1, 2, 3 } };
    ChunkRecord record = ChunkRecord::From(chunk, 11, 12, 13);
    EXPECT_EQ(record.get()->fManufacturerID, 11u);
    Chunk back;
    ASSERT_TRUE(record.ToChunk(chunk.id, back));
    EXPECT_EQ(back.data, chunk.data);
    EXPECT_EQ(back.name, chunk.name.substr(0, 31));
    record.get()->fSize = 4;
    EXPECT_FALSE(record.ToChunk(chunk.id, back));
    record.get()->fSize = -1;
    EXPECT_FALSE(record.ToChunk(chunk.id, back));
    EXPECT_THROW(ChunkRecord(ChunkRecord::kMaxDataSize + 1), std::length_error);
}

TEST(PacketQueueTest, CarriesPacketsInOrderUpToItsCapacity)
{
    // Across threads: the module's thread tests, whose automation posts packets on the main
    // thread while the real-time thread takes them.
    PacketQueue queue;
    const uint8_t wide[PacketQueue::kMaxPacketSize + 1] = { 7 };
    EXPECT_FALSE(queue.Push(3, wide, sizeof(wide)) || queue.Push(3, nullptr, 4));
    size_t pushed = 0;
    while (queue.Push(AAX_CFieldIndex(pushed), wide, PacketQueue::kMaxPacketSize))
        ++pushed;
    EXPECT_EQ(pushed, PacketQueue::kCapacity - 1);
    PacketQueue::Packet packet;
    for (size_t i = 0; i < pushed; ++i)
        ASSERT_TRUE(queue.Pop(packet) && packet.port == AAX_CFieldIndex(i) && packet.size == sizeof(wide) - 1
                    && packet.data[0] == 7)
            << i;
    EXPECT_FALSE(queue.Pop(packet));
}

TEST(LevelsTest, PeaksAndDropsAreExactForKnownSignalsFedInAnyPieces)
{
    AudioData a = AudioData::Silence(1000.0, 2, 100);
    a.channels[0][10] = -0.5f;
    Levels::Peaks peaks(2);
    peaks.Add(Pointers(a).data(), 100);
    EXPECT_NEAR(peaks.Db()[0], -6.0206, 1e-4);
    EXPECT_EQ(peaks.Db()[1], -std::numeric_limits<double>::infinity());

    // Half the level in one 10 ms window is 6 dB down; in no whole window it counts for nothing.
    AudioData reference = AudioData::Silence(1000.0, 1, 105);
    for (size_t i = 0; i < 105; ++i)
        reference.channels[0][i] = (i % 2 == 0) ? 0.5f : -0.5f;
    AudioData half = reference;
    for (size_t i = 50; i < 60; ++i)
        half.channels[0][i] *= 0.5f;
    for (size_t i = 100; i < 105; ++i)
        half.channels[0][i] = 0.0f;
    for (const size_t piece : { size_t(105), size_t(7), size_t(1) })
    {
        Levels::DeepestDrop drop(1, 1000.0);
        for (size_t done = 0; done < 105; done += piece)
            drop.Add(Pointers(half, done).data(), Pointers(reference, done).data(), std::min(piece, 105 - done));
        EXPECT_NEAR(drop.Db(), -6.0206, 1e-4) << piece;
    }
}

TEST(HostMemoryTest, TenMinutesAutomatedInEveryBlockKeepTheHeapFlat)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator holds freed blocks in quarantine and keeps its heap from mallinfo2";
#endif
    const auto heapInUse = [] {
        const auto info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    // Made as quillo-host makes its host: nothing observes the calls.
    StandInHost host(QUILLO_TEST_MODULE);
    auto instance = host.CreateInstance(2, 48000.0f);
    constexpr size_t kBlock = 512, kBlocksPerMinute = 48000 * 60 / kBlock;
    AudioData input = TestSignal::Make(48000.0, double(kBlock) / 48000.0, 2), output = input;
    size_t afterOneMinute = 0;
    for (size_t block = 0; block < 10 * kBlocksPerMinute; ++block)
    {
        afterOneMinute = block == kBlocksPerMinute ? heapInUse() : afterOneMinute;
        ASSERT_EQ(instance->Automate("12Low Mid Gain", double(block % 101) / 100.0), AAX_SUCCESS);
        instance->Process(Pointers(input).data(), Pointers(output).data(), kBlock, int(kBlock));
    }
    const size_t afterTenMinutes = heapInUse();
    // A record kept per call would add tens of megabytes over the nine minutes.
    EXPECT_LT(afterTenMinutes, afterOneMinute + 1024 * 1024) << "after 1 minute " << afterOneMinute << " bytes";
    instance->Close();
    EXPECT_EQ(host.Shutdown(), 0);
}
