#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace aaxhost
{
/** A file the host writes (a render, a state file, a screenshot) that cannot report a failed
    write as written, nor destroy the file it replaces, nor leave a half-written file behind.

    A regular file (or a path that does not exist yet) is written to an unnamed file in the same
    folder (O_TMPFILE), which Commit() names and renames over the target once every byte is
    written and synced: until then, and after any failure, the older file stays as it was, and a
    process that dies, even of SIGKILL, leaves nothing. Where the file system refuses unnamed
    files, a hidden named one (".quillo-XXXXXX.tmp") takes its place, removed on failure and by
    Interruption::Abandon(). A symbolic link is followed to the file it names, which is made when
    it does not exist yet (the link stays). Refused up front, before any work, as opening the file
    would be: a missing folder ("no folder F"), a name longer than the folder takes, a file this
    user may not write, or may not replace in a sticky folder; when the folder is what refuses,
    the error names it. "-" is standard output; /dev/stdout, /dev/stderr, /dev/fd/N and
    /proc/self/fd/N are that descriptor itself, written in place at its offset as a shell's
    redirection writes it (never replaced, nor their link's text taken for a path); anything else
    that is not a regular file (a device such as /dev/null or /dev/full, a pipe) is written
    directly. Those go only forward, and every write and the close are checked.

    Errors latch: after the first failure every call fails, and Error() says
    "cannot write PATH: reason". One thread at a time. */
class OutputFile
{
public:
    /** How the replacement waits for its name: unnamed where the file system allows. kNamed is
        what the host falls back to elsewhere. */
    enum class Temporary
    {
        kUnnamed,
        kNamed
    };

    /** Opens `path` for writing; check IsOpen() / Error(). Throws Interrupted when the user
        interrupts a wait for a FIFO's reader. */
    explicit OutputFile(const std::string& path, Temporary temporary = Temporary::kUnnamed);
    ~OutputFile();

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return mFd >= 0 && mError.empty(); }

    /** False for a descriptor, a device or a pipe, which are written directly. */
    bool IsRegular() const { return mRegular; }

    /** True when the bytes go to this process's standard output ("-", /dev/stdout, or a path to
        the same file or pipe). */
    bool IsStandardOutput() const { return mStandardOutput; }

    /** Writes at the current position and moves past the bytes. */
    bool Write(const void* data, size_t size);

    /** Sets the position for the next write, in bytes from the start: anywhere in a regular
        file, only where it is already in a stream. */
    bool Seek(int64_t position);
    int64_t Position() const { return mPosition; }

    /** The bytes written so far (the end of the furthest write). */
    int64_t Length() const { return mLength; }

    /** Finishes the file: a regular one is synced, then named and renamed over the target; a
        stream is closed. The last step runs inside Interruption::Commit(): a user's interruption
        noted before it throws Interrupted and leaves the target as it was. True only when every
        step succeeded. */
    bool Commit();

    /** Records a failure found by the caller (say, by the library that formats the bytes). */
    void Fail(const std::string& reason);

    const std::string& Path() const { return mPath; }
    const std::string& Error() const { return mError; }

private:
    void OpenRegular(Temporary temporary);
    bool Publish();
    bool FailWithErrno();
    bool FailInFolder(const std::string& why = "");
    void Discard();

    std::string mPath;
    std::string mTarget;    // where the file goes: the path, or what a symbolic link names
    std::string mFolder;    // the target's folder
    std::string mTemporary; // a named temporary file, while there is one
    std::string mError;
    int mFd = -1;
    int mInterruptionSlot = -1; // the named temporary file, for Interruption::Abandon()
    bool mRegular = true;
    bool mUnnamed = false;
    bool mStandardOutput = false;
    bool mCommitted = false;
    int64_t mPosition = 0;
    int64_t mLength = 0;
};
} // namespace aaxhost
