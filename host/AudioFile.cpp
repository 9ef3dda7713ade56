#include "AudioFile.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sndfile.h>

#include "HostError.h"
#include "Interruption.h"

namespace aaxhost
{
namespace
{
/** What the RIFF chunk list says, read chunk header by chunk header (8 bytes each). */
struct RiffChunks
{
    bool wave = false; // RIFF (or big-endian RIFX) of form WAVE
    int formatChunks = 0;
    int64_t sampleRate = -1; // as the first format chunk gives it; -1 without one
    int64_t dataBytes = -1;  // as the first data chunk declares; -1 without one
};

uint32_t Word(const unsigned char* bytes, bool bigEndian)
{
    if (bigEndian)
        return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

/** Walks the chunk list of `in` (Read(into, count) returning the bytes read, Skip(count) false
    when it cannot), to its end or, with `toData`, to the data chunk's header. */
template <typename Input>
RiffChunks WalkRiff(Input& in, bool toData)
{
    RiffChunks found;
    unsigned char header[12];
    if (in.Read(header, 12) != 12 || !(std::memcmp(header, "RIFF", 4) == 0 || std::memcmp(header, "RIFX", 4) == 0)
        || std::memcmp(header + 8, "WAVE", 4) != 0)
        return found;
    found.wave = true;
    const bool bigEndian = header[3] == 'X';
    // A file holds a few chunks; a list of thousands is not walked to its end.
    for (int chunk = 0; chunk < 4096 && in.Read(header, 8) == 8; ++chunk)
    {
        const uint32_t size = Word(header + 4, bigEndian);
        int64_t skip = int64_t(size) + (size & 1);
        if (std::memcmp(header, "fmt ", 4) == 0 && ++found.formatChunks == 1 && size >= 8)
        {
            // Format tag and channels (2 bytes each), then the rate.
            unsigned char format[8];
            if (in.Read(format, 8) != 8)
                break;
            found.sampleRate = Word(format + 4, bigEndian);
            skip -= 8;
        }
        else if (std::memcmp(header, "data", 4) == 0 && found.dataBytes < 0)
        {
            found.dataBytes = size;
            if (toData)
                break;
        }
        if (!in.Skip(skip))
            break;
    }
    return found;
}

struct FileInput
{
    std::FILE* file;

    size_t Read(void* into, size_t count) { return std::fread(into, 1, count, file); }
    bool Skip(int64_t count) { return std::fseek(file, long(count), SEEK_CUR) == 0; }
};

/** A limit of the accepted rates, as a whole number of Hz where it is one. */
std::string Hz(double rate)
{
    if (std::floor(rate) == rate && std::fabs(rate) < 1e15)
        return std::to_string(int64_t(rate));
    char text[32];
    std::snprintf(text, sizeof(text), "%g", rate);
    return text;
}

int BytesPerSample(int format)
{
    switch (format & SF_FORMAT_SUBMASK)
    {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;
    }
}

// What a stream's chunks before the audio may take: a few format, list and padding chunks.
constexpr size_t kMaxStreamHeader = size_t(1) << 20;
} // namespace

void SndfileCloser::operator()(SNDFILE* file) const
{
    sf_close(file);
}

/** A stream as libsndfile reads it: its header and whatever libsndfile reads while it opens,
    kept (libsndfile seeks about in them freely), then the rest of the audio as it comes, once.
    libsndfile is told the file ends after the declared data, so that it looks for no chunk after
    it and reads there as the end of the file.

    Nothing here throws through libsndfile, which is C: a failure or the user's interruption is
    noted, the read returns short, and the reader throws once libsndfile has returned. */
struct WavStream
{
    WavStream(int fd, bool ownsFd)
        : fd(fd)
        , ownsFd(ownsFd)
    {
    }
    ~WavStream()
    {
        if (ownsFd)
            ::close(fd);
    }
    WavStream(const WavStream&) = delete;
    WavStream& operator=(const WavStream&) = delete;

    int fd;
    bool ownsFd;
    std::vector<unsigned char> header; // every byte before the audio
    int64_t end = 0;                   // where libsndfile is told the file ends
    int64_t position = 0;              // where libsndfile believes it reads
    bool opening = true;               // what libsndfile reads now is kept in `header`
    bool ended = false, interrupted = false, overflow = false;
    std::string failure;
    int64_t consumed = 0; // bytes of the stream read after the header

    int64_t StreamPosition() const { return int64_t(header.size()) + consumed; }

    /** Up to `count` bytes, fewer only at the end of the stream or after a failure. */
    size_t ReadStream(unsigned char* into, size_t count)
    {
        size_t got = 0;
        while (got < count && !ended && !interrupted && failure.empty())
        {
            const ssize_t n = ::read(fd, into + got, count - got);
            if (n > 0)
                got += size_t(n);
            else if (n == 0)
                ended = true;
            else if (errno != EINTR)
                failure = std::strerror(errno);
            else if (Interruption::Pending() != 0)
                interrupted = true;
        }
        return got;
    }

    // The header walk: every byte read is kept for libsndfile.
    size_t Read(void* into, size_t count)
    {
        const size_t before = header.size();
        if (!Skip(int64_t(count)))
            return 0;
        std::memcpy(into, header.data() + before, count);
        return count;
    }

    bool Skip(int64_t count)
    {
        const size_t before = header.size();
        if (count > int64_t(kMaxStreamHeader - before))
        {
            overflow = true;
            return false;
        }
        header.resize(before + size_t(count));
        header.resize(before + ReadStream(header.data() + before, size_t(count)));
        return header.size() == before + size_t(count);
    }
};

struct WavStreamIO
{
    static WavStream& Of(void* user) { return *static_cast<WavStream*>(user); }

    static sf_count_t Length(void* user) { return Of(user).end; }
    static sf_count_t Tell(void* user) { return Of(user).position; }
    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }

    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        WavStream& stream = Of(user);
        const int64_t base = whence == SEEK_CUR ? stream.position : whence == SEEK_END ? stream.end : 0;
        stream.position = std::max<int64_t>(0, base + offset);
        return stream.position;
    }

    static sf_count_t Read(void* into, sf_count_t count, void* user)
    {
        WavStream& stream = Of(user);
        auto* const bytes = static_cast<unsigned char*>(into);
        sf_count_t done = 0;
        const auto headerSize = int64_t(stream.header.size());
        if (stream.position < headerSize)
        {
            done = std::min<sf_count_t>(count, headerSize - stream.position);
            std::memcpy(bytes, stream.header.data() + stream.position, size_t(done));
            stream.position += done;
        }
        const int64_t wanted = std::min<int64_t>(count - done, stream.end - stream.position);
        if (wanted <= 0)
            return done;
        if (stream.position != stream.StreamPosition())
        {
            stream.failure = "libsndfile asked for byte " + std::to_string(stream.position)
                           + " of a stream that is at byte " + std::to_string(stream.StreamPosition());
            return done;
        }
        int64_t got;
        if (stream.opening)
        {
            // libsndfile peeks at the first samples while it opens, then goes back to them.
            const size_t before = stream.header.size();
            stream.Skip(wanted);
            got = int64_t(stream.header.size() - before);
            std::memcpy(bytes + done, stream.header.data() + before, size_t(got));
        }
        else
        {
            got = int64_t(stream.ReadStream(bytes + done, size_t(wanted)));
            stream.consumed += got;
        }
        stream.position += got;
        return done + got;
    }
};

// ---------------------------------------------------------------------------------------------

WavReader::WavReader(const std::string& path, double minRate, double maxRate)
    : mPath(path)
    , mMinRate(minRate)
    , mMaxRate(maxRate)
{
    struct stat status
    {
    };
    if (path == "-")
    {
        if (::fstat(0, &status) == 0 && S_ISDIR(status.st_mode))
            Refuse("is a folder");
        OpenStream(0, false);
        return;
    }
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode))
    {
        OpenFile(); // also for a path that is not there, which libsndfile names
        return;
    }
    if (S_ISDIR(status.st_mode))
        Refuse("is a folder");
    int fd;
    // A FIFO opens only when its writer does, which the user may give up waiting for.
    while ((fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC)) < 0 && errno == EINTR)
        Interruption::ThrowIfRequested();
    if (fd < 0)
        Refuse(std::strerror(errno));
    OpenStream(fd, true);
}

WavReader::~WavReader() = default;

void WavReader::OpenFile()
{
    RiffChunks chunks;
    if (std::FILE* const file = std::fopen(mPath.c_str(), "rb"))
    {
        FileInput in { file };
        chunks = WalkRiff(in, false);
        std::fclose(file);
    }
    Check(chunks.formatChunks, chunks.sampleRate);

    SF_INFO info {};
    mFile.reset(sf_open(mPath.c_str(), SFM_READ, &info));
    if (mFile == nullptr)
        Refuse(sf_strerror(nullptr));
    Accept(info, chunks.dataBytes);
}

void WavReader::OpenStream(int fd, bool ownsFd)
{
    mStream = std::make_unique<WavStream>(fd, ownsFd);
    WavStream& stream = *mStream;
    const RiffChunks chunks = WalkRiff(stream, true);
    ThrowStreamFailure();
    if (stream.overflow)
        Refuse("no data chunk in the first " + std::to_string(kMaxStreamHeader >> 20) + " MiB of the stream");
    if (!chunks.wave && stream.header.size() >= 12)
        Refuse("not a WAV file");
    Check(chunks.formatChunks, chunks.sampleRate);

    // Without a data chunk, libsndfile gets the header alone and says what is missing.
    stream.end = int64_t(stream.header.size()) + (chunks.dataBytes < 0 ? 0 : chunks.dataBytes + (chunks.dataBytes & 1));
    SF_VIRTUAL_IO io { &WavStreamIO::Length, &WavStreamIO::Seek, &WavStreamIO::Read, &WavStreamIO::Write,
                       &WavStreamIO::Tell };
    SF_INFO info {};
    mFile.reset(sf_open_virtual(&io, SFM_READ, &info, &stream));
    stream.opening = false;
    ThrowStreamFailure();
    if (mFile == nullptr)
        Refuse(sf_strerror(nullptr));
    Accept(info, chunks.dataBytes);
}

void WavReader::Check(int formatChunks, int64_t sampleRate)
{
    if (formatChunks > 1)
        Refuse(std::to_string(formatChunks)
               + " format chunks; a WAV file has one, and which of them to believe is unknown");
    // Before libsndfile, which reads a rate of 0 or beyond 2^31 - 1 as one never given and names
    // no rate.
    if (sampleRate >= 0 && !(double(sampleRate) >= mMinRate && double(sampleRate) <= mMaxRate))
        Refuse("the file's sample rate of " + std::to_string(sampleRate) + " Hz is outside the accepted " + Hz(mMinRate)
               + " to " + Hz(mMaxRate) + " Hz");
}

void WavReader::Accept(const SF_INFO& info, int64_t dataBytes)
{
    const int type = info.format & SF_FORMAT_TYPEMASK;
    const int bytes = BytesPerSample(info.format);
    if (type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX)
        Refuse("not a WAV file");
    if (bytes == 0)
        Refuse("the samples are neither PCM nor float");
    if (info.channels < 1 || info.frames < 0)
        Refuse("no audio channels");

    mNumChannels = info.channels;
    mSampleRate = info.samplerate;
    mNumFrames = size_t(info.frames);
    mDeclaredFrames = dataBytes < 0 ? mNumFrames : size_t(dataBytes) / size_t(bytes * mNumChannels);
}

void WavReader::Refuse(const std::string& reason)
{
    throw HostError(mPath + ": " + reason);
}

void WavReader::ThrowStreamFailure()
{
    if (mStream->interrupted)
        Interruption::ThrowIfRequested();
    if (!mStream->failure.empty())
        Refuse(mStream->failure);
}

size_t WavReader::Read(float* const* channels, size_t numFrames)
{
    const auto numChannels = size_t(mNumChannels);
    if (mInterleaved.size() < numFrames * numChannels)
        mInterleaved.resize(numFrames * numChannels);
    const sf_count_t read = sf_readf_float(mFile.get(), mInterleaved.data(), sf_count_t(numFrames));
    if (mStream != nullptr)
        ThrowStreamFailure();
    if (read < 0 || (read < sf_count_t(numFrames) && sf_error(mFile.get()) != SF_ERR_NO_ERROR))
        Refuse(sf_strerror(mFile.get()));
    for (size_t frame = 0; frame < size_t(read); ++frame)
        for (size_t c = 0; c < numChannels; ++c)
            channels[c][frame] = mInterleaved[frame * numChannels + c];
    mFramesRead += size_t(read);
    if (read < sf_count_t(numFrames))
    {
        mEnded = true;
        mNumFrames = mFramesRead;
    }
    return size_t(read);
}

// ---------------------------------------------------------------------------------------------

namespace
{
SF_INFO FloatWav(int numChannels, double sampleRate)
{
    SF_INFO info {};
    info.samplerate = int(sampleRate);
    info.channels = numChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    return info;
}

/** Opens a float WAV for writing without a PEAK chunk, whose time stamp and peaks would change
    the header at the end. */
SNDFILE* OpenFloatWav(SF_VIRTUAL_IO& io, int numChannels, double sampleRate, void* user)
{
    SF_INFO info = FloatWav(numChannels, sampleRate);
    SNDFILE* const file = sf_open_virtual(&io, SFM_WRITE, &info, user);
    if (file != nullptr)
        sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return file;
}

/** Keeps the first bytes libsndfile writes and counts the rest: the header of a file of a given
    length, without the file. */
struct HeaderSink
{
    std::vector<uint8_t> head = std::vector<uint8_t>(4096);
    int64_t position = 0, length = 0;

    static HeaderSink& Of(void* user) { return *static_cast<HeaderSink*>(user); }
    static sf_count_t Length(void* user) { return Of(user).length; }
    static sf_count_t Tell(void* user) { return Of(user).position; }
    static sf_count_t Read(void*, sf_count_t, void*) { return 0; }

    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        HeaderSink& sink = Of(user);
        sink.position = (whence == SEEK_CUR ? sink.position : whence == SEEK_END ? sink.length : 0) + offset;
        return sink.position;
    }

    static sf_count_t Write(const void* data, sf_count_t size, void* user)
    {
        HeaderSink& sink = Of(user);
        for (sf_count_t i = 0; i < size; ++i)
            if (sink.position + i < int64_t(sink.head.size()))
                sink.head[size_t(sink.position + i)] = static_cast<const uint8_t*>(data)[i];
        sink.position += size;
        sink.length = std::max(sink.length, sink.position);
        return size;
    }
};

/** The bytes before the audio of a float WAV file holding `numFrames` frames, as libsndfile
    writes them when it closes such a file; empty when it cannot. */
std::vector<uint8_t> FloatWavHeader(int numChannels, double sampleRate, size_t numFrames)
{
    HeaderSink sink;
    SF_VIRTUAL_IO io { &HeaderSink::Length, &HeaderSink::Seek, &HeaderSink::Read, &HeaderSink::Write,
                       &HeaderSink::Tell };
    SNDFILE* const file = OpenFloatWav(io, numChannels, sampleRate, &sink);
    if (file == nullptr)
        return {};
    const int64_t headerSize = sink.position;
    const std::vector<float> silence(4096 * size_t(numChannels));
    for (size_t done = 0; done < numFrames;)
    {
        const size_t count = std::min<size_t>(4096, numFrames - done);
        sf_writef_float(file, silence.data(), sf_count_t(count));
        done += count;
    }
    if (sf_close(file) != 0 || headerSize > int64_t(sink.head.size()))
        return {};
    return std::vector<uint8_t>(sink.head.begin(), sink.head.begin() + std::ptrdiff_t(headerSize));
}
} // namespace

/** libsndfile's virtual I/O over the writer's OutputFile. Nothing here throws: a failure is
    kept by the file and found by the writer afterwards. */
struct WavWriterIO
{
    static WavWriter& Of(void* user) { return *static_cast<WavWriter*>(user); }

    static sf_count_t Length(void* user) { return Of(user).mFile.Length(); }

    static sf_count_t Tell(void* user)
    {
        const WavWriter& writer = Of(user);
        return writer.mFile.IsRegular() ? writer.mFile.Position() : writer.mPosition;
    }

    static sf_count_t Read(void*, sf_count_t, void*) { return 0; }

    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        WavWriter& writer = Of(user);
        const int64_t base = whence == SEEK_CUR ? Tell(user) : whence == SEEK_END ? writer.mFile.Length() : 0;
        if (writer.mFile.IsRegular())
            return writer.mFile.Seek(base + offset) ? writer.mFile.Position() : -1;
        writer.mPosition = base + offset;
        return writer.mPosition;
    }

    static sf_count_t Write(const void* data, sf_count_t size, void* user)
    {
        WavWriter& writer = Of(user);
        if (writer.mFile.IsRegular())
            return size >= 0 && writer.mFile.Write(data, size_t(size)) ? size : 0;

        // A stream has its header already: what libsndfile writes there is left out, the audio
        // goes on where the stream is.
        const int64_t skipped = std::clamp<int64_t>(writer.mHeaderSize - writer.mPosition, 0, size);
        writer.mPosition += skipped;
        if (skipped < size
            && !(writer.mFile.Seek(writer.mPosition)
                 && writer.mFile.Write(static_cast<const uint8_t*>(data) + skipped, size_t(size - skipped))))
            return 0;
        writer.mPosition += size - skipped;
        return size;
    }
};

WavWriter::WavWriter(const std::string& path, int numChannels, double sampleRate, size_t numFrames)
    : mFile(path)
    , mNumChannels(numChannels)
    , mNumFrames(numFrames)
{
    if (numChannels < 1 || numChannels > 64)
        mFile.Fail("a WAV file here has 1 to 64 channels, not " + std::to_string(numChannels));
    if (!(sampleRate >= 1.0 && sampleRate <= 4.0e6) || std::floor(sampleRate) != sampleRate)
        mFile.Fail("the sample rate is not a whole number of Hz");
    if (!mFile.IsOpen())
        throw HostError(mFile.Error());

    if (!mFile.IsRegular())
    {
        const std::vector<uint8_t> header = FloatWavHeader(numChannels, sampleRate, numFrames);
        if (header.empty())
            mFile.Fail("libsndfile made no header for " + std::to_string(numFrames) + " frames");
        Check(mFile.Write(header.data(), header.size()));
        mHeaderSize = int64_t(header.size());
    }
    SF_VIRTUAL_IO io { &WavWriterIO::Length, &WavWriterIO::Seek, &WavWriterIO::Read, &WavWriterIO::Write,
                       &WavWriterIO::Tell };
    mSndFile = OpenFloatWav(io, numChannels, sampleRate, this);
    Check(mSndFile != nullptr);
}

WavWriter::~WavWriter()
{
    if (mSndFile != nullptr)
        sf_close(mSndFile);
}

void WavWriter::Check(bool ok)
{
    if (ok && mFile.Error().empty())
        return;
    mFile.Fail(sf_strerror(mSndFile)); // kept only when the file has no reason of its own
    throw HostError(mFile.Error());
}

void WavWriter::Write(const float* const* channels, size_t numFrames)
{
    const auto numChannels = size_t(mNumChannels);
    if (mInterleaved.size() < numFrames * numChannels)
        mInterleaved.resize(numFrames * numChannels);
    for (size_t frame = 0; frame < numFrames; ++frame)
        for (size_t c = 0; c < numChannels; ++c)
            mInterleaved[frame * numChannels + c] = channels[c][frame];
    Check(sf_writef_float(mSndFile, mInterleaved.data(), sf_count_t(numFrames)) == sf_count_t(numFrames));
    mWritten += numFrames;
}

void WavWriter::Announce(size_t numFrames)
{
    if (numFrames == mNumFrames)
        return;
    if (!mFile.IsRegular())
        mFile.Fail("the input ended after " + std::to_string(numFrames)
                   + " frames, and the header already sent announced " + std::to_string(mNumFrames));
    Check(mFile.IsOpen());
    mNumFrames = numFrames;
}

void WavWriter::Close()
{
    if (mWritten != mNumFrames && mFile.IsOpen())
        mFile.Fail(std::to_string(mWritten) + " frames came where " + std::to_string(mNumFrames) + " were announced");
    const int closed = sf_close(mSndFile);
    mSndFile = nullptr;
    Check(closed == 0);
    Check(mFile.Commit());
}
} // namespace aaxhost
