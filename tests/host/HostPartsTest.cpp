// The stand-in host's own parts, without a plug-in: files, chunk records, packets, levels; and
// its memory over a long automated render of the real module.

#include "HostTestSupport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <filesystem>
#include <future>
#include <malloc.h>
#include <optional>
#include <pthread.h>
#include <set>
#include <sndfile.h>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

#include "HostError.h"
#include "Interruption.h"
#include "Levels.h"
#include "OutputFile.h"
#include "PacketQueue.h"
#include "PlugInInstance.h"
#include "PngWriter.h"
#include "StandInHost.h"
#include "StateFile.h"
#include "TestSignal.h"
#include "WavHeader.h"

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
    // A stream may hold less than it declares, or declare nothing: the audio grows as it comes.
    AudioData audio = AudioData::Silence(reader.SampleRate(), reader.NumChannels(), 0);
    AudioData piece = AudioData::Silence(reader.SampleRate(), reader.NumChannels(), block);
    for (size_t read = block; read == block;)
    {
        read = reader.Read(Pointers(piece).data(), block);
        for (size_t c = 0; c < audio.channels.size(); ++c)
            audio.channels[c].insert(audio.channels[c].end(), piece.channels[c].begin(),
                                     piece.channels[c].begin() + std::ptrdiff_t(read));
    }
    return audio;
}

bool SameBits(const AudioData& a, const AudioData& b)
{
    return std::equal(a.channels.begin(), a.channels.end(), b.channels.begin(), b.channels.end(),
                      [](const auto& x, const auto& y) {
                          return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
                      });
}

} // namespace

TEST(AudioFileTest, AStreamReadsBitForBitAsTheFileDoesAndLearnsItsLengthAtTheEnd)
{
    const std::string floats = WavBytes(TestSignal::Make(44100.0, 0.5, 2), SF_FORMAT_FLOAT),
                      shorts = WavBytes(TestSignal::Make(8000.0, 0.5, 1), SF_FORMAT_PCM_16);
    // As writers that cannot seek back leave them: every size 0xFFFFFFFF, so no length declared.
    const auto undeclared = [](std::string bytes) {
        bytes.replace(4, 4, "\xff\xff\xff\xff");
        bytes.replace(bytes.find("data") + 4, 4, "\xff\xff\xff\xff");
        return bytes;
    };
    // Headers as ffmpeg (-rf64 always) and sox write them into a pipe, byte for byte, before the
    // same samples; and sox's with one block less, which declares a length.
    const std::string shortSamples = shorts.substr(shorts.find("data") + 8);
    const auto soxShorts = [&](const char* dataBytes, const char* riffBytes) {
        return FromHex(std::string("52494646") + riffBytes
                       + "57415645 666d7420 10000000 0100 0100 401f0000 803e0000 "
                         "0200 1000 64617461"
                       + dataBytes)
             + shortSamples;
    };
    const std::string ffmpegShorts = FromHex("52463634 ffffffff 57415645 64733634 1c000000" + std::string(56, '0')
                                             + "666d7420 10000000 0100 0100 401f0000 803e0000 0200 1000 4c495354 "
                                               "1a000000 494e464f 49534654 0e000000 4c61766635392e32372e31303000 "
                                               "64617461 ffffffff")
                                   + shortSamples;
    const std::string stereo24 = WavBytes(TestSignal::Make(8000.0, 0.25, 2), SF_FORMAT_PCM_24),
                      soxStereo24 = FromHex("52494646 44f0ff7f 57415645 666d7420 28000000 feff 0200 401f0000 80bb0000 "
                                            "0600 1800 1600 1800 03000000 0100000000001000800000aa00389b71 "
                                            "66616374 04000000 aa525515 64617461 fcefff7f")
                                  + stereo24.substr(stereo24.find("data") + 8);
    constexpr size_t none = WavReader::kUndeclaredFrames;
    const struct
    {
        std::string name, bytes;
        size_t declared, held;      // declared: `none` for a stream that declares no length
        std::string reference = ""; // the same audio with a declared length, when that differs
    } files[] = {
        { "float stereo, larger than a pipe holds", floats, 22050, 22050 },
        { "16-bit mono", shorts, 4000, 4000 },
        { "24-bit stereo", stereo24, 2000, 2000 },
        // The last frame cut in two, as by a writer that was stopped.
        { "float stereo cut short", floats.substr(0, floats.size() - 8 * 1000 - 3), 22050, 22049 - 1000 },
        { "float stereo RF64", WavBytes(TestSignal::Make(44100.0, 0.5, 2), SF_FORMAT_FLOAT, SF_FORMAT_RF64), 22050,
          22050, floats },
        { "16-bit mono RF64", WavBytes(TestSignal::Make(8000.0, 0.5, 1), SF_FORMAT_PCM_16, SF_FORMAT_RF64), 4000, 4000,
          shorts },
        { "float stereo declaring no length", undeclared(floats), none, 22050, floats },
        { "16-bit mono declaring no length, cut short", undeclared(shorts).substr(0, shorts.size() - 2 * 500 - 1), none,
          3499, shorts.substr(0, shorts.size() - 2 * 500 - 1) },
        { "16-bit mono from ffmpeg", ffmpegShorts, none, 4000, shorts },
        { "16-bit mono from sox", soxShorts("00f0ff7f", "24f0ff7f"), none, 4000, shorts },
        { "24-bit stereo from sox", soxStereo24, none, 2000, stereo24 },
        { "16-bit mono a block short of sox's", soxShorts("feefff7f", "22f0ff7f"), 1073739775, 4000, shorts },
    };
    for (const auto& file : files)
    {
        const std::string path = Scratch("whole.wav");
        WriteText(path, file.reference.empty() ? file.bytes : file.reference);
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
                EXPECT_EQ(reader.DeclaresLength(), file.declared != none);
                // A regular file of no declared length holds what follows the data chunk's header.
                const size_t declared = file.declared == none && !stream ? file.held : file.declared;
                EXPECT_EQ(reader.DeclaredFrames(), declared);
                // A stream believes its header until its end shows otherwise.
                EXPECT_EQ(reader.NumFrames(), stream ? declared : file.held);
                EXPECT_TRUE(SameBits(ReadAll(reader, block), expected));
                EXPECT_TRUE(reader.Ended() && reader.NumFrames() == file.held && reader.FramesRead() == file.held)
                    << reader.NumFrames() << " frames, " << reader.FramesRead() << " read";
                // What never was declared cannot have been cut short.
                EXPECT_EQ(reader.DeclaredFrames(), file.declared == none ? file.held : file.declared);
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
    const auto Padding = [](int chunks) {
        std::string padding;
        for (int i = 0; i < chunks; ++i)
            padding += std::string("JUNK\0\0\0\0", 8);
        return padding;
    };
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
        // A file has a few chunks before its format; one of thousands is not walked to its end.
        { bytes.substr(0, 12) + Padding(4095) + bytes.substr(12), accepted, "opened at 8000 Hz", "" },
        { bytes.substr(0, 12) + Padding(4096) + bytes.substr(12), accepted,
          "its first 4096 chunks hold no format chunk; a WAV file has one among its first few", "" },
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

namespace
{
uint64_t LittleEndian(const std::vector<uint8_t>& bytes, size_t at, int size)
{
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint64_t(bytes[at + size_t(i)]) << (8 * i);
    return value;
}

std::set<std::string> Listing(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
} // namespace

TEST(WavHeaderTest, RiffWhileTheFileStaysBelow4GiBThenRf64AndLibsndfileReadsEveryForm)
{
    // 112 bytes of header and 8 (stereo) or 4 (mono) a frame: the file's last RIFF size is
    // 0xFFFFFFFE - 8.
    using Form = WavHeader::Form;
    const struct
    {
        int channels;
        uint64_t frames;
        Form form;
    } boundary[] = {
        { 2, 0, Form::kRiff },          { 2, 536870897, Form::kRiff },  { 2, 536870898, Form::kRf64 },
        { 1, 1073741795, Form::kRiff }, { 1, 1073741796, Form::kRf64 }, { 2, uint64_t(1) << 40, Form::kRf64 },
    };
    for (const auto& test : boundary)
        EXPECT_EQ(WavHeader::FormFor(test.channels, test.frames), test.form) << test.channels << " " << test.frames;
    const std::vector<uint8_t> riff = WavHeader::Float(2, 192000, 536870897, Form::kRiff),
                               rf64 = WavHeader::Float(2, 192000, 536870898, Form::kRf64);
    ASSERT_TRUE(riff.size() == WavHeader::kFloatSize && rf64.size() == WavHeader::kFloatSize);
    EXPECT_EQ(LittleEndian(riff, 4, 4), 4294967280u);   // RIFF size
    EXPECT_EQ(LittleEndian(riff, 108, 4), 4294967176u); // data chunk
    EXPECT_EQ(LittleEndian(rf64, 4, 4), 0xFFFFFFFFu);   // sizes in 'ds64'...
    EXPECT_EQ(LittleEndian(rf64, 20, 8), 4294967288u);  // ...of the file after 8 bytes,
    EXPECT_EQ(LittleEndian(rf64, 28, 8), 4294967184u);  // the data
    EXPECT_EQ(LittleEndian(rf64, 36, 8), 536870898u);   // and the frames
    EXPECT_EQ(LittleEndian(rf64, 108, 4), 0xFFFFFFFFu);

    // Files past 4 GiB (sparse: the audio is silence that takes no room): RF64 declares them, and
    // RIFF whose data chunk declares nothing holds what follows its header. Both sides of 4 GiB.
    const struct
    {
        Form form;
        uint64_t frames;
        bool declares;
    } large[] = {
        { Form::kRiff, 536870897, true },        { Form::kRf64, 536870898, true },
        { Form::kRf64, 805306368, true },        { Form::kUndeclared, 536870897, false },
        { Form::kUndeclared, 805306368, false },
    };
    for (const auto& test : large)
    {
        const std::vector<uint8_t> header = WavHeader::Float(2, 48000, test.frames, test.form);
        const std::string path = Scratch("large.wav");
        WriteText(path, std::string(header.begin(), header.end()));
        ASSERT_EQ(truncate(path.c_str(), off_t(WavHeader::kFloatSize + test.frames * 8)), 0);
        WavReader reader(path);
        EXPECT_TRUE(reader.NumFrames() == test.frames && reader.DeclaredFrames() == test.frames
                    && reader.DeclaresLength() == test.declares && !reader.IsStream())
            << test.frames << " frames in form " << int(test.form) << ": " << reader.NumFrames();
        AudioData first = AudioData::Silence(48000.0, 2, 3);
        first.channels[1][2] = 1.0f;
        EXPECT_EQ(reader.Read(Pointers(first).data(), 3), 3u);
        EXPECT_EQ(first.channels[1][2], 0.0f);
        std::remove(path.c_str());
    }

    // Each form over a few frames, as libsndfile and the reader read it; a RIFF header is also the
    // one libsndfile writes into a regular file of that length.
    for (const int channels : { 1, 2 })
        for (const Form form : { Form::kRiff, Form::kRf64, Form::kUndeclared })
        {
            SCOPED_TRACE(testing::Message() << channels << " channels, form " << int(form));
            const AudioData audio = TestSignal::Make(44100.0, 5.0 / 44100.0, channels);
            const std::vector<uint8_t> header = WavHeader::Float(channels, 44100, 5, form);
            std::string bytes(header.begin(), header.end());
            for (size_t frame = 0; frame < 5; ++frame)
                for (const auto& channel : audio.channels)
                    bytes.append(reinterpret_cast<const char*>(&channel[frame]), sizeof(float));
            const std::string path = Scratch("header.wav"), written = Scratch("written.wav");
            WriteText(path, bytes);
            SF_INFO info {};
            SNDFILE* const file = sf_open(path.c_str(), SFM_READ, &info);
            ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
            sf_close(file);
            EXPECT_EQ(info.format,
                      (form == Form::kRf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAVEX) | SF_FORMAT_FLOAT | SF_ENDIAN_FILE);
            EXPECT_TRUE(info.frames == 5 && info.channels == channels && info.samplerate == 44100);
            WavReader reader(path);
            EXPECT_EQ(reader.DeclaresLength(), form != Form::kUndeclared);
            EXPECT_TRUE(SameBits(ReadAll(reader, 2), audio));
            WriteWav(written, audio);
            if (form == Form::kRiff)
            {
                EXPECT_EQ(ReadText(written), bytes);
            }
        }
}

// Writes and reads about 13 GB: run by hand (--gtest_also_run_disabled_tests), never by ./test.
TEST(WavHeaderTest, DISABLED_FilesAndStreamsPast4GiBKeepEveryFrame)
{
    constexpr size_t kBlock = 65536;
    AudioData block = AudioData::Silence(48000.0, 2, kBlock);
    const auto lastFrameOf = [&](WavReader& reader) {
        AudioData tail = AudioData::Silence(48000.0, 2, kBlock);
        size_t last = 0;
        for (size_t read = kBlock; read == kBlock;)
            if ((read = reader.Read(Pointers(tail).data(), kBlock)) > 0)
                last = read;
        return tail.channels[1][last - 1];
    };
    // The last RIFF file and the first RF64 one, each marked in its last frame.
    const std::string path = Scratch("large.wav");
    for (const size_t frames : { size_t(536870897), size_t(536870898) })
    {
        {
            WavWriter writer(path, 2, 48000.0, frames);
            for (size_t done = 0; done < frames; done += kBlock)
            {
                const size_t count = std::min(kBlock, frames - done);
                block.channels[1][count - 1] = done + count == frames ? 1.0f : 0.0f;
                writer.Write(Pointers(block).data(), count);
            }
            writer.Close();
        }
        std::ifstream file(path, std::ios::binary);
        char form[4] = {};
        file.read(form, 4);
        EXPECT_EQ(std::string(form, 4), frames == 536870897 ? "RIFF" : "RF64");
        WavReader reader(path);
        EXPECT_EQ(reader.NumFrames(), frames);
        EXPECT_EQ(lastFrameOf(reader), 1.0f);
        std::remove(path.c_str());
    }

    // A stream that declares no length goes on past 4 GiB, to its marked last frame.
    constexpr size_t kFrames = 600000000;
    int ends[2] = { -1, -1 };
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    std::thread writer([&] {
        const std::vector<uint8_t> header = WavHeader::Float(2, 48000, 0, WavHeader::Form::kUndeclared);
        bool ok = write(ends[1], header.data(), header.size()) == ssize_t(header.size());
        std::vector<float> frames(2 * kBlock);
        for (size_t done = 0; ok && done < kFrames; done += kBlock)
        {
            const size_t count = std::min(kBlock, kFrames - done);
            frames[2 * count - 1] = done + count == kFrames ? 1.0f : 0.0f;
            const auto* bytes = reinterpret_cast<const char*>(frames.data());
            for (size_t left = count * 8; ok && left > 0;)
            {
                const ssize_t written = write(ends[1], bytes, left);
                ok = written > 0;
                bytes += written;
                left -= size_t(std::max<ssize_t>(written, 0));
            }
        }
        close(ends[1]);
    });
    {
        WavReader reader("/dev/fd/" + std::to_string(ends[0]));
        EXPECT_FALSE(reader.DeclaresLength());
        EXPECT_EQ(lastFrameOf(reader), 1.0f);
        EXPECT_EQ(reader.NumFrames(), kFrames);
    }
    close(ends[0]);
    writer.join();
}

TEST(OutputFileTest, AReplacementHasNoNameUntilItIsWholeAndAPathIsTakenAsARedirectionTakesIt)
{
    const std::string folder = Scratch("paths"), target = folder + "/out.bin";
    mkdir(folder.c_str(), 0755);
    {
        // Nothing is named before the commit, so nothing is left by a process that dies.
        OutputFile file(target);
        ASSERT_TRUE(file.IsOpen() && file.IsRegular()) << file.Error();
        EXPECT_TRUE(file.Write("whole", 5));
        EXPECT_TRUE(Listing(folder).empty());
        EXPECT_TRUE(file.Commit()) << file.Error();
        EXPECT_EQ(Listing(folder), std::set<std::string> { "out.bin" });
        // Where unnamed files are refused, a hidden name holds the file until it is given up.
        OutputFile named(target, OutputFile::Temporary::kNamed);
        EXPECT_TRUE(named.Write("part", 4));
        EXPECT_EQ(Listing(folder).size(), 2u);
    }
    EXPECT_EQ(Listing(folder), std::set<std::string> { "out.bin" });
    EXPECT_EQ(ReadText(target), "whole");

    // A link is followed, the file it names made, and the link kept.
    const std::string link = folder + "/link.bin", chain = folder + "/chain.bin", made = folder + "/made.bin",
                      astray = folder + "/astray.bin";
    symlink("made.bin", link.c_str());
    symlink(link.c_str(), chain.c_str());
    symlink((folder + "/missing/x.bin").c_str(), astray.c_str());
    for (const std::string& path : { chain, link })
    {
        OutputFile file(path);
        EXPECT_TRUE(file.Write(path.data(), path.size()) && file.Commit()) << file.Error();
        EXPECT_EQ(ReadText(made), path);
    }
    struct stat status
    {
    };
    EXPECT_TRUE(lstat(link.c_str(), &status) == 0 && S_ISLNK(status.st_mode));

    const std::string longest(255, 'n');
    WriteText(folder + "/file.bin", "");
    const struct
    {
        std::string path;
        std::string error; // after "cannot write PATH: "; empty: opens
    } cases[] = {
        { folder + "/missing/x.bin", "no folder " + folder + "/missing" },
        { astray, "no folder " + folder + "/missing" },
        { folder + "/file.bin/x.bin", folder + "/file.bin is not a folder" },
        { folder + "/" + longest, "" },
        { folder + "/" + longest + "n",
          "File name too long: the folder " + folder + " takes names of up to 255 bytes, and this one has 256" },
        { "-", "" },
    };
    for (const auto& test : cases)
    {
        OutputFile file(test.path);
        EXPECT_EQ(file.Error(), test.error.empty() ? "" : "cannot write " + test.path + ": " + test.error);
        EXPECT_EQ(file.IsStandardOutput(), test.path == "-");
    }
    std::remove((folder + "/" + longest).c_str());

    // A descriptor is written where it stands, as a redirection to it is: after what the shell
    // wrote before, or into a file that has no name any more (a socket: CommandLineTest); never
    // into a file named after its link's text. One open only for reading is refused.
    const std::string held = folder + "/held.bin", gone = folder + "/gone.bin";
    WriteText(held, "before:");
    WriteText(gone, "");
    const int positioned = open(held.c_str(), O_WRONLY | O_CLOEXEC), deleted = open(gone.c_str(), O_RDWR | O_CLOEXEC),
              readOnly = open(held.c_str(), O_RDONLY | O_CLOEXEC);
    lseek(positioned, 0, SEEK_END);
    unlink(gone.c_str());
    const struct
    {
        std::string path, holds; // what the descriptor's file holds afterwards; "": refused
    } descriptors[] = {
        { "/dev/fd/" + std::to_string(positioned), "before:data" },
        { "/proc/self/fd/" + std::to_string(deleted), "data" },
        { "/dev/fd/" + std::to_string(readOnly), "" },
    };
    for (const auto& test : descriptors)
    {
        OutputFile file(test.path);
        EXPECT_EQ(file.Error(), test.holds.empty() ? "cannot write " + test.path + ": Bad file descriptor" : "");
        EXPECT_TRUE(test.holds.empty() || (!file.IsRegular() && file.Write("data", 4) && file.Commit())) << test.path;
        EXPECT_EQ(ReadText(test.path).substr(0, test.holds.size()), test.holds);
    }
    EXPECT_EQ(Listing(folder).count("gone.bin (deleted)"), 0u);
    for (const int fd : { positioned, deleted, readOnly })
        close(fd);
}

namespace
{
/** What a child process that installed the host's handlers did: its exit code (128 + the
    signal's number when one ended it), what it wrote on stderr and how long it took. */
struct ChildOutcome
{
    int code;
    std::string err;
    double seconds;
};

/** Runs `body` in a child process, after `before` and Interruption::Install(grace); an
    Interrupted that `body` throws ends it with 128 + the signal's number. */
ChildOutcome InChild(unsigned grace, const std::function<int()>& body, const std::function<void()>& before = {})
{
    const std::string err = Scratch("child.err");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (freopen(err.c_str(), "w", stderr) == nullptr)
            _exit(126);
        if (before)
            before();
        Interruption::Install(grace);
        try
        {
            _exit(body());
        }
        catch (const Interrupted& interrupted)
        {
            _exit(128 + interrupted.Signal());
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return { WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadText(err), took.count() };
}
} // namespace

TEST(InterruptionTest, TheOutcomeIsDecidedOnceAndAStuckCommandEndsAfterItsGrace)
{
    const std::string target = Scratch("decided.txt");
    const auto replace = [&](bool signalFirst) {
        WriteText(target, "old");
        return InChild(60, [&] {
            OutputFile file(target);
            file.Write("new", 3);
            if (signalFirst)
                raise(SIGTERM); // noted, before the decision: the target stays
            if (!file.Commit())
                return 1;
            raise(SIGINT); // after it: nothing is interrupted any more
            Interruption::ThrowIfRequested();
            return Interruption::Requested() == SIGINT && Interruption::Pending() == 0 ? 0 : 2;
        });
    };
    const ChildOutcome before = replace(true);
    EXPECT_EQ(before.code, 128 + SIGTERM) << before.err;
    EXPECT_EQ(ReadText(target), "old");
    const ChildOutcome after = replace(false);
    EXPECT_EQ(after.code, 0) << after.err;
    EXPECT_EQ(ReadText(target), "new");

    // A signal its caller ignored stays ignored; one it did not is noted.
    for (const bool ignored : { true, false })
    {
        const ChildOutcome outcome = InChild(
            60,
            [] {
                raise(SIGHUP);
                return Interruption::Requested();
            },
            [ignored] { signal(SIGHUP, ignored ? SIG_IGN : SIG_DFL); });
        EXPECT_EQ(outcome.code, ignored ? 0 : SIGHUP) << outcome.err;
    }

    // Stuck after the signal: ended once the grace is over, the named temporary file removed; a
    // second signal ends it at once. Stuck after the decision (its report blocked), the same, and
    // the line says the output was written.
    const struct
    {
        bool decided, twice;
        std::string err;
    } stuckCases[] = {
        { false, false, "quillo-host: interrupted by SIGTERM, and the command did not stop within 1 s: ended\n" },
        { false, true, "quillo-host: interrupted again by SIGINT: ended\n" },
        { true, false,
          "quillo-host: interrupted by SIGTERM after the output was written, and the command did not stop within 1 "
          "s: ended\n" },
        { true, true, "quillo-host: interrupted again by SIGINT after the output was written: ended\n" },
    };
    const std::string folder = Scratch("stuck");
    mkdir(folder.c_str(), 0755);
    for (const auto& test : stuckCases)
    {
        SCOPED_TRACE(test.err);
        const ChildOutcome outcome = InChild(1, [&] {
            OutputFile file(folder + "/out.bin", OutputFile::Temporary::kNamed);
            file.Write("part", 4);
            if (test.decided && !file.Commit())
                return 1;
            raise(SIGTERM);
            if (test.twice)
                raise(SIGINT);
            for (;;)
                pause();
            return 0;
        });
        EXPECT_EQ(outcome.code, 128 + SIGTERM);
        EXPECT_EQ(outcome.err, test.err);
        EXPECT_TRUE(test.twice ? outcome.seconds < 1.0 : outcome.seconds >= 1.0 && outcome.seconds < 10.0)
            << outcome.seconds;
        EXPECT_EQ(Listing(folder), test.decided ? std::set<std::string> { "out.bin" } : std::set<std::string> {});
        std::remove((folder + "/out.bin").c_str());
    }
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
