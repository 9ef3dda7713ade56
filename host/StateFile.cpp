#include "StateFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <sys/stat.h>

#include "Interruption.h"
#include "OutputFile.h"

namespace aaxhost
{
namespace
{
constexpr char kMagic[4] = { 'Q', 'H', 'S', 'T' };
constexpr size_t kNameSize = 32;
constexpr int64_t kFileHeaderSize = 12;
constexpr int64_t kChunkHeaderSize = 44;

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

/** Takes exactly `count` bytes into `to`; false when the source ends first. */
using Source = std::function<bool(uint8_t* to, size_t count)>;

/** Reads a state file of `size` bytes (-1 when unknown, as for a pipe) from `take`. */
bool Parse(const Source& take, int64_t size, std::vector<Chunk>& chunks, std::string& error)
{
    chunks.clear();
    if (size > StateFile::kMaxFileSize)
    {
        error = std::to_string(size) + " bytes; a state file is at most " + std::to_string(StateFile::kMaxFileSize);
        return false;
    }
    uint8_t header[kChunkHeaderSize];
    if (!take(header, kFileHeaderSize) || std::memcmp(header, kMagic, 4) != 0)
    {
        error = "not a quillo-host state file";
        return false;
    }
    const uint32_t version = Get32(header + 4), count = Get32(header + 8);
    if (version != StateFile::kFormatVersion)
    {
        error = "unsupported state file version " + std::to_string(version);
        return false;
    }
    if (count > StateFile::kMaxChunks)
    {
        error = "bad chunk count " + std::to_string(count);
        return false;
    }
    if (size >= 0 && size > kFileHeaderSize + count * (kChunkHeaderSize + int64_t(ChunkRecord::kMaxDataSize)))
    {
        error = std::to_string(size) + " bytes: larger than " + std::to_string(count) + " chunks can be";
        return false;
    }

    int64_t position = kFileHeaderSize;
    std::vector<Chunk> read;
    std::set<uint32_t> ids;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (!take(header, kChunkHeaderSize))
        {
            error = "state file is truncated";
            return false;
        }
        const uint8_t* const name = header + 8;
        const uint32_t dataSize = Get32(header + 8 + kNameSize);
        position += kChunkHeaderSize;
        if (std::memchr(name, 0, kNameSize) == nullptr)
        {
            error = "chunk name without terminator";
            return false;
        }
        const int64_t left = size >= 0 ? size - position : StateFile::kMaxFileSize - position;
        if (dataSize > ChunkRecord::kMaxDataSize || int64_t(dataSize) > left)
        {
            error = "chunk size " + std::to_string(dataSize) + " out of range";
            return false;
        }
        Chunk chunk;
        chunk.id = Get32(header);
        chunk.version = int32_t(Get32(header + 4));
        chunk.name = reinterpret_cast<const char*>(name);
        chunk.data.resize(dataSize);
        if (!take(chunk.data.data(), dataSize))
        {
            error = "state file is truncated";
            return false;
        }
        position += dataSize;
        if (!ids.insert(chunk.id).second)
        {
            error = "chunk '" + FourCCText(chunk.id) + "' appears twice";
            return false;
        }
        read.push_back(std::move(chunk));
    }
    uint8_t extra = 0;
    if ((size >= 0 && position != size) || (size < 0 && take(&extra, 1)))
    {
        error = "unexpected bytes after the last chunk";
        return false;
    }
    chunks = std::move(read);
    return true;
}
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
    size_t at = 0;
    const Source take = [&](uint8_t* to, size_t count) {
        if (bytes.size() - at < count)
            return false;
        std::memcpy(to, bytes.data() + at, count);
        at += count;
        return true;
    };
    return Parse(take, int64_t(bytes.size()), chunks, error);
}

bool StateFile::Save(const std::string& path, const std::vector<Chunk>& chunks, std::string& error)
{
    OutputFile file(path);
    const bool saved = Save(file, chunks);
    if (!saved)
        error = file.Error();
    return saved;
}

bool StateFile::Save(OutputFile& file, const std::vector<Chunk>& chunks)
{
    const std::vector<uint8_t> bytes = Encode(chunks);
    return file.Write(bytes.data(), bytes.size()) && file.Commit();
}

bool StateFile::Load(const std::string& path, std::vector<Chunk>& chunks, std::string& error)
{
    chunks.clear();
    // A FIFO opens only when its writer does, which the user may give up waiting for.
    std::FILE* opened;
    while ((opened = std::fopen(path.c_str(), "rb")) == nullptr && errno == EINTR)
        Interruption::ThrowIfRequested();
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, &std::fclose);
    struct stat status
    {
    };
    if (file == nullptr || fstat(fileno(file.get()), &status) != 0)
    {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode))
    {
        error = path + ": is a folder";
        return false;
    }
    const Source take = [&](uint8_t* to, size_t count) {
        for (size_t got = 0;;)
        {
            got += std::fread(to + got, 1, count - got, file.get());
            if (got == count)
                return true;
            // A wait for a pipe's writer that the user broke off is no short file.
            if (!std::ferror(file.get()) || errno != EINTR)
                return false;
            std::clearerr(file.get());
            Interruption::ThrowIfRequested();
        }
    };
    if (!Parse(take, S_ISREG(status.st_mode) ? int64_t(status.st_size) : -1, chunks, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}
} // namespace aaxhost
