#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "OutputFile.h"

typedef struct sf_private_tag SNDFILE;
struct SF_INFO;

namespace aaxhost
{
struct WavStream;
struct RiffChunks;

struct SndfileCloser
{
    void operator()(SNDFILE* file) const;
};

/** Reads a WAV file a block at a time through libsndfile: RIFF/WAVE or RF64, PCM of 8 to 32 bits
    or float of 32 or 64 bits, as floats (integers divided by 2^(bits-1)). Memory does not grow
    with the file.

    A regular file is walked whole before it is read: a data chunk cut short (a file whose writing
    was interrupted) is read as far as it goes, NumFrames() is what the file holds and
    DeclaredFrames() what its header promised.

    Anything else that is not a folder (`-` for standard input, /dev/stdin, a FIFO, a process
    substitution) is a stream, read once from start to end: only its header, up to the data
    chunk, is read before the audio, so reading starts before the writer has finished. How much
    audio comes is then only known at its end: until then NumFrames() is the declared count; a
    stream that ends early makes Read() return fewer frames (no error), Ended() true, and
    NumFrames() what came.

    The sizes that writers which cannot seek back leave in the header declare no length
    (DeclaresLength() false): a RIFF data chunk of 0xFFFFFFFF bytes, an RF64 one of 0xFFFFFFFF
    whose 'ds64' sizes are all 0 (ffmpeg), and a RIFF data chunk of the whole blocks that fit in
    0x7FFFF000 bytes, ending where the RIFF size ends (sox). A stream is then read to its end,
    however long (a big-endian RIFX one up to 4 GiB), and NumFrames() is kUndeclaredFrames until
    then; a regular file holds what follows its data chunk's header. */
class WavReader
{
public:
    /** Opens `path`. Throws HostError naming the path for a folder, a file that cannot be opened,
        is no WAV file, holds other samples than PCM or float, has two format chunks (before the
        data, for a stream), or whose format chunk gives a sample rate outside `minRate` to
        `maxRate` Hz; throws Interrupted when the user interrupts a wait for a stream's header. */
    explicit WavReader(const std::string& path, double minRate = 1.0, double maxRate = 2147483647.0);

    /** What NumFrames() says of a stream that declared no length, until its end. */
    static constexpr size_t kUndeclaredFrames = size_t(1) << 40;
    ~WavReader();

    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    int NumChannels() const { return mNumChannels; }
    double SampleRate() const { return mSampleRate; }
    size_t NumFrames() const { return mNumFrames; }
    size_t DeclaredFrames() const { return mDeclares ? mDeclaredFrames : mNumFrames; }
    /** False when the data chunk declares no length (see above). */
    bool DeclaresLength() const { return mDeclares; }

    /** True when the data chunk declares 0 bytes but bytes follow it (they are not read). */
    bool BytesFollowEmptyData() const { return mBytesFollowEmptyData; }

    /** True for a stream, whose length is known only at its end. */
    bool IsStream() const { return mIsStream; }
    /** The frames Read() has returned so far. */
    size_t FramesRead() const { return mFramesRead; }
    /** True once a Read() returned fewer frames than asked for: all frames have come, and
        NumFrames() equals FramesRead(). */
    bool Ended() const { return mEnded; }

    /** Reads up to `numFrames` frames into NumChannels() buffers; returns the frames read (fewer
        only at the end). Throws HostError when the file cannot be read, Interrupted when the user
        interrupts a wait for a stream. */
    size_t Read(float* const* channels, size_t numFrames);

private:
    void OpenFile();
    void OpenStream(int fd, bool ownsFd, int64_t heldBytes = -1);
    void Check(const RiffChunks& chunks);
    void Accept(const SF_INFO& info, int64_t dataBytes);
    [[noreturn]] void Refuse(const std::string& reason);
    void ThrowStreamFailure();

    std::string mPath;
    double mMinRate, mMaxRate;
    std::unique_ptr<WavStream> mStream; // outlives mFile, which reads through it
    std::unique_ptr<SNDFILE, SndfileCloser> mFile;
    int mNumChannels = 0;
    double mSampleRate = 0.0;
    size_t mNumFrames = 0;
    size_t mDeclaredFrames = 0;
    size_t mFramesRead = 0;
    bool mIsStream = false;
    bool mDeclares = true;
    bool mEnded = false;
    bool mBytesFollowEmptyData = false;
    std::vector<float> mInterleaved;
};

/** Writes a 32-bit float WAV file a block at a time into an OutputFile: a regular file appears
    only when it is whole, a pipe or device gets its bytes as they come.

    A regular file goes through libsndfile as RF64 that is written as plain RIFF/WAVE whenever the
    whole file stays below 4 GiB, its header written at the end. A pipe or device cannot take a
    header back, so it gets the header of the announced length first (WavHeader: the same bytes
    a regular file of that length gets), or one that declares no length. */
class WavWriter
{
public:
    /** Starts `path` for `numFrames` frames of `numChannels` (1 to 64) at `sampleRate` (a whole
        number of Hz), or for a length not known yet (`lengthKnown` false: a pipe or device then
        gets a header that declares none). Nothing reaches a pipe before the first Write() or
        Close(). Throws HostError ("cannot write PATH: reason") when it cannot. */
    WavWriter(const std::string& path, int numChannels, double sampleRate, size_t numFrames, bool lengthKnown = true);
    ~WavWriter();

    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    /** True when the file goes to this process's standard output. */
    bool ToStandardOutput() const { return mFile.IsStandardOutput(); }

    /** Appends `numFrames` frames from NumChannels() buffers. Throws HostError. */
    void Write(const float* const* channels, size_t numFrames);

    /** Changes the number of frames announced (the input was a stream that ended early). A
        regular file takes any number, its header being written at the end, and so does a stream
        whose header declared no length; a pipe or device that announced a length fails for
        another number. Throws HostError. */
    void Announce(size_t numFrames);

    /** Finishes the file; only now does a regular file replace the target (see
        OutputFile::Commit: throws Interrupted when the user interrupted the command first).
        Throws HostError when anything failed, or when fewer or more frames came than were
        announced. */
    void Close();

private:
    void Check(bool ok);
    void SendHeader();

    OutputFile mFile;
    SNDFILE* mSndFile = nullptr; // regular files only
    int mNumChannels;
    double mSampleRate;
    size_t mNumFrames;
    bool mLengthKnown;
    bool mHeaderSent = false; // streams
    size_t mWritten = 0;
    std::vector<float> mInterleaved;

    friend struct WavWriterIO;
};
} // namespace aaxhost
