#pragma once

// Files for the host's tests, in a folder of this process's own: test runs of several build trees
// at once must not share a name.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <png.h>
#include <sndfile.h>
#include <sys/stat.h>

#include "AudioData.h"
#include "AudioFile.h"
#include "RgbImage.h"

namespace quillo::hosttest
{
/** This process's scratch folder, removed with everything in it when the process ends (children
    that a test forks leave through exec or _exit, so only this process removes it). */
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = testing::TempDir() + "quillo-host-XXXXXX";
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        chmod(pattern.c_str(), 0755); // open to others, as the tests that drop privileges need
        mPath = pattern + "/";
    }

    ~ScratchFolder()
    {
        // A test that failed half-way may have left a folder read-only.
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(mPath, error))
            if (entry.is_directory(error) && !entry.is_symlink(error))
                chmod(entry.path().c_str(), 0755);
        std::filesystem::remove_all(mPath, error);
    }

    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

/** A path in this process's scratch folder. */
inline std::string Scratch(const std::string& name)
{
    static const ScratchFolder folder;
    return folder.Path() + name;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

inline void WriteText(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<float*> Pointers(aaxhost::AudioData& audio, size_t offset = 0)
{
    std::vector<float*> pointers;
    for (auto& channel : audio.channels)
        pointers.push_back(channel.data() + offset);
    return pointers;
}

/** The whole file, read in blocks of `blockSize` frames. */
inline aaxhost::AudioData ReadWav(const std::string& path, size_t blockSize = 4096)
{
    aaxhost::WavReader reader(path);
    auto audio = aaxhost::AudioData::Silence(reader.SampleRate(), reader.NumChannels(), reader.NumFrames());
    for (size_t done = 0, read = 1; done < audio.NumFrames() && read > 0; done += read)
        read = reader.Read(Pointers(audio, done).data(), std::min(blockSize, audio.NumFrames() - done));
    return audio;
}

/** A PNG file as RGB pixels, through libpng; an empty picture when it cannot be read. */
inline aaxhost::RgbImage ReadPng(const std::string& path)
{
    png_image read {};
    read.version = PNG_IMAGE_VERSION;
    aaxhost::RgbImage image;
    if (!png_image_begin_read_from_file(&read, path.c_str()))
        return image;
    read.format = PNG_FORMAT_RGB;
    image.pixels.resize(PNG_IMAGE_SIZE(read));
    if (!png_image_finish_read(&read, nullptr, image.pixels.data(), 0, nullptr))
        return {};
    image.width = int(read.width);
    image.height = int(read.height);
    return image;
}

/** Bytes written as pairs of hexadecimal digits; spaces are for the eye. */
inline std::string FromHex(const std::string& hex)
{
    std::string bytes, pair;
    for (const char digit : hex)
        if (digit != ' ' && (pair += digit).size() == 2)
        {
            bytes += char(std::stoi(pair, nullptr, 16));
            pair.clear();
        }
    return bytes;
}

/** The bytes of a WAV file with its format chunk written twice in a row. */
inline std::string WithFormatChunkTwice(const std::string& bytes)
{
    const size_t fmt = bytes.find("fmt ");
    const auto size = size_t(uint8_t(bytes[fmt + 4])) | size_t(uint8_t(bytes[fmt + 5])) << 8;
    const size_t end = fmt + 8 + size;
    return bytes.substr(0, end) + bytes.substr(fmt, end - fmt) + bytes.substr(end);
}

/** `audio` as libsndfile writes it in `format` (plain RIFF/WAVE, or another container). */
inline std::string WavBytes(const aaxhost::AudioData& audio, int format, int container = SF_FORMAT_WAV)
{
    const std::string path = Scratch("bytes.wav");
    SF_INFO info { 0, int(audio.sampleRate), audio.NumChannels(), container | format, 0, 0 };
    SNDFILE* const file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> interleaved;
    for (size_t frame = 0; frame < audio.NumFrames(); ++frame)
        for (const auto& channel : audio.channels)
            interleaved.push_back(channel[frame]);
    sf_writef_float(file, interleaved.data(), sf_count_t(audio.NumFrames()));
    sf_close(file);
    return ReadText(path);
}

/** The bytes of a WAV file whose data chunk declares 0 bytes before its audio. */
inline std::string WithEmptyDataChunk(std::string bytes)
{
    return bytes.replace(bytes.find("data") + 4, 4, std::string(4, '\0'));
}

/** A 32-bit float WAV file, written in two pieces. */
inline void WriteWav(const std::string& path, aaxhost::AudioData audio)
{
    aaxhost::WavWriter writer(path, audio.NumChannels(), audio.sampleRate, audio.NumFrames());
    const size_t first = audio.NumFrames() / 3;
    writer.Write(Pointers(audio).data(), first);
    writer.Write(Pointers(audio, first).data(), audio.NumFrames() - first);
    writer.Close();
}
} // namespace quillo::hosttest
