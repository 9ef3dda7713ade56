#include "Module.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aaxhost
{
namespace
{
constexpr unsigned char kNativeClass = __ELF_NATIVE_CLASS == 64 ? ELFCLASS64 : ELFCLASS32;

/** Reads exactly `size` bytes at `offset`; false when the file ends first. */
bool ReadAt(int fd, void* to, size_t size, off_t offset)
{
    auto* bytes = static_cast<char*>(to);
    while (size > 0)
    {
        const ssize_t got = pread(fd, bytes, size, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= size_t(got);
        offset += got;
    }
    return true;
}

/** What is wrong with `path` as a shared object for this process, or "" when nothing is. The
    dynamic loader maps the segments a file's header names without checking that they lie within
    the file, and a mapping past the end faults on the first touch (SIGBUS): a copy that was cut
    short must be refused before it gets there. */
std::string ProblemOfSharedObject(const std::string& path)
{
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) != 0)
        return std::strerror(errno);
    if (S_ISDIR(status.st_mode))
        return "is a folder";
    if (!S_ISREG(status.st_mode))
        return "not a regular file";

    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    const auto size = uint64_t(status.st_size);
    ElfW(Ehdr) header {};
    ElfW(Ehdr) own {};
    std::string problem;
    const int self = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    const bool knowOwn = self >= 0 && ReadAt(self, &own, sizeof(own), 0);
    if (self >= 0)
        close(self);

    if (!ReadAt(fd, &header, sizeof(header), 0) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        problem = "not an ELF file";
    else if (header.e_ident[EI_CLASS] != kNativeClass || (knowOwn && header.e_ident[EI_DATA] != own.e_ident[EI_DATA]))
        problem = "an ELF file of another word size or byte order than this machine's";
    else if (header.e_type != ET_DYN)
        problem = "not a shared object (ELF type " + std::to_string(header.e_type) + ")";
    else if (knowOwn && header.e_machine != own.e_machine)
        problem = "built for another machine (ELF machine " + std::to_string(header.e_machine) + ", this one is "
                + std::to_string(own.e_machine) + ")";
    else if (header.e_phnum == 0 || header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phoff > size
             || (size - header.e_phoff) / sizeof(ElfW(Phdr)) < header.e_phnum)
        problem = "its program headers lie outside the file of " + std::to_string(size) + " bytes (cut short?)";
    for (unsigned index = 0; problem.empty() && index < header.e_phnum; ++index)
    {
        ElfW(Phdr) segment {};
        if (!ReadAt(fd, &segment, sizeof(segment), off_t(header.e_phoff + index * sizeof(segment))))
            problem = "its program headers cannot be read";
        else if ((segment.p_type == PT_LOAD || segment.p_type == PT_DYNAMIC)
                 && (segment.p_offset > size || size - segment.p_offset < segment.p_filesz))
            problem = std::string(segment.p_type == PT_LOAD ? "its loadable segment " : "its dynamic section ")
                    + std::to_string(index) + " ends at byte " + std::to_string(segment.p_offset + segment.p_filesz)
                    + ", past the end of the file at " + std::to_string(size) + " (cut short?)";
    }
    close(fd);
    return problem;
}
} // namespace

Module::Module(const std::string& path)
    : mPath(path)
{
    const std::string problem = ProblemOfSharedObject(path);
    if (!problem.empty())
        throw ModuleError("cannot load " + path + ": " + problem);
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mHandle == nullptr)
    {
        const char* const reason = dlerror();
        throw ModuleError("cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason"));
    }

    try
    {
        Resolve(mRegisterPlugin, "ACFRegisterPlugin", true);
        Resolve(mRegisterComponent, "ACFRegisterComponent", true);
        Resolve(mGetClassFactory, "ACFGetClassFactory", true);
        Resolve(mCanUnloadNow, "ACFCanUnloadNow", true);
        Resolve(mStartup, "ACFStartup", true);
        Resolve(mShutdown, "ACFShutdown", true);
        Resolve(mGetSDKVersion, "ACFGetSDKVersion", true);
        Resolve(mDispatchMessages, "QuilloDispatchMessages", false);
    }
    catch (...)
    {
        dlclose(mHandle);
        throw;
    }
}

Module::~Module()
{
    dlclose(mHandle);
}

bool Module::Exports(const char* symbol) const
{
    return symbol != nullptr && dlsym(mHandle, symbol) != nullptr;
}

template <class Fn>
void Module::Resolve(Fn& fn, const char* symbol, bool required)
{
    fn = reinterpret_cast<Fn>(dlsym(mHandle, symbol));
    if (fn == nullptr && required)
        throw ModuleError(mPath + " does not export " + symbol);
}
} // namespace aaxhost
