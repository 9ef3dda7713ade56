#include "WavFile.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace aaxhost
{
namespace
{
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Read32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t Read16(const unsigned char* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void Put16(std::vector<unsigned char>& out, uint16_t value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

float DecodeSample(const unsigned char* p, uint16_t format, uint16_t bits)
{
    if (format == kFormatFloat)
    {
        if (bits == 32)
        {
            float value = 0.0f;
            std::memcpy(&value, p, 4);
            return value;
        }
        double value = 0.0;
        std::memcpy(&value, p, 8);
        return float(value);
    }

    switch (bits)
    {
    case 8:
        return (float(p[0]) - 128.0f) / 128.0f;
    case 16:
        return float(int16_t(Read16(p))) / 32768.0f;
    case 24:
    {
        int32_t value = int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
        return float(value) / 8388608.0f;
    }
    default:
        return float(double(int32_t(Read32(p))) / 2147483648.0);
    }
}
} // namespace

bool WavFile::Read(const std::string& path, AudioData& audio, std::string& error)
{
    audio = AudioData {};
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!Parse(bytes, audio, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool WavFile::Parse(const std::vector<unsigned char>& bytes, AudioData& audio, std::string& error)
{
    audio = AudioData {};
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    {
        error = "not a RIFF/WAVE file";
        return false;
    }

    bool haveFormat = false;
    uint16_t format = 0, numChannels = 0, bits = 0, blockAlign = 0;
    uint32_t rate = 0;
    const unsigned char* data = nullptr;
    size_t dataSize = 0;

    size_t position = 12;
    while (position + 8 <= bytes.size())
    {
        const unsigned char* const chunk = bytes.data() + position;
        const size_t size = Read32(chunk + 4);
        const size_t available = bytes.size() - position - 8;
        const size_t body = size < available ? size : available;   // a truncated last chunk is cut

        if (std::memcmp(chunk, "fmt ", 4) == 0)
        {
            if (body < 16)
            {
                error = "format chunk too short";
                return false;
            }
            format = Read16(chunk + 8);
            numChannels = Read16(chunk + 10);
            rate = Read32(chunk + 12);
            blockAlign = Read16(chunk + 20);
            bits = Read16(chunk + 22);
            if (format == kFormatExtensible)
            {
                if (body < 40)
                {
                    error = "extensible format chunk too short";
                    return false;
                }
                format = Read16(chunk + 32);   // the sub-format GUID starts with the format code
            }
            haveFormat = true;
        }
        else if (std::memcmp(chunk, "data", 4) == 0 && data == nullptr)
        {
            data = chunk + 8;
            dataSize = body;
        }

        if (size > available)
            break;
        position += 8 + size + (size & 1);
    }

    if (!haveFormat || data == nullptr)
    {
        error = haveFormat ? "no data chunk" : "no format chunk";
        return false;
    }
    const bool pcm = format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floating = format == kFormatFloat && (bits == 32 || bits == 64);
    if (!pcm && !floating)
    {
        error = "unsupported sample format " + std::to_string(format) + " with " + std::to_string(bits) + " bits";
        return false;
    }
    if (numChannels == 0 || rate == 0 || blockAlign != numChannels * (bits / 8))
    {
        error = "inconsistent format (channels, rate or block size)";
        return false;
    }

    const size_t frames = dataSize / blockAlign;
    audio.sampleRate = double(rate);
    audio.channels.assign(numChannels, std::vector<float>(frames));
    for (size_t frame = 0; frame < frames; ++frame)
        for (uint16_t channel = 0; channel < numChannels; ++channel)
            audio.channels[channel][frame] = DecodeSample(data + frame * blockAlign + channel * (bits / 8), format, bits);
    return true;
}

bool WavFile::Write(const std::string& path, const AudioData& audio, std::string& error)
{
    if (audio.channels.empty() || audio.channels.size() > 0xFFFF)
    {
        error = "no audio channels to write";
        return false;
    }
    for (const auto& channel : audio.channels)
        if (channel.size() != audio.channels[0].size())
        {
            error = "channels of different lengths";
            return false;
        }
    if (!(audio.sampleRate >= 1.0 && audio.sampleRate <= 4.0e6) || std::floor(audio.sampleRate) != audio.sampleRate)
    {
        error = "sample rate is not a positive whole number";
        return false;
    }

    const auto numChannels = uint16_t(audio.channels.size());
    const uint64_t dataSize = uint64_t(audio.NumFrames()) * numChannels * 4;
    if (dataSize > std::numeric_limits<uint32_t>::max() - 64)
    {
        error = "too much audio for a WAVE file";
        return false;
    }

    std::vector<unsigned char> out;
    out.reserve(size_t(dataSize) + 64);
    out.insert(out.end(), { 'R', 'I', 'F', 'F' });
    Put32(out, uint32_t(4 + 8 + 18 + 8 + dataSize));
    out.insert(out.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    Put32(out, 18);
    Put16(out, kFormatFloat);
    Put16(out, numChannels);
    Put32(out, uint32_t(audio.sampleRate));
    Put32(out, uint32_t(audio.sampleRate) * numChannels * 4);
    Put16(out, uint16_t(numChannels * 4));
    Put16(out, 32);
    Put16(out, 0);
    out.insert(out.end(), { 'd', 'a', 't', 'a' });
    Put32(out, uint32_t(dataSize));
    for (size_t frame = 0; frame < audio.NumFrames(); ++frame)
        for (const auto& channel : audio.channels)
        {
            uint32_t bitsOfSample = 0;
            std::memcpy(&bitsOfSample, &channel[frame], 4);
            Put32(out, bitsOfSample);
        }

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size())))
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
} // namespace aaxhost
