#include "DescriptorOutput.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "Interruption.h"

namespace aaxhost
{
DescriptorOutput::DescriptorOutput(int fd)
    : mFd(fd)
    , mLineBuffered(isatty(fd) != 0)
    , mBuffer(size_t(64) << 10)
{
    setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
}

DescriptorOutput::~DescriptorOutput()
{
    WriteBuffered();
}

bool DescriptorOutput::WriteBuffered()
{
    const char* next = pbase();
    size_t left = size_t(pptr() - pbase());
    while (mError.empty() && left > 0)
    {
        const ssize_t written = write(mFd, next, left);
        if (written < 0 && errno == EINTR && Interruption::Pending() == 0)
            continue;
        if (written <= 0)
            mError = written == 0 ? std::strerror(EIO) : std::strerror(errno);
        else
        {
            next += written;
            left -= size_t(written);
        }
    }
    setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
    return mError.empty();
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type character)
{
    if (!WriteBuffered())
        return traits_type::eof();
    if (!traits_type::eq_int_type(character, traits_type::eof()))
    {
        *pptr() = traits_type::to_char_type(character);
        pbump(1);
    }
    return traits_type::not_eof(character);
}

std::streamsize DescriptorOutput::xsputn(const char* text, std::streamsize count)
{
    const std::streamsize put = std::streambuf::xsputn(text, count);
    if (mLineBuffered && std::memchr(text, '\n', size_t(put)) != nullptr)
        WriteBuffered();
    return put;
}

int DescriptorOutput::sync()
{
    return WriteBuffered() ? 0 : -1;
}

bool DescriptorOutput::Finish()
{
    return WriteBuffered();
}
} // namespace aaxhost
