#include "StateFile.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

namespace aaxhost
{
namespace
{
constexpr char kMagic[4] = { 'Q', 'H', 'S', 'T' };
constexpr size_t kNameSize = 32;

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

/** Reads little-endian fields and stops at the end of the bytes. */
class Reader
{
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : mBytes(bytes) {}

    bool Take(size_t count, const uint8_t*& at)
    {
        if (mBytes.size() - mPosition < count)
            return false;
        at = mBytes.data() + mPosition;
        mPosition += count;
        return true;
    }

    bool Take32(uint32_t& value)
    {
        const uint8_t* p = nullptr;
        if (!Take(4, p))
            return false;
        value = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
        return true;
    }

    bool AtEnd() const { return mPosition == mBytes.size(); }

private:
    const std::vector<uint8_t>& mBytes;
    size_t mPosition = 0;
};
} // namespace

std::vector<uint8_t> StateFile::Encode(const std::vector<Chunk>& chunks)
{
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    Put32(out, kFormatVersion);
    Put32(out, uint32_t(chunks.size()));
    for (const Chunk& chunk : chunks)
    {
        Put32(out, chunk.id);
        Put32(out, uint32_t(chunk.version));
        char name[kNameSize] = {};
        std::strncpy(name, chunk.name.c_str(), kNameSize - 1);
        out.insert(out.end(), name, name + kNameSize);
        Put32(out, uint32_t(chunk.data.size()));
        out.insert(out.end(), chunk.data.begin(), chunk.data.end());
    }
    return out;
}

bool StateFile::Decode(const std::vector<uint8_t>& bytes, std::vector<Chunk>& chunks, std::string& error)
{
    chunks.clear();
    Reader reader(bytes);
    const uint8_t* magic = nullptr;
    uint32_t version = 0, count = 0;
    if (!reader.Take(4, magic) || std::memcmp(magic, kMagic, 4) != 0)
    {
        error = "not a quillo-host state file";
        return false;
    }
    if (!reader.Take32(version) || version != kFormatVersion)
    {
        error = "unsupported state file version";
        return false;
    }
    if (!reader.Take32(count) || count > kMaxChunks)
    {
        error = "bad chunk count";
        return false;
    }

    std::vector<Chunk> read;
    std::set<uint32_t> ids;
    for (uint32_t i = 0; i < count; ++i)
    {
        Chunk chunk;
        uint32_t chunkVersion = 0, size = 0;
        const uint8_t* name = nullptr;
        const uint8_t* data = nullptr;
        if (!reader.Take32(chunk.id) || !reader.Take32(chunkVersion) || !reader.Take(kNameSize, name)
            || !reader.Take32(size))
        {
            error = "state file is truncated";
            return false;
        }
        if (std::memchr(name, 0, kNameSize) == nullptr)
        {
            error = "chunk name without terminator";
            return false;
        }
        if (size > ChunkRecord::kMaxDataSize || !reader.Take(size, data))
        {
            error = "chunk size out of range";
            return false;
        }
        if (!ids.insert(chunk.id).second)
        {
            error = "chunk '" + FourCCText(chunk.id) + "' appears twice";
            return false;
        }
        chunk.version = int32_t(chunkVersion);
        chunk.name = reinterpret_cast<const char*>(name);
        chunk.data.assign(data, data + size);
        read.push_back(std::move(chunk));
    }
    if (!reader.AtEnd())
    {
        error = "unexpected bytes after the last chunk";
        return false;
    }
    chunks = std::move(read);
    return true;
}

bool StateFile::Save(const std::string& path, const std::vector<Chunk>& chunks, std::string& error)
{
    const std::vector<uint8_t> bytes = Encode(chunks);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool StateFile::Load(const std::string& path, std::vector<Chunk>& chunks, std::string& error)
{
    chunks.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!Decode(bytes, chunks, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}
} // namespace aaxhost
