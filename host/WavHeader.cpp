#include "WavHeader.h"

#include <cstring>

namespace aaxhost
{
namespace
{
constexpr uint32_t kUnknown32 = 0xFFFFFFFFu;
constexpr uint32_t kBytesPerSample = 4;

struct Bytes
{
    std::vector<uint8_t> out;

    Bytes& Text(const char (&fourCC)[5])
    {
        out.insert(out.end(), fourCC, fourCC + 4);
        return *this;
    }
    Bytes& Put(uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
        return *this;
    }
    Bytes& U16(uint32_t value) { return Put(value, 2); }
    Bytes& U32(uint64_t value) { return Put(value, 4); } // keeps the low 32 bits, as RIFF does
    Bytes& U64(uint64_t value) { return Put(value, 8); }
    Bytes& Zeros(size_t count)
    {
        out.insert(out.end(), count, 0);
        return *this;
    }
};

/** The speaker positions libsndfile gives a channel count when nobody said otherwise. */
uint32_t ChannelMask(int numChannels)
{
    switch (numChannels)
    {
    case 1: return 0x4;
    case 2: return 0x3;
    case 4: return 0x33;
    case 6: return 0x3F;
    case 8: return 0xFF;
    default: return 0;
    }
}

void FormatChunk(Bytes& bytes, int numChannels, uint32_t sampleRate)
{
    static const uint8_t kFloatSubtype[16] = { 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                               0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71 };
    const auto channels = uint32_t(numChannels);
    bytes.Text("fmt ").U32(40).U16(0xFFFE).U16(channels).U32(sampleRate);
    bytes.U32(uint64_t(sampleRate) * kBytesPerSample * channels).U16(kBytesPerSample * channels);
    bytes.U16(8 * kBytesPerSample).U16(22).U16(8 * kBytesPerSample).U32(ChannelMask(numChannels));
    bytes.out.insert(bytes.out.end(), kFloatSubtype, kFloatSubtype + 16);
}
} // namespace

WavHeader::Form WavHeader::FormFor(int numChannels, uint64_t numFrames)
{
    const uint64_t frameBytes = kBytesPerSample * uint64_t(numChannels);
    return numFrames <= (kMaxRiffFile - kFloatSize) / frameBytes ? Form::kRiff : Form::kRf64;
}

std::vector<uint8_t> WavHeader::Float(int numChannels, uint32_t sampleRate, uint64_t numFrames, Form form)
{
    const uint64_t dataBytes = numFrames * kBytesPerSample * uint64_t(numChannels);
    const uint64_t fileBytes = kFloatSize + dataBytes;
    Bytes bytes;
    if (form == Form::kRf64)
    {
        bytes.Text("RF64").U32(kUnknown32).Text("WAVE");
        bytes.Text("ds64").U32(28).U64(fileBytes - 8).U64(dataBytes).U64(numFrames).U32(0);
        FormatChunk(bytes, numChannels, sampleRate);
        bytes.Text("PAD ").U32(0); // the room a RIFF header's 'fact' chunk takes
        bytes.Text("data").U32(kUnknown32);
        return bytes.out;
    }
    const bool known = form == Form::kRiff;
    bytes.Text("RIFF").U32(known ? fileBytes - 8 : kUnknown32).Text("WAVE");
    bytes.Text("JUNK").U32(24).Zeros(24); // the room an RF64 header's 'ds64' chunk takes
    FormatChunk(bytes, numChannels, sampleRate);
    bytes.Text("fact").U32(4).U32(known ? numFrames : kUnknown32);
    bytes.Text("data").U32(known ? dataBytes : kUnknown32);
    return bytes.out;
}

std::vector<uint8_t> WavHeader::AsRf64(const std::vector<uint8_t>& riff, uint64_t dataBytes)
{
    constexpr size_t kDs64Size = 36;
    // An RF64 header's own 'ds64' gives way to the one made here.
    size_t from = 12;
    if (riff.size() >= 20 && std::memcmp(riff.data(), "RF64", 4) == 0 && std::memcmp(riff.data() + 12, "ds64", 4) == 0)
    {
        const uint32_t size = uint32_t(riff[16]) | uint32_t(riff[17]) << 8 | uint32_t(riff[18]) << 16
                            | uint32_t(riff[19]) << 24;
        from += 8 + size + (size & 1);
    }
    const size_t kept = riff.size() >= from + 8 ? riff.size() - 4 - from : 0; // up to the data chunk's size
    Bytes bytes;
    bytes.Text("RF64").U32(kUnknown32).Text("WAVE");
    bytes.Text("ds64").U32(28).U64(12 + kDs64Size + kept + 4 + dataBytes - 8).U64(dataBytes).U64(0).U32(0);
    if (kept > 0)
        bytes.out.insert(bytes.out.end(), riff.begin() + std::ptrdiff_t(from),
                         riff.begin() + std::ptrdiff_t(from + kept));
    bytes.U32(kUnknown32);
    return bytes.out;
}
} // namespace aaxhost
