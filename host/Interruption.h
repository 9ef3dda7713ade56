#pragma once

#include <stdexcept>
#include <string>

namespace aaxhost
{
/** What stopped a command when the user interrupted it: the signal's number. Thrown at the next
    point where stopping is safe (between blocks, between turns of the editor's run loop). */
class Interrupted : public std::runtime_error
{
public:
    explicit Interrupted(int signalNumber);
    int Signal() const { return mSignal; }

private:
    int mSignal;
};

/** How a command takes SIGINT, SIGTERM, SIGHUP and SIGQUIT.

    The first such signal is only noted (the handler does nothing else that is not
    async-signal-safe): the command stops at its next safe point, unwinds (so every temporary
    file goes and the module is shut down as after any failure) and exits with 128 + the signal's
    number. A system call the main thread is blocked in (a read from a pipe, a write to one)
    returns EINTR, so a command waiting for input or for room stops too. A second signal, for a
    command that is stuck somewhere no safe point comes, ends the process at once, after
    removing the temporary files registered here.

    Without Install() (the tests' own process) nothing is noted and Requested() stays 0. */
class Interruption
{
public:
    /** Installs the handlers; the calling thread is the one that notices (the main thread).
        Once, at program start. */
    static void Install();

    /** The signal noted so far; 0 for none. Any thread; async-signal-safe. */
    static int Requested() noexcept;

    /** Throws Interrupted when a signal was noted. */
    static void ThrowIfRequested();

    /** "SIGINT" and the like. */
    static std::string SignalName(int signalNumber);

    /** A temporary file the second signal removes. Returns a slot (-1 when the path is too long
        or every slot is taken; the file is then removed only by the unwinding). */
    static int RegisterTemporary(const std::string& path) noexcept;
    static void UnregisterTemporary(int slot) noexcept;
};
} // namespace aaxhost
