#pragma once

// Shared by the fuzz targets: reading a fuzzer's bytes as a stream of choices, and failing
// loudly. A failed check aborts, which libFuzzer records as a crash with its input, and which
// fails the replay test of the committed corpus in the other configurations.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace quillo::fuzz
{

/** Aborts with `what` when `condition` does not hold. */
inline void require (bool condition, const char* what)
{
    if (! condition)
    {
        std::fprintf (stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

/** A fuzzer's bytes taken from the front, a value at a time. Past the end every read gives zeros
    (and empty texts), so any input is a complete sequence of choices. */
class FuzzInput
{
public:
    FuzzInput (const uint8_t* data, size_t size) noexcept : bytes (data), remaining (size) {}

    template <typename T>
    T take() noexcept
    {
        T value {};
        const size_t n = remaining < sizeof (T) ? remaining : sizeof (T);

        if (n > 0)
            std::memcpy (&value, bytes, n);

        bytes += n;
        remaining -= n;
        return value;
    }

    /** Up to `maximum` bytes as they are (zero bytes included). */
    std::vector<uint8_t> takeBytes (size_t maximum)
    {
        const size_t n = remaining < maximum ? remaining : maximum;
        std::vector<uint8_t> out (bytes, bytes + n);
        bytes += n;
        remaining -= n;
        return out;
    }

    /** A text of up to `maximum` bytes: a length byte, then that many bytes. */
    std::string takeText (size_t maximum)
    {
        const size_t wanted = take<uint8_t>();
        const auto raw = takeBytes (wanted < maximum ? wanted : maximum);
        return std::string (raw.begin(), raw.end());
    }

    /** Everything that is left. */
    std::vector<uint8_t> rest() { return takeBytes (remaining); }

    size_t left() const noexcept { return remaining; }

private:
    const uint8_t* bytes;
    size_t remaining;
};

}   // namespace quillo::fuzz
