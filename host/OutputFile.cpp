#include "OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

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

std::string NameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
    if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
    {
        // A device or a pipe: there is nothing to replace, and no folder to put a copy in.
        mRegular = false;
        mFd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (mFd < 0)
            FailWithErrno();
        return;
    }

    const bool exists = stat(path.c_str(), &existing) == 0;
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

    std::random_device seed;
    std::mt19937 random(seed());
    const std::string stem = FolderOf(mTarget) + "/." + NameOf(mTarget) + ".";
    for (int attempt = 0; attempt < 100 && mFd < 0; ++attempt)
    {
        mTemporary = stem + std::to_string(random() % 1000000000u) + ".tmp";
        mFd = open(mTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (mFd < 0 && errno != EEXIST)
            break;
    }
    if (mFd < 0)
    {
        mTemporary.clear();
        FailWithErrno();
        return;
    }
    // The replacement keeps the permissions of the file it replaces.
    if (exists && fchmod(mFd, existing.st_mode & 07777) != 0)
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

bool OutputFile::Write(const void* data, size_t size)
{
    if (!IsOpen())
        return false;
    auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0)
    {
        const ssize_t written = mRegular ? pwrite(mFd, bytes, size, off_t(mPosition)) : write(mFd, bytes, size);
        if (written < 0 && errno == EINTR)
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
        return FailWithErrno();
    mTemporary.clear();
    mCommitted = true;
    return true;
}
} // namespace aaxhost
