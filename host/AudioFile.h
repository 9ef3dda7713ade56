#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "OutputFile.h"

typedef struct sf_private_tag SNDFILE;

namespace aaxhost
{
/** Reads a WAV file a block at a time through libsndfile: PCM of 8 to 32 bits or float of 32 or
    64 bits, as floats (integers divided by 2^(bits-1)). Memory does not grow with the file.

    A data chunk cut short (a file whose writing was interrupted) is read as far as it goes:
    NumFrames() is what the file holds, DeclaredFrames() what its header promised. */
class WavReader
{
public:
    /** Opens `path`. Throws HostError naming the path for a file that cannot be opened, is no
        WAV file, holds other samples than PCM or float, or has two format chunks. */
    explicit WavReader(const std::string& path);
    ~WavReader();

    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    int NumChannels() const { return mNumChannels; }
    double SampleRate() const { return mSampleRate; }
    size_t NumFrames() const { return mNumFrames; }
    size_t DeclaredFrames() const { return mDeclaredFrames; }

    /** Reads up to `numFrames` frames into NumChannels() buffers; returns the frames read (fewer
        only at the end). Throws HostError when the file cannot be read. */
    size_t Read(float* const* channels, size_t numFrames);

private:
    std::string mPath;
    SNDFILE* mFile = nullptr;
    int mNumChannels = 0;
    double mSampleRate = 0.0;
    size_t mNumFrames = 0;
    size_t mDeclaredFrames = 0;
    std::vector<float> mInterleaved;
};

/** Writes a 32-bit float WAV file a block at a time through libsndfile, into an OutputFile: a
    regular file appears only when it is whole, a pipe or device gets its bytes directly. The
    length is given up front: libsndfile writes a header that declares what was written so far
    and rewrites it at the end, which a pipe cannot take back, so a pipe gets the header of a
    file of that length first and libsndfile's own header writes are left out. */
class WavWriter
{
public:
    /** Starts `path` for `numFrames` frames of `numChannels` (1 to 64) at `sampleRate` (a whole
        number of Hz). Throws HostError ("cannot write PATH: reason") when it cannot. */
    WavWriter(const std::string& path, int numChannels, double sampleRate, size_t numFrames);
    ~WavWriter();

    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    /** Appends `numFrames` frames from NumChannels() buffers. Throws HostError. */
    void Write(const float* const* channels, size_t numFrames);

    /** Finishes the file; only now does a regular file replace the target. Throws HostError
        when anything failed, or when fewer or more frames came than were announced. */
    void Close();

private:
    void Check(bool ok);

    OutputFile mFile;
    SNDFILE* mSndFile = nullptr;
    int mNumChannels;
    size_t mNumFrames;
    size_t mWritten = 0;
    std::vector<float> mInterleaved;
    int64_t mHeaderSize = 0; // streams: the bytes before the audio, already sent
    int64_t mPosition = 0;   // streams: where libsndfile believes it writes

    friend struct WavWriterIO;
};
} // namespace aaxhost
