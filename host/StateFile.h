#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Chunk.h"
#include "OutputFile.h"

namespace aaxhost
{
/** The file in which quillo-host keeps an instance's chunks (state save / state load).

    Little-endian throughout: "QHST", format version (uint32, 1), chunk count (uint32, at most
    kMaxChunks), then per chunk its id (uint32), version (int32), name (32 bytes, zero-padded, at
    most 31 characters), data size (uint32, at most ChunkRecord::kMaxDataSize) and the data. The
    file ends right after the last chunk. */
class StateFile
{
public:
    static constexpr uint32_t kFormatVersion = 1;
    static constexpr uint32_t kMaxChunks = 64;
    /** No state file is larger (bytes); a larger one is refused before it is read. */
    static constexpr int64_t kMaxFileSize = int64_t(64) << 20;

    static std::vector<uint8_t> Encode(const std::vector<Chunk>& chunks);

    /** All or nothing: false with a reason, and `chunks` left empty, for anything that is not a
        whole, well-formed state file (wrong magic or version, counts or sizes out of range,
        truncation, trailing bytes, a name without its terminator, two chunks with one id). */
    static bool Decode(const std::vector<uint8_t>& bytes, std::vector<Chunk>& chunks, std::string& error);

    /** Writes the file through an OutputFile: an older file is replaced only by a whole one.
        False with "cannot write PATH: reason" on failure. */
    static bool Save(const std::string& path, const std::vector<Chunk>& chunks, std::string& error);

    /** The same into a file opened before (its Error() says why when false). Throws
        Interrupted as OutputFile::Commit does. */
    static bool Save(OutputFile& file, const std::vector<Chunk>& chunks);

    /** Reads as Decode does, from the file's first bytes on: the header is checked before any
        chunk is read, each chunk's size before its data, and a regular file larger than its
        header allows (or than kMaxFileSize) is refused unread. Errors start with the path.
        Throws Interrupted when the user interrupts a wait for a pipe's writer. */
    static bool Load(const std::string& path, std::vector<Chunk>& chunks, std::string& error);
};
} // namespace aaxhost
