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
#include "WavHeader.h"

namespace aaxhost
{
/** What the RIFF chunk list says, read chunk header by chunk header (8 bytes each). */
struct RiffChunks
{
    bool wave = false;       // RIFF (or big-endian RIFX, or RF64) of form WAVE
    bool bigEndian = false;  // RIFX
    bool crowded = false;    // the walk gave up before it found a format chunk
    bool undeclared = false; // sizes its writer left as it began them, not being able to go back
    int formatChunks = 0;
    int64_t sampleRate = -1; // as the first format chunk gives it; -1 without one
    int64_t dataBytes = -1;  // as the first data chunk (or, in RF64, 'ds64') declares; -1 without one
    int64_t dataOffset = -1; // where the first data chunk's audio starts
};

namespace
{
// A file holds a few chunks; a list of thousands before its format is not walked to its end.
constexpr int kMaxChunks = 4096;
constexpr uint32_t kUndeclared32 = 0xFFFFFFFFu;
// sox, writing where it cannot seek back, declares the whole blocks that fit below this many bytes.
constexpr uint32_t kSoxUndeclared = 0x7FFFF000u;

/** `a + b`, held within the 64-bit range: a declared size may be anything. */
int64_t BoundedSum(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b < 0 ? INT64_MIN : INT64_MAX;
    return sum;
}

uint64_t Word(const unsigned char* bytes, bool bigEndian, int size = 4)
{
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint64_t(bytes[bigEndian ? size - 1 - i : i]) << (8 * i);
    return value;
}

/** Walks the chunk list of `in` (Read(into, count) returning the bytes read, Skip(count) false
    when it cannot), to its end or, with `toData`, to the data chunk's header. */
template <typename Input>
RiffChunks WalkRiff(Input& in, bool toData)
{
    RiffChunks found;
    unsigned char header[16];
    if (in.Read(header, 12) != 12 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return found;
    const bool rf64 = std::memcmp(header, "RF64", 4) == 0;
    found.bigEndian = std::memcmp(header, "RIFX", 4) == 0;
    found.wave = rf64 || found.bigEndian || std::memcmp(header, "RIFF", 4) == 0;
    if (!found.wave)
        return found;
    const auto riffBytes = int64_t(Word(header + 4, found.bigEndian));
    int64_t position = 12;
    int64_t ds64DataBytes = -1;
    bool ds64Empty = false; // every size 0: as ffmpeg leaves it where it cannot go back
    int64_t blockAlign = 0;
    for (int chunk = 0; in.Read(header, 8) == 8; ++chunk)
    {
        if (chunk == kMaxChunks && found.formatChunks == 0)
        {
            found.crowded = true;
            break;
        }
        const auto size = uint32_t(Word(header + 4, found.bigEndian));
        int64_t length = int64_t(size) + (size & 1);
        int64_t skip = length;
        if (rf64 && chunk == 0 && std::memcmp(header, "ds64", 4) == 0 && size >= 16)
        {
            // The RIFF size, then the data chunk's.
            if (in.Read(header, 16) != 16)
                break;
            const uint64_t ds64RiffBytes = Word(header, false, 8), dataBytes = Word(header + 8, false, 8);
            ds64Empty = ds64RiffBytes == 0 && dataBytes == 0;
            ds64DataBytes = int64_t(std::min<uint64_t>(dataBytes, uint64_t(INT64_MAX)));
            skip -= 16;
        }
        else if (std::memcmp(header, "fmt ", 4) == 0 && ++found.formatChunks == 1 && size >= 14)
        {
            // Format tag and channels (2 bytes each), the rate, the bytes a second, the block.
            unsigned char format[14];
            if (in.Read(format, 14) != 14)
                break;
            found.sampleRate = int64_t(Word(format + 4, found.bigEndian));
            blockAlign = int64_t(Word(format + 12, found.bigEndian, 2));
            skip -= 14;
        }
        else if (std::memcmp(header, "data", 4) == 0 && found.dataOffset < 0)
        {
            found.dataOffset = position + 8;
            // The sizes writers that cannot seek back leave: RIFF's largest, RF64's with its
            // 'ds64' all 0, and sox's, whose blocks fill up to 0x7FFFF000 bytes and whose RIFF
            // size ends with them.
            const bool soxPlaceholder = !rf64 && blockAlign > 0 && size <= kSoxUndeclared
                                     && kSoxUndeclared - size < blockAlign && size % blockAlign == 0
                                     && riffBytes == position + int64_t(size);
            found.undeclared = size == kUndeclared32 ? !rf64 || ds64Empty : soxPlaceholder;
            found.dataBytes = size == kUndeclared32 && rf64 && ds64DataBytes >= 0 ? ds64DataBytes : int64_t(size);
            if (found.undeclared)
                found.dataBytes = -1;
            if (toData)
                break;
            length = skip = found.dataBytes < 0 ? INT64_MAX : BoundedSum(found.dataBytes, found.dataBytes & 1);
        }
        if (!in.Skip(skip))
            break;
        position = BoundedSum(position, BoundedSum(8, length));
    }
    return found;
}

struct FileInput
{
    std::FILE* file;

    size_t Read(void* into, size_t count) { return std::fread(into, 1, count, file); }
    bool Skip(int64_t count) { return count < INT64_MAX / 2 && ::fseeko(file, off_t(count), SEEK_CUR) == 0; }
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
        stream.position = std::max<int64_t>(0, BoundedSum(base, offset));
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
    int64_t size = -1;
    if (std::FILE* const file = std::fopen(mPath.c_str(), "rb"))
    {
        FileInput in { file };
        chunks = WalkRiff(in, false);
        struct stat status
        {
        };
        if (::fstat(fileno(file), &status) == 0)
            size = status.st_size;
        std::fclose(file);
    }
    Check(chunks);
    mBytesFollowEmptyData = chunks.dataBytes == 0 && size > chunks.dataOffset;

    if (chunks.undeclared && !chunks.bigEndian && size >= chunks.dataOffset)
    {
        // libsndfile would stop at the 4 GiB a RIFF data chunk can say; what follows its header
        // is the audio.
        const int fd = ::open(mPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            Refuse(std::strerror(errno));
        OpenStream(fd, true, size - chunks.dataOffset);
        return;
    }
    SF_INFO info {};
    mFile.reset(sf_open(mPath.c_str(), SFM_READ, &info));
    if (mFile == nullptr)
        Refuse(sf_strerror(nullptr));
    Accept(info, chunks.dataBytes);
}

void WavReader::OpenStream(int fd, bool ownsFd, int64_t heldBytes)
{
    mStream = std::make_unique<WavStream>(fd, ownsFd);
    mIsStream = heldBytes < 0;
    WavStream& stream = *mStream;
    const RiffChunks chunks = WalkRiff(stream, true);
    ThrowStreamFailure();
    if (stream.overflow)
        Refuse("its header passes the " + std::to_string(kMaxStreamHeader >> 20)
               + " MiB that a stream's header may take before its audio");
    if (!chunks.wave && stream.header.size() >= 12)
        Refuse("not a WAV file");
    Check(chunks);

    int64_t dataBytes = chunks.dataBytes;
    if (chunks.undeclared && !chunks.bigEndian)
    {
        // Shown to libsndfile as RF64, whose data chunk can say more than 4 GiB.
        mDeclares = false;
        dataBytes = heldBytes >= 0 ? heldBytes : int64_t(1) << 60;
        stream.header = WavHeader::AsRf64(stream.header, uint64_t(dataBytes));
    }
    else if (chunks.undeclared)
    {
        // RIFX has no larger form: read as far as its data chunk can say.
        mDeclares = false;
        dataBytes = int64_t(kUndeclared32 - 1);
        for (size_t i = 0; i < 4; ++i)
            stream.header[stream.header.size() - 1 - i] = uint8_t(uint64_t(dataBytes) >> (8 * i));
    }
    // Without a data chunk, libsndfile gets the header alone and says what is missing.
    stream.end = BoundedSum(int64_t(stream.header.size()), dataBytes < 0 ? 0 : BoundedSum(dataBytes, dataBytes & 1));
    SF_VIRTUAL_IO io { &WavStreamIO::Length, &WavStreamIO::Seek, &WavStreamIO::Read, &WavStreamIO::Write,
                       &WavStreamIO::Tell };
    SF_INFO info {};
    mFile.reset(sf_open_virtual(&io, SFM_READ, &info, &stream));
    stream.opening = false;
    ThrowStreamFailure();
    if (mFile == nullptr)
        Refuse(sf_strerror(nullptr));
    Accept(info, mDeclares ? dataBytes : -1);
    if (!mDeclares && mIsStream)
        mNumFrames = kUndeclaredFrames;
    if (dataBytes == 0 && mIsStream)
    {
        // Whether bytes follow a data chunk that declares none: one more byte would tell.
        unsigned char next = 0;
        mBytesFollowEmptyData = stream.ReadStream(&next, 1) == 1;
        ThrowStreamFailure();
    }
}

void WavReader::Check(const RiffChunks& chunks)
{
    if (chunks.crowded)
        Refuse("its first " + std::to_string(kMaxChunks)
               + " chunks hold no format chunk; a WAV file has one among its first few");
    if (chunks.formatChunks > 1)
        Refuse(std::to_string(chunks.formatChunks)
               + " format chunks; a WAV file has one, and which of them to believe is unknown");
    // Before libsndfile, which reads a rate of 0 or beyond 2^31 - 1 as one never given and names
    // no rate.
    if (chunks.sampleRate >= 0 && !(double(chunks.sampleRate) >= mMinRate && double(chunks.sampleRate) <= mMaxRate))
        Refuse("the file's sample rate of " + std::to_string(chunks.sampleRate) + " Hz is outside the accepted "
               + Hz(mMinRate) + " to " + Hz(mMaxRate) + " Hz");
}

void WavReader::Accept(const SF_INFO& info, int64_t dataBytes)
{
    const int type = info.format & SF_FORMAT_TYPEMASK;
    const int bytes = BytesPerSample(info.format);
    if (type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX && type != SF_FORMAT_RF64)
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

/** libsndfile's virtual I/O over the writer's OutputFile (regular files only). Nothing here
    throws: a failure is kept by the file and found by the writer afterwards. */
struct WavWriterIO
{
    static OutputFile& Of(void* user) { return static_cast<WavWriter*>(user)->mFile; }

    static sf_count_t Length(void* user) { return Of(user).Length(); }
    static sf_count_t Tell(void* user) { return Of(user).Position(); }
    static sf_count_t Read(void*, sf_count_t, void*) { return 0; }

    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        OutputFile& file = Of(user);
        const int64_t base = whence == SEEK_CUR ? file.Position() : whence == SEEK_END ? file.Length() : 0;
        return file.Seek(BoundedSum(base, offset)) ? file.Position() : -1;
    }

    static sf_count_t Write(const void* data, sf_count_t size, void* user)
    {
        return size >= 0 && Of(user).Write(data, size_t(size)) ? size : 0;
    }
};

WavWriter::WavWriter(const std::string& path, int numChannels, double sampleRate, size_t numFrames, bool lengthKnown)
    : mFile(path)
    , mNumChannels(numChannels)
    , mSampleRate(sampleRate)
    , mNumFrames(numFrames)
    , mLengthKnown(lengthKnown)
{
    if (numChannels < 1 || numChannels > 64)
        mFile.Fail("a WAV file here has 1 to 64 channels, not " + std::to_string(numChannels));
    if (!(sampleRate >= 1.0 && sampleRate <= 4.0e6) || std::floor(sampleRate) != sampleRate)
        mFile.Fail("the sample rate is not a whole number of Hz");
    if (!mFile.IsOpen())
        throw HostError(mFile.Error());
    if (!mFile.IsRegular())
        return;

    // RF64 that stays plain RIFF/WAVE whenever it fits. No PEAK chunk: its time stamp would make
    // every file different (and asking libsndfile for none adds one to RF64).
    SF_VIRTUAL_IO io { &WavWriterIO::Length, &WavWriterIO::Seek, &WavWriterIO::Read, &WavWriterIO::Write,
                       &WavWriterIO::Tell };
    SF_INFO info {};
    info.samplerate = int(sampleRate);
    info.channels = numChannels;
    info.format = SF_FORMAT_RF64 | SF_FORMAT_FLOAT;
    mSndFile = sf_open_virtual(&io, SFM_WRITE, &info, this);
    Check(mSndFile != nullptr && sf_command(mSndFile, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE) == SF_TRUE);
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

void WavWriter::SendHeader()
{
    if (mHeaderSent)
        return;
    mHeaderSent = true;
    const WavHeader::Form form = mLengthKnown ? WavHeader::FormFor(mNumChannels, mNumFrames)
                                              : WavHeader::Form::kUndeclared;
    const std::vector<uint8_t> header = WavHeader::Float(mNumChannels, uint32_t(mSampleRate), mNumFrames, form);
    Check(mFile.Write(header.data(), header.size()));
}

void WavWriter::Write(const float* const* channels, size_t numFrames)
{
    const auto numChannels = size_t(mNumChannels);
    if (mInterleaved.size() < numFrames * numChannels)
        mInterleaved.resize(numFrames * numChannels);
    for (size_t frame = 0; frame < numFrames; ++frame)
        for (size_t c = 0; c < numChannels; ++c)
            mInterleaved[frame * numChannels + c] = channels[c][frame];
    if (mSndFile != nullptr)
        Check(sf_writef_float(mSndFile, mInterleaved.data(), sf_count_t(numFrames)) == sf_count_t(numFrames));
    else
    {
        // A WAV file's floats are little-endian, as this machine's are.
        static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "float samples are written as they lie in memory");
        SendHeader();
        Check(mFile.Write(mInterleaved.data(), numFrames * numChannels * sizeof(float)));
    }
    mWritten += numFrames;
}

void WavWriter::Announce(size_t numFrames)
{
    if (numFrames == mNumFrames)
        return;
    if (mHeaderSent && mLengthKnown)
        mFile.Fail("the input ended after " + std::to_string(numFrames)
                   + " frames, and the header already sent announced " + std::to_string(mNumFrames));
    Check(mFile.IsOpen());
    mNumFrames = numFrames;
}

void WavWriter::Close()
{
    if (mLengthKnown && mWritten != mNumFrames && mFile.IsOpen())
        mFile.Fail(std::to_string(mWritten) + " frames came where " + std::to_string(mNumFrames) + " were announced");
    if (mSndFile != nullptr)
    {
        const int closed = sf_close(mSndFile);
        mSndFile = nullptr;
        Check(closed == 0);
    }
    else if (mFile.IsOpen())
        SendHeader();
    Check(mFile.Commit());
}
} // namespace aaxhost
