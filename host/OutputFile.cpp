#include "OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Interruption.h"

namespace aaxhost
{
namespace
{
std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/** The process's umask, read without changing it (umask() alone can only be read by setting
    it, which for a moment would apply to files other threads create). */
mode_t ProcessUmask()
{
    static const mode_t mask = [] {
        if (std::FILE* const status = std::fopen("/proc/self/status", "r"))
        {
            char line[256];
            unsigned int value = 0;
            bool found = false;
            while (!found && std::fgets(line, sizeof(line), status) != nullptr)
                found = std::sscanf(line, "Umask: %o", &value) == 1;
            std::fclose(status);
            if (found)
                return mode_t(value);
        }
        const mode_t value = umask(022);
        umask(value);
        return value;
    }();
    return mask;
}
} // namespace

OutputFile::OutputFile(const std::string& path)
    : mPath(path)
    , mTarget(path)
{
    if (path.empty())
    {
        Fail("no file name");
        return;
    }

    struct stat existing
    {
    };
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
    {
        // A device or a pipe: there is nothing to replace, and no folder to put a copy in.
        mRegular = false;
        mFd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (mFd < 0)
            FailWithErrno();
        return;
    }

    struct stat link
    {
    };
    if (exists && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
    {
        // Replace the file the link names, not the link.
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr)
        {
            FailWithErrno();
            return;
        }
        mTarget = resolved;
    }
    const std::string folder = FolderOf(mTarget);

    // Renaming would replace a file its permissions protect: refuse it as opening it would.
    if (exists && faccessat(AT_FDCWD, mTarget.c_str(), W_OK, AT_EACCESS) != 0)
    {
        if (errno == EROFS)
            FailInFolder(folder);
        else
            FailWithErrno();
        return;
    }
    struct stat folderStatus
    {
    };
    if (exists && stat(folder.c_str(), &folderStatus) == 0 && (folderStatus.st_mode & S_ISVTX) != 0 && geteuid() != 0
        && existing.st_uid != geteuid() && folderStatus.st_uid != geteuid())
    {
        errno = EPERM;
        FailInFolder(folder, ": it is sticky, and the file belongs to another user");
        return;
    }

    // A short fixed pattern: any name the folder takes leaves room for it.
    std::string pattern = (folder == "/" ? "" : folder) + "/.quillo-XXXXXX.tmp";
    mFd = mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (mFd < 0)
    {
        FailInFolder(folder);
        return;
    }
    mTemporary = pattern;
    mInterruptionSlot = Interruption::RegisterTemporary(mTemporary);
    // The replacement keeps the permissions of the file it replaces; a new file gets what the
    // umask leaves of 0666, as any file a program creates.
    if (fchmod(mFd, exists ? existing.st_mode & 07777 : 0666 & ~ProcessUmask()) != 0)
        FailWithErrno();
}

OutputFile::~OutputFile()
{
    if (!mCommitted)
        Discard();
}

void OutputFile::Discard()
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
    if (!mTemporary.empty())
        unlink(mTemporary.c_str());
    mTemporary.clear();
    Interruption::UnregisterTemporary(mInterruptionSlot);
    mInterruptionSlot = -1;
}

void OutputFile::Fail(const std::string& reason)
{
    if (mError.empty())
        mError = "cannot write " + mPath + ": " + reason;
}

bool OutputFile::FailWithErrno()
{
    Fail(std::strerror(errno));
    return false;
}

bool OutputFile::FailInFolder(const std::string& folder, const std::string& why)
{
    Fail(std::string(std::strerror(errno)) + " in the folder " + folder + why);
    return false;
}

bool OutputFile::Write(const void* data, size_t size)
{
    if (!IsOpen())
        return false;
    auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0)
    {
        const ssize_t written = mRegular ? pwrite(mFd, bytes, size, off_t(mPosition)) : write(mFd, bytes, size);
        if (written < 0 && errno == EINTR && Interruption::Pending() == 0)
            continue;
        if (written <= 0)
        {
            if (written == 0)
                errno = EIO;
            return FailWithErrno();
        }
        bytes += written;
        size -= size_t(written);
        mPosition += written;
    }
    mLength = std::max(mLength, mPosition);
    return true;
}

bool OutputFile::Seek(int64_t position)
{
    if (!IsOpen())
        return false;
    if (position < 0 || (!mRegular && position != mPosition))
    {
        Fail("a pipe or device cannot seek");
        return false;
    }
    mPosition = position;
    return true;
}

bool OutputFile::Commit()
{
    if (mCommitted)
        return true;
    if (!IsOpen())
        return false;
    if (!mRegular)
    {
        const int closed = close(mFd);
        mFd = -1;
        if (closed != 0)
            return FailWithErrno();
        mCommitted = true;
        return true;
    }

    if (fsync(mFd) != 0)
        return FailWithErrno();
    const int closed = close(mFd);
    mFd = -1;
    if (closed != 0)
        return FailWithErrno();
    if (rename(mTemporary.c_str(), mTarget.c_str()) != 0)
        return errno == EACCES || errno == EPERM || errno == EROFS ? FailInFolder(FolderOf(mTarget)) : FailWithErrno();
    mTemporary.clear();
    Interruption::UnregisterTemporary(mInterruptionSlot);
    mInterruptionSlot = -1;
    mCommitted = true;
    return true;
}
} // namespace aaxhost
