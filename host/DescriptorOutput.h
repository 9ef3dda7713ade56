#pragma once

#include <streambuf>
#include <string>
#include <vector>

namespace aaxhost
{
/** A stream buffer over a file descriptor that the program does not own (standard output), which
    keeps the first failed or short write: what a command prints may be all it produces, so a
    write that did not happen must be reported. Buffered (64 KiB; a terminal gets each line when
    it is complete); Finish() writes out the rest.

    Errors latch: after the first failure nothing more is written, and Error() says why. One
    thread at a time. */
class DescriptorOutput : public std::streambuf
{
public:
    explicit DescriptorOutput(int fd);
    ~DescriptorOutput() override;

    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    /** Writes out what is buffered; true when every byte ever given was written. */
    bool Finish();

    /** The first failure ("" for none), as strerror says it. */
    const std::string& Error() const { return mError; }

protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    bool WriteBuffered();

    int mFd;
    bool mLineBuffered;
    std::vector<char> mBuffer;
    std::string mError;
};
} // namespace aaxhost
