#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace aaxhost
{
/** A file the host writes (a render, a state file, a screenshot) that cannot report a failed
    write as written, nor destroy the file it replaces.

    A regular file (or a path that does not exist yet) is written to a temporary file in the same
    folder (".quillo-XXXXXX.tmp", short enough for any name the folder takes), which Commit()
    renames over the target once every byte is written, synced and closed without error; until
    then, and after any failure, the older file stays as it was and the temporary one is removed
    when this object goes (or by a second Ctrl-C: see Interruption). A file that this user may not
    write, or may not replace in a sticky folder, is refused up front, as opening it would be;
    when the folder is what refuses, the error names it. Anything else (a device such as /dev/null or
    /dev/full, a pipe) is written directly, and only forward; every write and the close are
    checked.

    Errors latch: after the first failure every call fails, and Error() says
    "cannot write PATH: reason". One thread at a time; no call throws. */
class OutputFile
{
public:
    /** Opens `path` for writing; check IsOpen() / Error(). */
    explicit OutputFile(const std::string& path);
    ~OutputFile();

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return mFd >= 0 && mError.empty(); }

    /** False for a device or a pipe, which are written directly. */
    bool IsRegular() const { return mRegular; }

    /** Writes at the current position and moves past the bytes. */
    bool Write(const void* data, size_t size);

    /** Sets the position for the next write, in bytes from the start: anywhere in a regular
        file, only where it is already in a stream. */
    bool Seek(int64_t position);
    int64_t Position() const { return mPosition; }

    /** The bytes written so far (the end of the furthest write). */
    int64_t Length() const { return mLength; }

    /** Finishes the file: a regular one is synced, closed and renamed over the target; a stream
        is closed. True only when every step succeeded. */
    bool Commit();

    /** Records a failure found by the caller (say, by the library that formats the bytes). */
    void Fail(const std::string& reason);

    const std::string& Path() const { return mPath; }
    const std::string& Error() const { return mError; }

private:
    bool FailWithErrno();
    bool FailInFolder(const std::string& folder, const std::string& why = "");
    void Discard();

    std::string mPath;
    std::string mTarget;    // where the file goes: the path, or what a symbolic link names
    std::string mTemporary; // regular files only
    std::string mError;
    int mFd = -1;
    int mInterruptionSlot = -1; // the temporary file, for a second Ctrl-C
    bool mRegular = true;
    bool mCommitted = false;
    int64_t mPosition = 0;
    int64_t mLength = 0;
};
} // namespace aaxhost
