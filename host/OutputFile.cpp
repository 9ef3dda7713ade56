#include "OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
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

/** `path` with every symbolic link it ends in followed, as opening it for writing would follow
    them; the file named may not exist yet. Empty with errno set when a link cannot be read. */
std::string FollowLinks(std::string path)
{
    for (int hops = 0;; ++hops)
    {
        struct stat link
        {
        };
        if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return path;
        char text[PATH_MAX];
        const ssize_t length = hops < 40 ? readlink(path.c_str(), text, sizeof(text)) : -1;
        if (hops >= 40)
            errno = ELOOP;
        if (length < 0 || size_t(length) >= sizeof(text))
        {
            if (length >= 0)
                errno = ENAMETOOLONG;
            return {};
        }
        const std::string named(text, size_t(length));
        path = named[0] == '/' ? named : FolderOf(path) + "/" + named;
    }
}

/** A hidden name in `folder` that nothing has yet, short enough for any folder. */
std::string TemporaryName(const std::string& folder)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char random[6] = {};
    if (getrandom(random, sizeof(random), 0) != ssize_t(sizeof(random)))
        for (unsigned char& byte : random)
            byte = static_cast<unsigned char>(std::rand());
    std::string name = (folder == "/" ? "" : folder) + "/.quillo-";
    for (const unsigned char byte : random)
        name += kLetters[byte % (sizeof(kLetters) - 1)];
    return name + ".tmp";
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/** The descriptor a path names as a shell's redirection takes it: "-", /dev/stdout, /dev/stderr,
    /dev/fd/N and /proc/self/fd/N; -1 for any other path. */
int NamedDescriptor(const std::string& path)
{
    if (path == "-" || path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    for (const std::string prefix : { "/dev/fd/", "/proc/self/fd/" })
    {
        const std::string number = path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : "";
        // As the kernel names them: no sign, no leading zero.
        if (!number.empty() && number.size() <= 9 && number.find_first_not_of("0123456789") == std::string::npos
            && (number[0] != '0' || number.size() == 1))
            return std::stoi(number);
    }
    return -1;
}
} // namespace

OutputFile::OutputFile(const std::string& path, Temporary temporary)
    : mPath(path)
    , mTarget(path)
{
    if (path.empty())
    {
        Fail("no file name");
        return;
    }
    struct stat standardOutput
    {
    };
    const bool haveStandardOutput = fstat(STDOUT_FILENO, &standardOutput) == 0;
    struct stat existing
    {
    };
    const int descriptor = NamedDescriptor(path);
    if (descriptor >= 0 || (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)))
    {
        // A descriptor, a device or a pipe: there is nothing to replace, and no folder to put a
        // copy in. A descriptor is written where it stands, as a redirection to it writes: after
        // what the file holds for `>>`, or after what the shell wrote before.
        mRegular = false;
        if (descriptor >= 0)
        {
            mFd = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
            const int flags = mFd >= 0 ? fcntl(mFd, F_GETFL) : 0;
            if ((flags & O_ACCMODE) == O_RDONLY && mFd >= 0)
            {
                close(mFd);
                mFd = -1;
                errno = EBADF; // as a write to it would say
            }
        }
        else // a FIFO opens only when its reader does, which the user may give up waiting for
            while ((mFd = open(path.c_str(), O_WRONLY | O_CLOEXEC)) < 0 && errno == EINTR)
                Interruption::ThrowIfRequested();
        if (mFd < 0)
        {
            FailWithErrno();
            return;
        }
        struct stat opened
        {
        };
        mStandardOutput = haveStandardOutput && fstat(mFd, &opened) == 0 && SameFile(opened, standardOutput);
        return;
    }
    OpenRegular(temporary);
    mStandardOutput = IsOpen() && haveStandardOutput && stat(mTarget.c_str(), &existing) == 0
                   && SameFile(existing, standardOutput);
}

void OutputFile::OpenRegular(Temporary temporary)
{
    // A link is followed to the file it names, made where it does not exist yet.
    mTarget = FollowLinks(mPath);
    if (mTarget.empty())
    {
        FailWithErrno();
        return;
    }
    mFolder = FolderOf(mTarget);
    struct stat folder
    {
    };
    const bool found = stat(mFolder.c_str(), &folder) == 0;
    if (!found && errno != ENOENT && errno != ENOTDIR)
    {
        FailInFolder();
        return;
    }
    if (!found || !S_ISDIR(folder.st_mode))
    {
        Fail(found ? mFolder + " is not a folder" : "no folder " + mFolder);
        return;
    }
    // The name is given only at the end: one that the folder cannot take is refused now.
    const std::string name = mTarget.substr(mTarget.rfind('/') + 1);
    const long nameMax = pathconf(mFolder.c_str(), _PC_NAME_MAX);
    if (nameMax > 0 && name.size() > size_t(nameMax))
    {
        Fail(std::string(std::strerror(ENAMETOOLONG)) + ": the folder " + mFolder + " takes names of up to "
             + std::to_string(nameMax) + " bytes, and this one has " + std::to_string(name.size()));
        return;
    }

    struct stat existing
    {
    };
    const bool exists = stat(mTarget.c_str(), &existing) == 0;
    // Renaming would replace a file its permissions protect: refuse it as opening it would.
    if (exists && faccessat(AT_FDCWD, mTarget.c_str(), W_OK, AT_EACCESS) != 0)
    {
        if (errno == EROFS)
            FailInFolder();
        else
            FailWithErrno();
        return;
    }
    if (exists && (folder.st_mode & S_ISVTX) != 0 && geteuid() != 0 && existing.st_uid != geteuid()
        && folder.st_uid != geteuid())
    {
        errno = EPERM;
        FailInFolder(": it is sticky, and the file belongs to another user");
        return;
    }

    if (temporary == Temporary::kUnnamed)
    {
        mFd = open(mFolder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        mUnnamed = mFd >= 0;
        if (mFd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        {
            FailInFolder();
            return;
        }
    }
    if (mFd < 0)
    {
        // A short fixed pattern: any name the folder takes leaves room for it.
        std::string pattern = (mFolder == "/" ? "" : mFolder) + "/.quillo-XXXXXX.tmp";
        mFd = mkostemps(pattern.data(), 4, O_CLOEXEC);
        if (mFd < 0)
        {
            FailInFolder();
            return;
        }
        mTemporary = pattern;
        mInterruptionSlot = Interruption::RegisterTemporary(mTemporary);
    }
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

bool OutputFile::FailInFolder(const std::string& why)
{
    Fail(std::string(std::strerror(errno)) + " in the folder " + mFolder + why);
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
    if (mRegular && fsync(mFd) != 0)
        return FailWithErrno();
    mCommitted = Interruption::Commit([this] { return Publish(); });
    return mCommitted;
}

bool OutputFile::Publish()
{
    if (mUnnamed)
    {
        // Named beside the target first: a link cannot replace a file, a rename can.
        const std::string self = "/proc/self/fd/" + std::to_string(mFd);
        std::string name;
        int linked;
        do
        {
            name = TemporaryName(mFolder);
            linked = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        } while (linked != 0 && errno == EEXIST);
        if (linked != 0)
            return FailInFolder();
        mTemporary = name;
    }
    const int closed = close(mFd);
    mFd = -1;
    if (closed != 0)
    {
        FailWithErrno();
        Discard();
        return false;
    }
    if (mRegular && rename(mTemporary.c_str(), mTarget.c_str()) != 0)
    {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            FailInFolder();
        else
            FailWithErrno();
        Discard();
        return false;
    }
    mTemporary.clear();
    Interruption::UnregisterTemporary(mInterruptionSlot);
    mInterruptionSlot = -1;
    return true;
}
} // namespace aaxhost
