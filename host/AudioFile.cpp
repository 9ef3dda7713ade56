#include "AudioFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <sndfile.h>

#include "HostError.h"

namespace aaxhost
{
namespace
{
/** What the RIFF chunk list says, read chunk header by chunk header (8 bytes each). */
struct RiffChunks
{
    int formatChunks = 0;
    int64_t dataBytes = -1; // as the first data chunk declares; -1 without one
};

RiffChunks WalkRiff(const std::string& path)
{
    RiffChunks found;
    std::FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return found;
    unsigned char header[12];
    if (std::fread(header, 1, 12, file) == 12 && std::memcmp(header, "RIFF", 4) == 0
        && std::memcmp(header + 8, "WAVE", 4) == 0)
    {
        // A file holds a few chunks; a list of thousands is not walked to its end.
        for (int chunk = 0; chunk < 4096 && std::fread(header, 1, 8, file) == 8; ++chunk)
        {
            const uint32_t size = uint32_t(header[4]) | uint32_t(header[5]) << 8 | uint32_t(header[6]) << 16
                                | uint32_t(header[7]) << 24;
            if (std::memcmp(header, "fmt ", 4) == 0)
                ++found.formatChunks;
            else if (std::memcmp(header, "data", 4) == 0 && found.dataBytes < 0)
                found.dataBytes = size;
            if (std::fseek(file, long(size) + long(size & 1), SEEK_CUR) != 0)
                break;
        }
    }
    std::fclose(file);
    return found;
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
} // namespace

// ---------------------------------------------------------------------------------------------

WavReader::WavReader(const std::string& path)
    : mPath(path)
{
    const RiffChunks chunks = WalkRiff(path);
    if (chunks.formatChunks > 1)
        throw HostError(path + ": " + std::to_string(chunks.formatChunks)
                        + " format chunks; a WAV file has one, and which of them to believe is unknown");

    SF_INFO info {};
    mFile = sf_open(path.c_str(), SFM_READ, &info);
    if (mFile == nullptr)
        throw HostError(path + ": " + sf_strerror(nullptr));

    const int type = info.format & SF_FORMAT_TYPEMASK;
    const int bytes = BytesPerSample(info.format);
    std::string refused;
    if (type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX)
        refused = "not a WAV file";
    else if (bytes == 0)
        refused = "the samples are neither PCM nor float";
    else if (info.channels < 1 || info.frames < 0)
        refused = "no audio channels";
    if (!refused.empty())
    {
        sf_close(mFile);
        throw HostError(path + ": " + refused);
    }

    mNumChannels = info.channels;
    mSampleRate = info.samplerate;
    mNumFrames = size_t(info.frames);
    mDeclaredFrames = chunks.dataBytes < 0 ? mNumFrames : size_t(chunks.dataBytes) / size_t(bytes * mNumChannels);
}

WavReader::~WavReader()
{
    sf_close(mFile);
}

size_t WavReader::Read(float* const* channels, size_t numFrames)
{
    const auto numChannels = size_t(mNumChannels);
    if (mInterleaved.size() < numFrames * numChannels)
        mInterleaved.resize(numFrames * numChannels);
    const sf_count_t read = sf_readf_float(mFile, mInterleaved.data(), sf_count_t(numFrames));
    if (read < 0 || (read < sf_count_t(numFrames) && sf_error(mFile) != SF_ERR_NO_ERROR))
        throw HostError(mPath + ": " + sf_strerror(mFile));
    for (size_t frame = 0; frame < size_t(read); ++frame)
        for (size_t c = 0; c < numChannels; ++c)
            channels[c][frame] = mInterleaved[frame * numChannels + c];
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
